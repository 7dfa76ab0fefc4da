// The digital filter applied to a point's waveform: an optional second-order Butterworth
// low-pass followed by an optional second-order Butterworth high-pass. A lead-in that
// continues the waveform's initial trend backwards is filtered first and then discarded, so
// that the filters' start-up transient falls on it rather than on the signal.
#pragma once

#include "core/data/measuring_point.h"

#include <cstdint>
#include <optional>
#include <span>

namespace crackdepth {

// Half away from zero (2.5 → 3, −2.5 → −3), saturated to the 32-bit range; NaN gives 0.
std::int32_t roundHalfAway(double value);

// Number of lead-in values for a sampling interval dt (us): four times trunc(10 / dt), that
// factor limited to 8 … 32 (32 for a dt that is zero, negative or not finite).
std::int32_t leadInLength(float dt);

// Least-squares slope of v against its index; 1e10 when it is undefined (fewer than two
// values).
float leastSquaresSlope(std::span<const float> v);

// Fills `leadIn` (Q values) with the straight line that ends one step before signal[0]: its
// slope is fitted to the first Q / 4 signal values (fewer when the signal is shorter) and
// limited so that the lead-in starts no more than 2047 above or 2048 below signal[0]; every
// value is rounded to a whole number.
void buildLeadIn(std::span<const float> signal, std::span<float> leadIn);

// Filters a waveform (zero line 2048, dt in us) into `output`, which has input's size. A
// filter runs when it is switched on, the low-pass first; with both off the output is the
// input. Cut-offs in Hz; the high-pass cut-off is truncated to a whole number. Results below
// the zero line by more than 2048 are stored as 0; larger ones wrap as 16-bit values.
// The filters delay the waveform (filterPhaseDelayUs); with `zeroPhase` the same run is
// repeated backwards over the result, which takes the delay out again (and squares the
// response: −6 dB at a cut-off instead of −3 dB).
void FilterWaveform(std::span<const Sample> input, std::span<Sample> output, float dt,
                    bool highPassOn, float highPassHz, bool lowPassOn, float lowPassHz,
                    bool zeroPhase = false);

// The recursion y_i = c1·y_(i−1) − c2·y_(i−2) + k·(x_i ± 2·x_(i−1) + x_(i−2)) of a section
// (+ for the low-pass, − for the high-pass).
struct SectionCoefficients {
    double c1 = 0;
    double c2 = 0;
    double k = 0;
};
// None when the section leaves the data unchanged (an interval of zero).
std::optional<SectionCoefficients> lowPassCoefficients(double intervalSeconds, float cutoffHz);
SectionCoefficients highPassCoefficients(double intervalSeconds, std::int32_t cutoffHz);

// Second-order Butterworth low-pass by the bilinear transform (no pre-warping), in place.
// The first two values are kept; every later one is replaced by the filter output rounded to
// a whole number, while the recursion itself runs on the unrounded outputs and the original
// inputs. An interval of zero leaves the data unchanged.
void LowPassSection(std::span<float> data, double intervalSeconds, float cutoffHz);

// Second-order Butterworth high-pass by the bilinear transform with pre-warping, in place.
// Every value, the first two included, is replaced by the filter output rounded to a whole
// number; the recursion runs on the unrounded outputs and the original inputs.
void HighPassSection(std::span<float> data, double intervalSeconds, std::int32_t cutoffHz);

} // namespace crackdepth
