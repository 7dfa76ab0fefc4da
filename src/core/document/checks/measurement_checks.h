// What an engineer should look at before signing a result: a velocity outside the range of
// concrete, a non-crossing point off the fitted line, a pick far from a confident suggestion,
// a crossing point without a depth, a crack with fewer than two estimates, an estimate far
// from the other estimates of its crack, a clipped arrival.
// Each finding names its line (0 the non-crossing line, k the crack of tab k), its point
// where it has one, and says why in a sentence.
#pragma once

#include "core/analysis/onset_picker.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/document_data.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace crackdepth {

enum class CheckKind { Velocity, Residual, Pick, UndefinedDepth, FewKept, Clipped, OutlyingDepth };

// "velocity", "residual", "pick", "undefined-depth", "few-kept", "clipped", "outlying-depth".
const char* checkKindName(CheckKind kind);

struct MeasurementCheck {
    std::int32_t line = 0;             // 0 the non-crossing line, k the crack of tab k
    std::optional<std::int32_t> point; // 0-based
    CheckKind kind = CheckKind::Velocity;
    std::string message;

    bool operator==(const MeasurementCheck&) const = default;
};

// The limits of the checks.
inline constexpr float kLowestVelocity = 2.5f;  // km/s
inline constexpr float kHighestVelocity = 5.5f; // km/s
inline constexpr double kResidualSigmas = 3.0;  // robust standard deviations off the line
// An estimate entering a crack depth is far from the others beyond kResidualSigmas robust
// standard deviations, taken as at least this share of their median (estimates of one crack
// scatter by some per cent without being wrong).
inline constexpr double kLeastDepthSpread = 0.05;
inline constexpr std::int32_t kPickTolerance = 3; // samples between a pick and a suggestion
inline constexpr std::int32_t kClipWindow = 64;   // samples from the arrival checked for clipping

// What the pick and clipping checks need of a point's waveform: its suggestion, and whether a
// sample within kClipWindow of the first arrival sits at the converter's limits.
struct WaveformFacts {
    std::optional<OnsetSuggestion> suggestion;
    bool clipped = false;
};

// Whether a sample within kClipWindow of the first arrival sits at the converter's limits.
bool clippedNearArrival(std::span<const Sample> samples, std::int32_t arrivalIndex);

// The facts by line (0 the non-crossing line, k the crack of tab k) and point; a point without
// facts is not checked for them.
using WaveformFactsTable = std::vector<std::vector<std::optional<WaveformFacts>>>;

// The findings in line order, then point order, with the facts of the waveforms the points
// hold (points read without them are not checked for what only the waveform shows).
std::vector<MeasurementCheck> CheckMeasurement(const DocumentData& data,
                                               const DocumentAnalysis& analysis);
// The same with the facts gathered elsewhere, for a reader that keeps no waveform.
std::vector<MeasurementCheck> CheckMeasurement(const DocumentData& data,
                                               const DocumentAnalysis& analysis,
                                               const WaveformFactsTable& facts);

// The point list of check line `line` (0 the non-crossing line, k the crack of tab k).
const PointList* checkedLine(const DocumentData& data, std::int32_t line);
PointList* checkedLine(DocumentData& data, std::int32_t line);

} // namespace crackdepth
