#include "core/analysis/fit.h"

#include "core/analysis/transit_time.h"
#include "core/common/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace crackdepth {
namespace {

bool usableInterval(const MeasuringPoint& point) {
    const float dt = point.record.samplingInterval();
    return std::isfinite(dt) && dt != 0.0f;
}

std::optional<LineFit> finite(LineFit fit) {
    if (!std::isfinite(fit.A) || !std::isfinite(fit.B)) {
        return std::nullopt;
    }
    return fit;
}

std::optional<LineFit> regression(const PointList& line, TimeCorrections corrections) {
    float sumL = 0;
    float sumT = 0;
    float sumLT = 0;
    float sumTT = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const MeasuringPoint& point = line[i];
        const float t = transitTime(point, corrections.line, corrections.all).time;
        const float l = point.distance;
        sumL += l;
        sumT += t;
        sumLT += l * t;
        sumTT += t * t;
    }
    const auto n = static_cast<float>(line.size());
    const float meanT = sumT / n;
    const float meanL = sumL / n;
    const float numerator = sumLT - sumT * meanL;
    const float denominator = sumTT - sumT * meanT;
    if (denominator == 0.0f) {
        return std::nullopt;
    }
    LineFit fit;
    fit.B = numerator / denominator;
    fit.A = meanL - meanT * fit.B;
    return finite(fit);
}

std::optional<LineFit> twoPoint(const PointList& line, TimeCorrections corrections,
                                std::int32_t partner) {
    const auto c = static_cast<std::size_t>(twoPointPartner(line, partner));
    const MeasuringPoint& first = line[0];
    const MeasuringPoint& second = line[c];
    const float t0 = transitTime(first, corrections.line, corrections.all).time;
    const float tc = transitTime(second, corrections.line, corrections.all).time;
    const float difference = tc - t0 + 5e-6f;
    if (difference == 0.0f) {
        return std::nullopt;
    }
    LineFit fit;
    fit.B = (second.distance - first.distance) / difference;
    fit.A = first.distance - fit.B * t0;
    return finite(fit);
}

} // namespace

std::int32_t twoPointPartner(const PointList& line, std::int32_t wanted) {
    const auto last = static_cast<std::int32_t>(line.size()) - 1;
    return last < 1 ? 0 : std::clamp(wanted, 1, last);
}

std::int32_t twoPointPartner(const PointList& line) {
    return twoPointPartner(line, line.currentIndex);
}

std::optional<LineFit> FitLine(const PointList& line, RegressionMethod method,
                               TimeCorrections corrections) {
    return FitLine(line, method, corrections, line.currentIndex);
}

std::optional<LineFit> FitLine(const PointList& line, RegressionMethod method,
                               TimeCorrections corrections, std::int32_t partner) {
    if (line.size() < 2) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (!usableInterval(line[i])) {
            return std::nullopt;
        }
    }
    return method == RegressionMethod::TwoPoint ? twoPoint(line, corrections, partner)
                                                : regression(line, corrections);
}

float depthAt(float pathLength, float time, float velocity) {
    if (pathLength > time * velocity) {
        return -1.0f;
    }
    const float ratio = (time / pathLength) * velocity;
    const float q = ratio * ratio;
    return std::sqrt(q - 1.0f) * pathLength * 0.5f;
}

std::string formatFixed2(float value) {
    return formatFixed(value, 2);
}

} // namespace crackdepth
