#include "core/document/checks/measurement_checks.h"

#include "core/analysis/fit.h"
#include "core/analysis/transit_time.h"
#include "core/document/checks/waveform_facts_cache.h"
#include "core/document/model/line_tabs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace crackdepth {
namespace {

std::string lineLabel(std::int32_t line) {
    return line == 0 ? "不跨缝" : "跨缝" + std::to_string(line);
}

std::string pointLabel(std::int32_t line, std::size_t index) {
    return lineLabel(line) + " 测点" + std::to_string(index + 1) + "：";
}

double median(std::vector<double> values) {
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 != 0) {
        return upper;
    }
    return (upper + *std::max_element(values.begin(), values.begin() + static_cast<long>(middle))) /
           2.0;
}

// Non-crossing points whose distance lies more than kResidualSigmas robust standard deviations
// (1.4826 times the median absolute deviation) from the fitted line. Four points at least, so
// that the deviation means something; a deviation under half a millimetre counts as half a
// millimetre, so that a nearly perfect line does not flag its rounding.
void checkResiduals(const DocumentData& data, const LineFit& fit,
                    std::vector<MeasurementCheck>& checks) {
    const PointList& line = *data.nonCrossingList;
    if (line.size() < 4) {
        return;
    }
    const TimeCorrections corrections = data.nonCrossingCorrections();
    std::vector<double> residuals;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const float time = transitTime(line[i], corrections.line, corrections.all).time;
        residuals.push_back(line[i].distance - (fit.A + fit.B * time));
    }
    const double centre = median(residuals);
    std::vector<double> deviations;
    for (const double r : residuals) {
        deviations.push_back(std::fabs(r - centre));
    }
    const double sigma = std::max(1.4826 * median(deviations), 0.5);
    for (std::size_t i = 0; i < residuals.size(); ++i) {
        const double off = residuals[i] - centre;
        if (std::fabs(off) > kResidualSigmas * sigma) {
            checks.push_back({0, static_cast<std::int32_t>(i), CheckKind::Residual,
                              pointLabel(0, i) + "偏离拟合直线" +
                                  formatFixed2(static_cast<float>(std::fabs(off))) +
                                  "mm，超过稳健标准差的3倍"});
        }
    }
}

// Estimates entering a crack depth that lie more than kResidualSigmas robust standard
// deviations (1.4826 times the median absolute deviation, at least kLeastDepthSpread of the
// median and half a millimetre) from the median of the crack's estimates. Three estimates at
// least, so that the others can outvote one.
// The findings by point.
std::vector<std::optional<MeasurementCheck>> outlyingDepths(const CrackResult& crack,
                                                            std::int32_t line) {
    std::vector<std::optional<MeasurementCheck>> found(crack.points.size());
    std::vector<double> estimates;
    for (const PointEvaluation& point : crack.points) {
        if (point.averaged) {
            estimates.push_back(*point.averaged);
        }
    }
    if (estimates.size() < 3) {
        return found;
    }
    const double centre = median(estimates);
    std::vector<double> deviations;
    for (const double h : estimates) {
        deviations.push_back(std::fabs(h - centre));
    }
    const double sigma =
        std::max({1.4826 * median(deviations), kLeastDepthSpread * std::fabs(centre), 0.5});
    for (std::size_t i = 0; i < crack.points.size(); ++i) {
        const std::optional<float>& h = crack.points[i].averaged;
        if (h && std::fabs(*h - centre) > kResidualSigmas * sigma) {
            found[i] = MeasurementCheck{
                line, static_cast<std::int32_t>(i), CheckKind::OutlyingDepth,
                pointLabel(line, i) + "参与平均的裂深估计" + formatFixed2(*h) +
                    "mm远离本裂缝其余估计（中位数" + formatFixed2(static_cast<float>(centre)) +
                    "mm），超过稳健标准差的3倍"};
        }
    }
    return found;
}

// The waveform checks of one point: a pick far from a confident suggestion, samples at the
// converter's limits just after the arrival.
void checkWaveform(const MeasuringPoint& point, const WaveformFacts& facts, std::int32_t line,
                   std::size_t index, std::vector<MeasurementCheck>& checks) {
    const auto at = static_cast<std::int32_t>(index);
    if (facts.suggestion && isConfident(*facts.suggestion)) {
        const std::int32_t apart = std::abs(point.arrivalIndex - facts.suggestion->index);
        if (apart > kPickTolerance) {
            checks.push_back({line, at, CheckKind::Pick,
                              pointLabel(line, index) + "初至与建议初至相差" +
                                  std::to_string(apart) + "个采样点"});
        }
    }
    if (facts.clipped) {
        checks.push_back({line, at, CheckKind::Clipped,
                          pointLabel(line, index) + "初至附近的波形削波（采样值达到0或4095）"});
    }
}

