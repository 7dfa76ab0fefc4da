// The suggested first arrivals put to use: a point's suggestion from its working waveform,
// "采用建议初至" for the current point and "本测线全部采用建议初至" for every point of the
// shown line, each one undoable edit.
#pragma once

#include "core/analysis/onset_picker.h"
#include "core/document/document_data.h"

#include <optional>
#include <span>

namespace crackdepth {

class Document;

inline constexpr const char* kAdoptSuggestionName = "采用建议初至";
inline constexpr const char* kAdoptLineSuggestionsName = "本测线全部采用建议初至";

// The suggestion of the point's working waveform; none without a waveform or a clear arrival.
std::optional<OnsetSuggestion> suggestionFor(const MeasuringPoint& point);

// The pick a click on the trace sets: the first arrival and the sample read for the amplitude.
void setPick(MeasuringPoint& point, std::int32_t sampleIndex);

// Whether the command would change anything: a suggestion that differs from the pick of the
// shown line's current point, or of any point of the shown line.
bool canAdoptSuggestion(const DocumentData& data);
bool canAdoptLineSuggestions(const DocumentData& data);

void AdoptSuggestion(Document& document);
void AdoptLineSuggestions(Document& document);

// The pick `sampleIndex` on the point's stored waveform `samples`, for a point read without its
// waveform: it also takes the sample there as the one its amplitude reads.
void setPick(MeasuringPoint& point, std::int32_t sampleIndex, std::span<const Sample> samples);

} // namespace crackdepth
