// Float-to-integer truncation that is defined for every input: the file formats store
// floats that a damaged file may fill with NaN or huge values.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace crackdepth {

// Truncation toward zero, saturated to the 32-bit range; NaN gives 0.
inline std::int32_t truncToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace crackdepth
