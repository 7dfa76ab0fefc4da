#include "draw/waveform_ticks.h"

#include "core/data/amplitude.h"
#include "core/signal/spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace crackdepth::draw {
namespace {

// More ticks than this cannot be told apart on any screen; the rules give at most about a
// thousand for sensible data, so only damaged values reach the limit.
constexpr double kMaxTicks = 4000;

bool roundable(double v) {
    return std::isfinite(v) && v > 1.0;
}

} // namespace

double tickUnitOf(double v) {
    if (!roundable(v) || v < 10.0) {
        return 1.0;
    }
    if (v < 100.0) {
        return 10.0;
    }
    if (v <= 1000.0) {
        return 100.0;
    }
    double unit = 1000.0;
    for (double bound = 1e6; v >= bound; bound *= 1000.0) {
        unit *= 1000.0;
    }
    return unit;
}

RoundedTick roundUpTick(double v) {
    if (!roundable(v)) {
        return {};
    }
    const double unit = tickUnitOf(v);
    return {(std::trunc(v / unit) + 1.0) * unit, unit};
}

RoundedTick roundDownTick(double v) {
    if (!roundable(v)) {
        return {};
    }
    const double unit = tickUnitOf(v);
    return {std::trunc(v / unit) * unit, unit};
}

std::vector<double> timeTickValues(float delay, float dt, std::int32_t n) {
    const double start = static_cast<double>(delay);
    const double end = start + static_cast<double>(dt) * static_cast<double>(n);
    std::vector<double> ticks;
    if (!std::isfinite(start) || !std::isfinite(end)) {
        return ticks;
    }
    const RoundedTick last = roundUpTick(end);
    const double first = std::ceil(start / last.unit) * last.unit;
    const double count = std::floor((last.value - first) / last.unit) + 1.0;
    if (!(count > 0.0) || count > kMaxTicks) {
        return ticks;
    }
    const auto total = static_cast<int>(count);
    for (int j = 0; j < total; ++j) {
        // Multiplied, not accumulated, so that no rounding error creeps into the labels.
        const double t = first + static_cast<double>(j) * last.unit;
        if (std::fabs(t - start) >= 1.0) {
            ticks.push_back(t);
        }
    }
    return ticks;
}

TimeTickStride timeTickStride(double tickPx, double labelPx, double minTickPx) {
    TimeTickStride stride;
    if (!(tickPx > 0) || !std::isfinite(tickPx) || !std::isfinite(labelPx)) {
        return stride;
    }
    // 1, 2, 5, 10, 20, 50, …: at most a few thousand ticks, so the stride stays small.
    for (std::int64_t decade = 1; decade <= 1'000'000'000; decade *= 10) {
        for (const std::int64_t factor : {1, 2, 5}) {
            if (static_cast<double>(decade * factor) * tickPx >= labelPx) {
                stride.labelled = decade * factor;
                stride.unlabelledTicks = stride.labelled == 1 || tickPx >= minTickPx;
                return stride;
            }
        }
    }
    return stride;
}

float effectiveZoom(float zoom) {
    return zoom > 0.0f && std::isfinite(zoom) ? zoom : 0.01f;
}

std::optional<AmplitudeTicks> amplitudeTicks(std::int32_t excursion, float zoom, float gain) {
    if (excursion <= 0) {
        return std::nullopt;
    }
    const float g = effectiveGain(gain);
    if (!(g > 0.0f) || !std::isfinite(g)) {
        return std::nullopt;
    }
    // The largest amplitude in mV as a whole number (integer division), as the axis has
    // always labelled it.
    const auto largest = static_cast<std::int32_t>(std::int64_t{excursion} * 2000 / 2048);
    const float atTop = static_cast<float>(largest) / effectiveZoom(zoom) / g;
    const double top = roundDownTick(static_cast<double>(atTop)).value;
    if (top > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    AmplitudeTicks ticks;
    ticks.top = static_cast<std::int64_t>(top);
    ticks.half = ticks.top / 2;
    return ticks;
}

FrequencyTicks frequencyTicks(double bandKHz, double widthPx, double minSpacingPx) {
    FrequencyTicks result;
    if (!(bandKHz > 0.0) || !std::isfinite(bandKHz) || !(widthPx > 0.0) ||
        !std::isfinite(widthPx)) {
        return result;
    }
    const double pxPerKHz = widthPx / bandKHz;
    const double wanted = std::max(minSpacingPx, 1.0) / pxPerKHz; // smallest acceptable step
    int exponent = static_cast<int>(std::floor(std::log10(wanted)));
    double mantissa = 1.0;
    for (;;) {
        const double power = std::pow(10.0, exponent);
        if (1.0 * power >= wanted) {
            mantissa = 1.0;
        } else if (2.0 * power >= wanted) {
            mantissa = 2.0;
        } else if (5.0 * power >= wanted) {
            mantissa = 5.0;
        } else {
            ++exponent;
            continue;
        }
        break;
    }
    result.step = mantissa * std::pow(10.0, exponent);
    result.decimals = std::max(0, -exponent);
    const int minorPerMajor = mantissa == 2.0 ? 4 : 5;
    const double minor = result.step / minorPerMajor;
    const double count = std::floor(bandKHz / minor);
    if (count > kMaxTicks) {
        return result;
    }
    const auto total = static_cast<int>(count);
    for (int j = 1; j <= total; ++j) {
        result.ticks.push_back({static_cast<double>(j) * minor, j % minorPerMajor == 0});
    }
    return result;
}

float amplitudeZoomAt(int position) {
    const int r = std::clamp(position, kZoomSliderMinimum, kZoomSliderMaximum);
    const auto below = static_cast<float>(100 - r);
    if (r == 100) {
        return 0.01f;
    }
    if (r >= 70) {
        return below / 20.0f;
    }
    if (r >= 40) {
        return below / 15.0f;
    }
    if (r >= 10) {
        return below / 12.0f;
    }
    if (r >= 5) {
        return below / 10.0f;
    }
    return below / 8.0f;
}

std::int32_t refinementAt(int position) {
    return 33 - std::clamp(position, kRefineSliderMinimum, kRefineSliderMaximum);
}

int refineSliderPositionOf(std::int32_t refinement) {
    return 33 - std::clamp(refinement, kMinRefine, kMaxRefine);
}

} // namespace crackdepth::draw
