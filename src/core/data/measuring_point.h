// One measuring point: transducer distance, timing, gain, the picked first arrival and the
// two waveforms (working and backup), with the stored record it was read from.
#pragma once

#include "core/data/point_record.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace crackdepth {

// A sample is an unsigned 16-bit value whose zero line is 2048.
using Sample = std::uint16_t;
inline constexpr Sample kZeroLine = 2048;

// A point's values beside its waveforms: what most edits change, kept apart so that an edit
// can keep them without the waveforms.
struct PointFields {
    float distance = 0;              // transducer distance L, mm
    float delay = 0;                 // time of sample 0, us
    float timeShift = 0;             // per-point time correction, us
    float gain = 0;                  // amplifier gain
    std::int32_t arrivalIndex = 0;   // first-arrival sample index
    std::int32_t amplitudeIndex = 0; // sample index read for the amplitude
    std::int32_t kept = 0;           // 1 kept by the last evaluation, 0 excluded
    PointRecord record;              // the stored record, kept as read
    // Read without its waveforms (by a command that draws and changes nothing): the sample
    // at amplitudeIndex as read, none when that index lies outside the waveform.
    std::optional<Sample> amplitudeSample;

    bool operator==(const PointFields&) const = default;
};

struct MeasuringPoint : PointFields {
    std::vector<Sample> samples;         // working waveform: drawn, filtered, inverted, shifted
    std::vector<Sample> originalSamples; // backup waveform: filtering always starts from it

    bool operator==(const MeasuringPoint&) const = default;
};

} // namespace crackdepth
