// The points of one measuring line, in order, with the lookup cursor the rest of the
// program relies on: every lookup and append leaves the point it reached as the cursor.
// Points are held in a vector, so a lookup by index costs O(1) whatever the line's length.
#pragma once

#include "core/data/measuring_point.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace crackdepth {

class PointList {
public:
    static constexpr std::int32_t kDefaultSampleCount = 512;
    static constexpr std::size_t kMaxPoints = 65535; // the count is a 16-bit field

    float minDelay = 0;            // smallest delay of the line, us (computed on reading a result)
    std::int32_t currentIndex = 0; // the point that views show and single-point commands act on
    // The point the two-point method pairs with point 0: the last current point other than
    // point 0, so that viewing point 0 leaves the fit as it was.
    std::int32_t pairedIndex = 1;
    std::int32_t sampleCount = kDefaultSampleCount;

    PointList() = default;
    PointList(PointList&&) = default;
    PointList& operator=(PointList&&) = default;

    // Creates a point with two independent copies of the first sampleCount samples and the
    // given distance, appends it and makes it the cursor. False, adding nothing, when fewer
    // than sampleCount samples are given or the line is full.
    bool Append(std::span<const Sample> samples, float distance);
    // A point without waveforms, for a reader that takes only the point records; false,
    // adding nothing, when the line is full.
    bool AppendWithoutWaveforms(float distance);

    // Index < 0 gives the head; 0 ≤ index ≤ pointCount gives the point at index, the last
    // point when index = pointCount, and makes it the cursor; index > pointCount gives the
    // cursor unchanged. An empty list gives none.
    MeasuringPoint* PointAt(std::int32_t index);

    // Takes the point at `index` out of the line, and puts a point back at `index` (0 …
    // size): the inverse pair behind undoing a deletion. The cursor is not moved by either.
    std::unique_ptr<MeasuringPoint> TakeAt(std::size_t index);
    void InsertAt(std::size_t index, std::unique_ptr<MeasuringPoint> point);

    void Free();

    std::uint16_t pointCount() const { return static_cast<std::uint16_t>(points_.size()); }
    std::size_t size() const { return points_.size(); }
    bool empty() const { return points_.empty(); }

    MeasuringPoint* cursor() { return cursor_ < 0 ? nullptr : points_[cursorIndex()].get(); }

    // Direct access without moving the cursor, for readers of the whole line.
    MeasuringPoint& operator[](std::size_t index) { return *points_[index]; }
    const MeasuringPoint& operator[](std::size_t index) const { return *points_[index]; }

    // The smallest delay of the line: the head's delay, lowered by every smaller one.
    float computeMinDelay() const;

private:
    std::size_t cursorIndex() const { return static_cast<std::size_t>(cursor_); }

    // Points are owned through pointers so that a point's address survives appends and
    // removals of other points.
    std::vector<std::unique_ptr<MeasuringPoint>> points_;
    std::int32_t cursor_ = -1;
};

} // namespace crackdepth
