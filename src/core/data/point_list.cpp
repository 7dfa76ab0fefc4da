#include "core/data/point_list.h"

#include <algorithm>

namespace crackdepth {

bool PointList::Append(std::span<const Sample> samples, float distance) {
    if (sampleCount < 1 || samples.size() < static_cast<std::size_t>(sampleCount) ||
        points_.size() >= kMaxPoints) {
        return false;
    }
    auto point = std::make_unique<MeasuringPoint>();
    const auto first = samples.first(static_cast<std::size_t>(sampleCount));
    point->samples.assign(first.begin(), first.end());
    point->originalSamples = point->samples;
    point->distance = distance;
    points_.push_back(std::move(point));
    cursor_ = static_cast<std::int32_t>(points_.size()) - 1;
    return true;
}

bool PointList::AppendWithoutWaveforms(float distance) {
    if (points_.size() >= kMaxPoints) {
        return false;
    }
    auto point = std::make_unique<MeasuringPoint>();
    point->distance = distance;
    points_.push_back(std::move(point));
    cursor_ = static_cast<std::int32_t>(points_.size()) - 1;
    return true;
}

MeasuringPoint* PointList::PointAt(std::int32_t index) {
    if (points_.empty()) {
        return nullptr;
    }
    const auto count = static_cast<std::int32_t>(points_.size());
    if (index < 0) {
        return points_.front().get();
    }
    if (index > count) {
        return cursor();
    }
    cursor_ = std::min(index, count - 1);
    return points_[cursorIndex()].get();
}

std::unique_ptr<MeasuringPoint> PointList::TakeAt(std::size_t index) {
    auto point = std::move(points_[index]);
    points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(index));
    cursor_ = std::min(cursor_, static_cast<std::int32_t>(points_.size()) - 1);
    return point;
}

void PointList::InsertAt(std::size_t index, std::unique_ptr<MeasuringPoint> point) {
    points_.insert(points_.begin() + static_cast<std::ptrdiff_t>(index), std::move(point));
}

void PointList::Free() {
    points_.clear();
    cursor_ = -1;
}

float PointList::computeMinDelay() const {
    if (points_.empty()) {
        return 0;
    }
    float minimum = points_.front()->delay;
    for (const auto& point : points_) {
        if (point->delay < minimum) {
            minimum = point->delay;
        }
    }
    return minimum;
}

} // namespace crackdepth
