#include "core/analysis/sample_index.h"

#include "core/common/conversions.h"

#include <algorithm>
#include <cmath>

namespace crackdepth {

std::int32_t nearestSampleIndex(double time, float delay, float dt, std::int32_t n) {
    if (!(dt > 0.0f) || !std::isfinite(dt) || n < 1) {
        return 0;
    }
    const double position = (time - static_cast<double>(delay)) / static_cast<double>(dt);
    // Round half up, so that a click exactly between two samples takes the later one.
    const std::int64_t nearest = truncToInt32(std::floor(position + 0.5));
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(nearest, 0, n - 1));
}

} // namespace crackdepth
