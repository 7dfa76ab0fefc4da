// The facts of the points' waveforms kept from one run of the measurement checks to the next.
// The onset suggestion, which costs more than all the other checks together, is found again
// only for a waveform whose samples changed since it was last found; whether the samples near
// the first arrival are clipped is looked at every time (a few dozen samples).
#pragma once

#include "core/data/measuring_point.h"
#include "core/document/checks/measurement_checks.h"
#include "core/document/model/document_data.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace crackdepth {

// A 64-bit digest of the samples: two waveforms that differ anywhere give different digests
// but for a chance of about one in 2^64.
std::uint64_t samplesDigest(std::span<const Sample> samples);

class WaveformFactsCache {
public:
    // The facts of every point of check lines 0 … lines − 1 that holds a waveform.
    WaveformFactsTable factsOf(const DocumentData& data, std::size_t lines);

private:
    struct Known {
        std::uint64_t digest = 0;
        std::size_t size = 0;
        std::optional<OnsetSuggestion> suggestion;
    };
    // By check line and point: the suggestion last found there and the samples it was for.
    std::vector<std::vector<std::optional<Known>>> known_;
};

} // namespace crackdepth
