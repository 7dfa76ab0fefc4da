// Which depth estimates of a crossing line count, and the crack depth they give: the
// automatic rule (keep distances between the mean depth and three times it), the operator's
// manual keep/exclude marks, and the phase-reversal rule.
#pragma once

#include "core/analysis/fit.h"
#include "core/data/point_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

enum class PointStatus { ManualKeep, AutoKeep, AutoExclude, ManualExclude };

const char* statusText(PointStatus status); // "手动保留", "自动保留", "自动剔除", "手动剔除"

// The manual decision a point's stored mark holds: 1000 keep, 8000 exclude (±2, exclusive);
// none for any other value.
std::optional<PointStatus> manualStatus(float manualMark);

inline constexpr float kManualKeepMark = 1000.0f;
inline constexpr float kManualExcludeMark = 8000.0f;
inline constexpr const char* kNoValueText = "--.--";

struct ReversalPoint {
    bool set = false;
    std::int32_t index = 0; // 0-based
};

struct PointEvaluation {
    std::optional<float> depth; // a positive depth estimate, mm
    std::string depthText;      // "%.2f" of the depth, or "--.--"
    PointStatus status = PointStatus::AutoExclude;
    bool kept = false;     // kept by the status (a keep flag of 1)
    float transitTime = 0; // us
    // The estimate this point puts into the crack depth under the rule in force: its depth
    // when kept, or round a phase reversal its estimate along L + |A|; none when it puts in
    // nothing.
    std::optional<float> averaged;
};

// Which estimates the crack depth averages: the kept points' depths, or around a phase
// reversal the depths of the reversal point and its neighbours along the path L + |A| round
// the crack tip (which differ from the table's depths of those points).
enum class DepthRule { KeptEstimates, PhaseReversal };

struct CrackResult {
    std::optional<LineFit> fit;
    std::vector<PointEvaluation> points;
    std::optional<float> crackDepth; // mm
    std::string crackDepthText;      // "%.2f(mm)" or "--.--(mm)"
    DepthRule depthRule = DepthRule::KeptEstimates;
    std::vector<float> depthEstimates; // the estimates the crack depth is the mean of, mm
};

// How firm a crack depth is: how many estimates it averages, and their sample standard
// deviation, least and greatest (none with fewer than two estimates).
struct CrackDepthSpread {
    std::size_t kept = 0;
    std::optional<float> std;
    std::optional<float> min;
    std::optional<float> max;
};

CrackDepthSpread spreadOf(const CrackResult& crack);

// The status column's text of point i: its status under the kept-estimates rule; round a
// phase reversal, whether its estimate enters the crack depth ("反相参与") or not ("不参与"),
// since the statuses then decide nothing.
inline constexpr const char* kReversalUsedText = "反相参与";
inline constexpr const char* kNotAveragedText = "不参与";
std::string usageText(const CrackResult& crack, std::size_t i);

// "%.2f(mm)" of A and "%.2f(km/s)" of B, or "--.--(mm)" and "--.--(km/s)" without a fit.
std::string interceptText(const std::optional<LineFit>& fit);
std::string velocityText(const std::optional<LineFit>& fit);

// Evaluates the crossing line with the non-crossing fit. `corrections.line` is the
// correction of the selected tab. Without a fit no point has a depth.
CrackResult EvaluateCrack(const PointList& line, const std::optional<LineFit>& fit,
                          TimeCorrections corrections, ReversalPoint reversal);

} // namespace crackdepth
