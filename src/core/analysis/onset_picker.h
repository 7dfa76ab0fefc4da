// A suggested first arrival for a waveform, found from the waveform alone: where the record
// leaves its noise, placed by the Akaike information criterion and brought back to where the
// pulse's first half-cycle begins. Waveforms without a clear first arrival get no suggestion.
#pragma once

#include "core/data/measuring_point.h"

#include <cstdint>
#include <optional>
#include <span>

namespace crackdepth {

struct OnsetSuggestion {
    std::int32_t index = 0; // sample index of the first arrival
    double quality = 0;     // 0..1, higher is firmer
};

// A suggestion at least this good is expected within a few samples of the true first arrival:
// its pulse stands well clear of the noise and its timing error is about a sample or less.
inline constexpr double kConfidentOnsetQuality = 0.5;

inline bool isConfident(const OnsetSuggestion& suggestion) {
    return suggestion.quality >= kConfidentOnsetQuality;
}

// The first arrival of `samples`, whose zero line need not be 2048: the record's start is
// taken for noise and gives the zero line and the noise level. None when the record is too
// short, flat, clipped over much of its length, has no noise before the pulse, or its pulse
// does not stand clearly out of the noise.
std::optional<OnsetSuggestion> SuggestOnset(std::span<const Sample> samples);

} // namespace crackdepth
