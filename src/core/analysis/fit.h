// The straight line L = A + B·T through the non-crossing line's points, and the depth
// estimate that one crossing point gives with it.
#pragma once

#include "core/data/point_list.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace crackdepth {

enum class RegressionMethod : std::int32_t { Regression = 0, TwoPoint = 1 };

inline constexpr const char* kRegressionText = "回归法";
inline constexpr const char* kTwoPointText = "两点法";

struct LineFit {
    float A = 0; // intercept, mm
    float B = 0; // slope, mm/us = km/s: the sound velocity
};

struct TimeCorrections {
    float all = 0;  // correctionAll
    float line = 0; // the correction of the line being used
};

// The point the two-point method pairs with point 0: `wanted` (the line's current point
// unless said otherwise), never point 0 itself, and within the line.
std::int32_t twoPointPartner(const PointList& line, std::int32_t wanted);
std::int32_t twoPointPartner(const PointList& line);

// Fits the non-crossing line with the given method; `corrections.line` must be the
// non-crossing correction. The two-point method pairs point 0 with twoPointPartner. No fit
// (none) for fewer than two points, a zero or non-finite sampling interval, a zero
// denominator or a result that is not finite.
std::optional<LineFit> FitLine(const PointList& line, RegressionMethod method,
                               TimeCorrections corrections);
// The same with the two-point method's partner of point 0 given (see twoPointPartner).
std::optional<LineFit> FitLine(const PointList& line, RegressionMethod method,
                               TimeCorrections corrections, std::int32_t partner);

// Depth estimate for a path length Lc (mm), a transit time t (us) and the velocity B:
// −1 when Lc > t·B, otherwise (Lc/2)·√((t·B/Lc)² − 1). Only a positive result is a depth.
float depthAt(float pathLength, float time, float velocity);

inline bool isDepth(float value) {
    return value > 0 && std::isfinite(value);
}

// "%.2f" of a value, whatever the desktop's locale.
std::string formatFixed2(float value);

} // namespace crackdepth