const std::optional<WaveformFacts>* factsAt(const WaveformFactsTable& facts, std::int32_t line,
                                            std::size_t index) {
    const auto l = static_cast<std::size_t>(line);
    return l < facts.size() && index < facts[l].size() ? &facts[l][index] : nullptr;
}

} // namespace

const char* checkKindName(CheckKind kind) {
    switch (kind) {
    case CheckKind::Velocity:
        return "velocity";
    case CheckKind::Residual:
        return "residual";
    case CheckKind::Pick:
        return "pick";
    case CheckKind::UndefinedDepth:
        return "undefined-depth";
    case CheckKind::FewKept:
        return "few-kept";
    case CheckKind::Clipped:
        return "clipped";
    case CheckKind::OutlyingDepth:
        return "outlying-depth";
    }
    return "";
}

bool clippedNearArrival(std::span<const Sample> samples, std::int32_t arrivalIndex) {
    const auto size = static_cast<std::int64_t>(samples.size());
    const std::int64_t from = std::clamp<std::int64_t>(arrivalIndex, 0, size);
    const std::int64_t to = std::min<std::int64_t>(from + kClipWindow, size);
    return std::any_of(samples.begin() + from, samples.begin() + to,
                       [](Sample s) { return s == 0 || s >= 4095; });
}

const PointList* checkedLine(const DocumentData& data, std::int32_t line) {
    return line == 0 ? data.nonCrossingList.get() : data.line(crossingLineOfTab(data, line));
}

PointList* checkedLine(DocumentData& data, std::int32_t line) {
    return line == 0 ? data.nonCrossingList.get() : data.line(crossingLineOfTab(data, line));
}

std::vector<MeasurementCheck> CheckMeasurement(const DocumentData& data,
                                               const DocumentAnalysis& analysis) {
    WaveformFactsCache cache;
    return CheckMeasurement(data, analysis, cache.factsOf(data, analysis.cracks.size() + 1));
}

std::vector<MeasurementCheck> CheckMeasurement(const DocumentData& data,
                                               const DocumentAnalysis& analysis,
                                               const WaveformFactsTable& facts) {
    std::vector<MeasurementCheck> checks;
    if (!data.nonCrossingList) {
        return checks;
    }
    const std::optional<LineFit>& fit = analysis.fit;
    if (fit && (fit->B < kLowestVelocity || fit->B > kHighestVelocity)) {
        checks.push_back({0, std::nullopt, CheckKind::Velocity,
                          "声速B=" + formatFixed2(fit->B) + "km/s，超出2.50～5.50km/s的常见范围"});
    }
    if (fit) {
        checkResiduals(data, *fit, checks);
    }
    const PointList& nonCrossing = *data.nonCrossingList;
    const auto checkFacts = [&](const MeasuringPoint& point, std::int32_t line, std::size_t i) {
        if (const auto* known = factsAt(facts, line, i); known != nullptr && *known) {
            checkWaveform(point, **known, line, i, checks);
        }
    };
    for (std::size_t i = 0; i < nonCrossing.size(); ++i) {
        checkFacts(nonCrossing[i], 0, i);
    }
    for (std::size_t k = 0; k < analysis.cracks.size(); ++k) {
        const auto number = static_cast<std::int32_t>(k + 1);
        const CrackResult& crack = analysis.cracks[k];
        const PointList& line = *checkedLine(data, number);
        const auto outlying = outlyingDepths(crack, number);
        if (crack.depthEstimates.size() < 2) {
            checks.push_back({number, std::nullopt, CheckKind::FewKept,
                              lineLabel(number) + "：参与平均的裂深估计少于两个，裂深不可靠"});
        }
        for (std::size_t i = 0; i < crack.points.size() && i < line.size(); ++i) {
            if (fit && !crack.points[i].depth) {
                checks.push_back(
                    {number, static_cast<std::int32_t>(i), CheckKind::UndefinedDepth,
                     pointLabel(number, i) +
                         "跨缝声时不大于同测距不跨缝的声时，无法计算裂深（T·B ≤ L−A）"});
            }
            if (outlying[i]) {
                checks.push_back(*outlying[i]);
            }
            checkFacts(line[i], number, i);
        }
    }
    return checks;
}

} // namespace crackdepth
