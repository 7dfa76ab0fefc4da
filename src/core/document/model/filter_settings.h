// The settings of the digital filter as the filter dialog sets them and the re-filter edit
// applies them: which of the two filters run, their cut-offs, and the direction.
#pragma once

namespace crackdepth {

struct FilterSettings {
    float highCut = 20; // kHz
    float lowCut = 50;  // kHz
    bool highOn = false;
    bool lowOn = false;
    // Forward and backward, so that the filtered trace is not delayed ("零相位"); off by
    // default, which keeps the one-way filter the instrument's files describe.
    bool zeroPhase = false;

    bool anyOn() const { return highOn || lowOn; }
    bool operator==(const FilterSettings&) const = default;
};

} // namespace crackdepth
