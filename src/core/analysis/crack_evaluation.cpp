#include "core/analysis/crack_evaluation.h"

#include "core/analysis/transit_time.h"

#include <algorithm>
#include <cmath>

namespace crackdepth {
namespace {

// A depth estimate with the fit, or -1 (no depth) without one.
float estimate(const std::optional<LineFit>& fit, float pathLength, float time) {
    return fit ? depthAt(pathLength, time, fit->B) : -1.0f;
}

std::string withUnit(const std::optional<float>& value, const char* unit) {
    return (value ? formatFixed2(*value) : std::string(kNoValueText)) + unit;
}

} // namespace

const char* statusText(PointStatus status) {
    switch (status) {
    case PointStatus::ManualKeep:
        return "手动保留";
    case PointStatus::AutoKeep:
        return "自动保留";
    case PointStatus::AutoExclude:
        return "自动剔除";
    case PointStatus::ManualExclude:
        return "手动剔除";
    }
    return "";
}

std::optional<PointStatus> manualStatus(float manualMark) {
    if (manualMark > 998.0f && manualMark < 1002.0f) {
        return PointStatus::ManualKeep;
    }
    if (manualMark > 7998.0f && manualMark < 8002.0f) {
        return PointStatus::ManualExclude;
    }
    return std::nullopt;
}

std::string interceptText(const std::optional<LineFit>& fit) {
    return withUnit(fit ? std::optional<float>(fit->A) : std::nullopt, "(mm)");
}

std::string velocityText(const std::optional<LineFit>& fit) {
    return withUnit(fit ? std::optional<float>(fit->B) : std::nullopt, "(km/s)");
}

CrackResult EvaluateCrack(const PointList& line, const std::optional<LineFit>& fit,
                          TimeCorrections corrections, ReversalPoint reversal) {
    CrackResult result;
    result.fit = fit;
    const float A = fit ? fit->A : 0.0f;
    const std::size_t n = line.size();
    result.points.resize(n);

    // Candidate depths and their mean m; manually excluded points do not count.
    float sum1 = 0;
    int count1 = 0;
    std::vector<std::optional<PointStatus>> manual(n);
    for (std::size_t i = 0; i < n; ++i) {
        const MeasuringPoint& point = line[i];
        PointEvaluation& evaluation = result.points[i];
        manual[i] = manualStatus(point.record.manualMark());
        evaluation.transitTime = transitTime(point, corrections.line, corrections.all).time;
        const float h = estimate(fit, point.distance - A, evaluation.transitTime);
        if (isDepth(h)) {
            evaluation.depth = h;
            if (manual[i] != PointStatus::ManualExclude) {
                sum1 += h;
                ++count1;
            }
        }
        evaluation.depthText = evaluation.depth ? formatFixed2(h) : kNoValueText;
    }
    const float m = count1 == 0 ? 0.0f : sum1 / static_cast<float>(count1);

    // Statuses and the average of the kept depths.
    float sum2 = 0;
    int count2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const MeasuringPoint& point = line[i];
        PointEvaluation& evaluation = result.points[i];
        if (manual[i]) {
            evaluation.status = *manual[i];
        } else {
            const bool outside = m > point.distance || 3.0f * m < point.distance;
            evaluation.status = outside ? PointStatus::AutoExclude : PointStatus::AutoKeep;
        }
        evaluation.kept = evaluation.status == PointStatus::ManualKeep ||
                          evaluation.status == PointStatus::AutoKeep;
        if (evaluation.kept && evaluation.depth) {
            sum2 += *evaluation.depth;
            ++count2;
            if (!reversal.set) {
                result.depthEstimates.push_back(*evaluation.depth);
                evaluation.averaged = evaluation.depth;
            }
        }
    }

    // Around a phase-reversal point the path runs round the crack tip: L + |A|.
    float sum3 = 0;
    int count3 = 0;
    if (reversal.set) {
        const std::int64_t r = reversal.index;
        for (std::int64_t i = r - 1; i <= r + 1; ++i) {
            if (i < 0 || i >= static_cast<std::int64_t>(n)) {
                continue;
            }
            const auto k = static_cast<std::size_t>(i);
            const float h =
                estimate(fit, line[k].distance + std::fabs(A), result.points[k].transitTime);
            if (isDepth(h)) {
                sum3 += h;
                ++count3;
                result.depthEstimates.push_back(h);
                result.points[k].averaged = h;
            }
        }
    }

    result.depthRule = reversal.set ? DepthRule::PhaseReversal : DepthRule::KeptEstimates;
    const float sum = reversal.set ? sum3 : sum2;
    const int count = reversal.set ? count3 : count2;
    if (count > 0) {
        result.crackDepth = sum / static_cast<float>(count);
    }
    result.crackDepthText = withUnit(result.crackDepth, "(mm)");
    return result;
}

std::string usageText(const CrackResult& crack, std::size_t i) {
    const PointEvaluation& point = crack.points[i];
    if (crack.depthRule == DepthRule::KeptEstimates) {
        return statusText(point.status);
    }
    return point.averaged ? kReversalUsedText : kNotAveragedText;
}

CrackDepthSpread spreadOf(const CrackResult& crack) {
    const std::vector<float>& estimates = crack.depthEstimates;
    CrackDepthSpread spread;
    spread.kept = estimates.size();
    if (estimates.size() < 2) {
        return spread;
    }
    double sum = 0;
    for (const float h : estimates) {
        sum += h;
    }
    const double mean = sum / static_cast<double>(estimates.size());
    double squares = 0;
    for (const float h : estimates) {
        squares += (h - mean) * (h - mean);
    }
    spread.std = static_cast<float>(std::sqrt(squares / static_cast<double>(estimates.size() - 1)));
    const auto [least, greatest] = std::minmax_element(estimates.begin(), estimates.end());
    spread.min = *least;
    spread.max = *greatest;
    return spread;
}

} // namespace crackdepth
