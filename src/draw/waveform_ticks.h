// The scales of the waveform view: the round-up and round-down rules that choose tick units,
// the ticks of the time, amplitude and frequency axes, and what the two sliders mean.
#pragma once

#include "core/data/measuring_point.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace crackdepth::draw {

// A value rounded to a tick unit, with the unit that was used.
struct RoundedTick {
    double value = 1;
    double unit = 1;
};

// The tick unit for a value: 1 below 10, 10 below 100, 100 up to and including 1000, 1000
// above 1000 and below a million, then a further factor of 1000 for every further
// thousandfold.
double tickUnitOf(double v);

// (trunc(v / unit) + 1)·unit: always above v. Values up to 1 (and NaN or infinity, which no
// axis can show) give 1 with unit 1.
RoundedTick roundUpTick(double v);
// trunc(v / unit)·unit. Values up to 1 (and NaN or infinity) give 1 with unit 1.
RoundedTick roundDownTick(double v);

// The labelled times of the time axis, in us: every multiple of the unit of the rounded-up
// end time delay + dt·n, from the first one at or above the delay up to that rounded end,
// leaving out a tick closer than 1 us to the delay (it would sit on the origin's label).
// Empty when the end time is not finite or the axis would need more than a few thousand
// ticks.
std::vector<double> timeTickValues(float delay, float dt, std::int32_t n);

// Which of those ticks carry a label when neighbouring ticks lie `tickPx` apart and a label
// needs `labelPx` of room: every `stride`-th multiple of the unit, the stride being 1, 2 or 5
// times a power of ten, the smallest that keeps the labels apart. A waveform of a few thousand
// samples keeps a stride of 1; the longest ones (262,144 samples) would otherwise print their
// labels edge to edge. Ticks in between are drawn only while they keep `minTickPx` apart, so
// that the axis does not turn into a solid bar.
struct TimeTickStride {
    std::int64_t labelled = 1;
    bool unlabelledTicks = true;
};
TimeTickStride timeTickStride(double tickPx, double labelPx, double minTickPx);

// The zoom factor the trace uses: a zoom of 0 (or below, or not a number) counts as 0.01 so
// that the amplitude labels never divide by zero.
float effectiveZoom(float zoom);

// The two labelled amplitudes above the zero line, in mV: U = round-down of the amplitude at
// the top of the plot, and U/2 (integer division); the axis mirrors them below the line.
struct AmplitudeTicks {
    std::int64_t top = 0;
    std::int64_t half = 0;
};

// From the trace's larger excursion from the zero line in counts (the peak's or the
// trough's, whichever is larger: it reaches the edge of the plot), the zoom and the stored
// gain (0 counts as 100). None when the waveform never leaves the zero line (the trace is
// drawn flat), or the gain is negative or not a number.
std::optional<AmplitudeTicks> amplitudeTicks(std::int32_t excursion, float zoom, float gain);

// One tick of the frequency axis, in kHz; `labelled` ticks are the long, numbered ones.
struct FrequencyTick {
    double kHz = 0;
    bool labelled = false;
};

struct FrequencyTicks {
    double step = 0;  // kHz between labelled ticks
    int decimals = 0; // digits after the point that the labels need
    std::vector<FrequencyTick> ticks;
};

// Ticks for an axis that shows 0 … bandKHz over widthPx pixels: labelled ticks at the
// smallest step of 1, 2 or 5 times a power of ten that keeps them minSpacingPx apart, with
// four (or, for a step of 2·10^e, three) short ticks between them. No tick at 0, whose label
// the axis draws itself. Empty for a band or width that is not positive and finite.
FrequencyTicks frequencyTicks(double bandKHz, double widthPx, double minSpacingPx);

// The amplitude slider: position 0 … 100, starting at 80 (zoom 1), a tick every 10.
inline constexpr int kZoomSliderMinimum = 0;
inline constexpr int kZoomSliderMaximum = 100;
inline constexpr int kZoomSliderStart = 80;
inline constexpr int kZoomSliderTickInterval = 10;

// The zoom of a slider position: 100 gives 0.01, 70 … 99 (100 − r)/20, 40 … 69 (100 − r)/15,
// 10 … 39 (100 − r)/12, 5 … 9 (100 − r)/10, 0 … 4 (100 − r)/8. The steps grow toward the
// top (position 0) so that the slider's upper end reaches a 12.5-fold magnification. Positions
// outside 0 … 100 are taken as the nearest end.
float amplitudeZoomAt(int position);

// The refinement slider: position 1 … 32, starting at 28, a tick every position; the
// refinement is 33 − position, so moving the slider up (toward position 1) refines more.
inline constexpr int kRefineSliderMinimum = 1;
inline constexpr int kRefineSliderMaximum = 32;
inline constexpr int kRefineSliderStart = 28;
inline constexpr int kRefineSliderTickInterval = 1;

std::int32_t refinementAt(int position);
int refineSliderPositionOf(std::int32_t refinement);

} // namespace crackdepth::draw
