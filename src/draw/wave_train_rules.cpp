// The wave train's input from a line and the rules of its view (row fit, clicks, keys):
// everything about the wave train that needs no painter.
#include "core/analysis/transit_time.h"
#include "core/common/conversions.h"
#include "draw/wave_train.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace crackdepth::draw {

std::int32_t traceOffsetOf(const MeasuringPoint& point, float minDelay,
                           TimeCorrections corrections) {
    const float dt = point.record.samplingInterval();
    if (!std::isfinite(dt) || dt == 0.0f) {
        return 0;
    }
    const std::int32_t shift = transitTime(point, corrections.line, corrections.all).shift;
    const std::int32_t late = truncToInt32((point.delay - minDelay) / dt);
    const std::int64_t offset = std::int64_t{shift} + late;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(offset, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

WaveTrainInput waveTrainInputOf(const PointList& line, TimeCorrections corrections,
                                bool crossingLine) {
    WaveTrainInput input;
    input.traces.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const MeasuringPoint& point = line[i];
        input.traces.push_back({point.samples, point.distance, point.arrivalIndex,
                                traceOffsetOf(point, line.minDelay, corrections)});
    }
    input.sampleCount = line.sampleCount;
    input.currentIndex = line.currentIndex;
    input.crossingLine = crossingLine;
    return input;
}

std::int32_t fitTrainRowHeight(double paneHeight, std::int32_t pointCount, std::int32_t rowHeight) {
    if (pointCount <= 0) {
        return rowHeight;
    }
    return std::max(truncToInt32(paneHeight / pointCount), 1);
}

std::int32_t trainContentHeight(std::int32_t pointCount, std::int32_t rowHeight) {
    const std::int64_t height = std::int64_t{std::max(pointCount, 0)} * std::max(rowHeight, 0);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(height, std::numeric_limits<std::int32_t>::max()));
}

std::optional<std::int32_t> trainPointAt(double y, std::int32_t scroll, std::int32_t rowHeight,
                                         std::int32_t pointCount) {
    const double fromTop = y + scroll;
    if (rowHeight <= 0 || fromTop < 0) {
        return std::nullopt;
    }
    const std::int64_t point =
        std::int64_t{pointCount} - static_cast<std::int64_t>(std::trunc(fromTop / rowHeight)) - 1;
    if (point < 0 || point >= pointCount) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(point);
}

std::int32_t trainPointAfterKey(std::int32_t current, std::int32_t pointCount, TrainKey key) {
    if (pointCount <= 0) {
        return current;
    }
    const std::int64_t next = std::int64_t{current} + (key == TrainKey::Up ? 1 : -1);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(next, 0, pointCount - 1));
}

} // namespace crackdepth::draw
