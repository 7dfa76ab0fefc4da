// The suggested first arrivals put to use: a point's suggestion from its working waveform,
// "采用建议初至" for the current point and "本测线全部采用建议初至" for every point of the
// shown line, each one undoable edit.
#pragma once

#include "core/analysis/onset_picker.h"
#include "core/document/model/document_data.h"

#include <optional>

namespace crackdepth {

class Document;

inline constexpr const char* kAdoptSuggestionName = "采用建议初至";
inline constexpr const char* kAdoptLineSuggestionsName = "本测线全部采用建议初至";

// The suggestion of the point's working waveform; none without a waveform or a clear arrival.
std::optional<OnsetSuggestion> suggestionFor(const MeasuringPoint& point);

// The pick a click on the trace sets: the first arrival and the sample read for the amplitude,
// which is the same sample on every path that sets a pick.
void setPick(MeasuringPoint& point, std::int32_t sampleIndex);

// Whether the command would change anything: a suggestion that differs from the pick of the
// shown line's current point, or of any point of the shown line.
bool canAdoptSuggestion(const DocumentData& data);
bool canAdoptLineSuggestions(const DocumentData& data);

void AdoptSuggestion(Document& document);
void AdoptLineSuggestions(Document& document);

// A suggestion taken over is a pick like a click at its sample: the amplitude is read at the
// new first arrival, as after a click, the arrow keys, a paste or a time correction, so that
// "波幅(dB)" depends on where the pick lies and never on the way it got there.
void takeSuggestion(MeasuringPoint& point, const OnsetSuggestion& suggestion);

} // namespace crackdepth
