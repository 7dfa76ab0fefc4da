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

// Why a record gets no suggestion, by the stage that turned it down.
enum class NoOnsetReason {
    TooShort,           // fewer samples than a stretch of noise and a pulse need
    Clipped,            // a quarter of the record or more on the converter's rails
    ClippedStart,       // the record's first samples touch a rail: no noise to measure
    PulseAtStart,       // the record's first samples already rise: a pulse starts inside them
    NoPulse,            // nothing leaves the noise as a pulse does
    BurstInNoise,       // the noise before the pulse holds a burst like a pulse
    HalfCycleTooShort,  // half-cycles too short to place an onset between samples
    EarlierChange,      // the record changes before the first half-cycle begins
    NoNoiseBefore,      // the onset lies among the first samples, with no noise before it
    Weak,               // the first period does not stand clearly out of the noise
    NoRinging,          // the pulse does not ring on as a transducer's does
    WeakFirstHalfCycle, // the first half-cycle is much weaker than the second
    LoudBeforeOnset,    // the stretch before the onset is louder than noise: an earlier
                        // arrival may hide there
    Unconfirmed,        // the stretch before the onset is too short, or its noise too poorly
                        // known, to rule out a missed earlier arrival of a weak pulse
};

// A suggestion, or why there is none (`reason` means nothing when there is a suggestion).
struct OnsetFinding {
    std::optional<OnsetSuggestion> suggestion;
    NoOnsetReason reason{};
};

// The first arrival of `samples`, whose zero line need not be 2048: the record's start is
// taken for noise and gives the zero line and the noise level. None when the record is too
// short, flat, clipped over much of its length, has no noise before the pulse, or its pulse
// does not stand clearly out of the noise.
std::optional<OnsetSuggestion> SuggestOnset(std::span<const Sample> samples);
// The same, with the reason when there is none. The stages run in turn: the record (length,
// clipping), the noise at its start, the detection of the pulse, the onset's place, the pulse
// itself, the quiet before it; the first that fails gives the reason.
OnsetFinding FindOnset(std::span<const Sample> samples);

} // namespace crackdepth
