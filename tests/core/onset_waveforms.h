// Synthetic received pulses with a known first arrival, for the tests and the accuracy report
// of the onset picker. A pulse starts smoothly from zero, as a transducer's does: a sine carrier
// under an envelope that rises as a raised cosine and then dies away. A stronger late wave
// follows it, the noise is band-limited, the zero line is offset and the converter clips.
//
// Signal-to-noise ratio here is the peak amplitude of the first arrival over the noise RMS,
// in dB (20·log10(peak / rms)).
#pragma once

#include "core/data/measuring_point.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace crackdepth::testing {

// std::mt19937_64 is the same everywhere; the standard distributions are not, so the draws
// are made here.
class OnsetRandom {
public:
    explicit OnsetRandom(std::uint64_t seed) : engine_(seed) {}

    double uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    double normal() {
        const double u1 = 1.0 - uniform(); // (0, 1]: the logarithm stays finite
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }
    bool coin() { return (engine_() >> 63) != 0; }

private:
    std::mt19937_64 engine_;
};

struct OnsetWaveformSpec {
    std::size_t count = 1024;
    double dt = 0.5;         // sampling interval, us
    double onset = 200;      // true first arrival, in samples (may fall between two)
    double frequency = 50;   // carrier, kHz
    double amplitude = 500;  // peak of the first arrival, counts
    bool pulse = true;       // false: the noise (at the same RMS) and late wave only
    double riseCycles = 0.4; // raised-cosine rise of the envelope, in periods
    double decayCycles = 2;  // then exp(-t / (decayCycles · period))
    int polarity = 1;
    double lateDelayCycles = 3;      // the late wave starts this many periods after the onset
    double lateGain = 2;             // its peak over the first arrival's; 0 for none
    double lateFrequencyRatio = 0.8; // its carrier over the first arrival's
    int latePolarity = -1;
    double snrDb = 40;           // infinity for no noise
    double noiseBandwidth = 200; // kHz: a one-pole low-pass shapes the noise
    double dcOffset = 0;         // counts added to the zero line
    std::uint64_t noiseSeed = 1;
};

struct OnsetWaveform {
    std::vector<Sample> samples;
    double onset = 0; // samples
    double dt = 0;    // us
};

// A burst `tau` us after its start, with a peak near 1.
inline double onsetBurst(double tau, double period, double riseCycles, double decayCycles) {
    if (tau <= 0) {
        return 0;
    }
    const double rise = riseCycles * period;
    const double envelope = tau < rise ? 0.5 * (1.0 - std::cos(std::numbers::pi * tau / rise))
                                       : std::exp(-(tau - rise) / (decayCycles * period));
    return envelope * std::sin(2.0 * std::numbers::pi * tau / period);
}

// The largest |burst|, found on a fine grid over its first three periods.
inline double onsetBurstPeak(double period, double riseCycles, double decayCycles) {
    double peak = 0;
    for (int k = 1; k <= 3000; ++k) {
        const double tau = period * static_cast<double>(k) / 1000.0;
        peak = std::max(peak, std::abs(onsetBurst(tau, period, riseCycles, decayCycles)));
    }
    return peak;
}

inline OnsetWaveform makeOnsetWaveform(const OnsetWaveformSpec& spec) {
    const double period = 1000.0 / spec.frequency; // us
    const double latePeriod = period / spec.lateFrequencyRatio;
    const double scale = spec.amplitude / onsetBurstPeak(period, spec.riseCycles, spec.decayCycles);
    const double lateScale = spec.lateGain * spec.amplitude /
                             onsetBurstPeak(latePeriod, spec.riseCycles, spec.decayCycles);
    const double onsetTime = spec.onset * spec.dt;
    const double lateTime = onsetTime + spec.lateDelayCycles * period;

    std::vector<double> values(spec.count);
    for (std::size_t i = 0; i < spec.count; ++i) {
        const double time = static_cast<double>(i) * spec.dt;
        values[i] = (spec.pulse ? spec.polarity * scale : 0.0) *
                        onsetBurst(time - onsetTime, period, spec.riseCycles, spec.decayCycles) +
                    spec.latePolarity * lateScale *
                        onsetBurst(time - lateTime, latePeriod, spec.riseCycles, spec.decayCycles);
    }

    if (std::isfinite(spec.snrDb)) {
        OnsetRandom random(spec.noiseSeed);
        const double a = std::exp(-2.0 * std::numbers::pi * spec.noiseBandwidth * spec.dt / 1000.0);
        const double drive = std::sqrt(1.0 - a * a);
        std::vector<double> noise(spec.count);
        double coloured = random.normal();
        double sumSquares = 0;
        for (double& value : noise) {
            coloured = a * coloured + drive * random.normal();
            value = coloured;
            sumSquares += value * value;
        }
        // Scaled so that the record's noise has exactly the RMS the ratio asks for.
        const double rms = spec.amplitude / std::pow(10.0, spec.snrDb / 20.0);
        const double gain = rms / std::sqrt(sumSquares / static_cast<double>(spec.count));
        for (std::size_t i = 0; i < spec.count; ++i) {
            values[i] += gain * noise[i];
        }
    }

    OnsetWaveform wave;
    wave.onset = spec.onset;
    wave.dt = spec.dt;
    wave.samples.reserve(spec.count);
    for (const double value : values) {
        const double level = std::round(kZeroLine + spec.dcOffset + value);
        wave.samples.push_back(static_cast<Sample>(std::clamp(level, 0.0, 4095.0)));
    }
    return wave;
}

// A record as the instrument could take it: 512 or 1,024 samples at 0.1–2 us, a 30–80 kHz
// pulse of 150–700 counts whose onset lies in the first half of the record behind at least
// 48 samples of noise, a late wave 1.2–3 times stronger 1.5–4 periods later, a zero line up to
// 300 counts off. The record holds at least one and a half periods of the pulse after its
// onset, as a record kept for reading would.
inline OnsetWaveformSpec randomOnsetSpec(OnsetRandom& random, double snrDb) {
    OnsetWaveformSpec spec;
    spec.count = random.coin() ? 1024 : 512;
    const double n = static_cast<double>(spec.count);
    const double earliest = std::max(48.0, 0.1 * n);
    double periodSamples = 0;
    do {
        spec.dt = 0.1 * std::pow(20.0, random.uniform()); // log-uniform over 0.1–2 us
        spec.frequency = random.uniform(30.0, 80.0);
        periodSamples = 1000.0 / spec.frequency / spec.dt;
    } while (earliest + 1.5 * periodSamples > n);
    spec.onset = random.uniform(earliest, std::min(0.5 * n, n - 1.5 * periodSamples));
    spec.amplitude = random.uniform(150.0, 700.0);
    spec.riseCycles = random.uniform(0.25, 0.5);
    spec.decayCycles = random.uniform(1.5, 4.0);
    spec.polarity = random.coin() ? 1 : -1;
    spec.lateDelayCycles = random.uniform(1.5, 4.0);
    spec.lateGain = random.uniform(1.2, 3.0);
    spec.lateFrequencyRatio = random.uniform(0.6, 1.0);
    spec.latePolarity = random.coin() ? 1 : -1;
    spec.snrDb = snrDb;
    spec.noiseBandwidth = random.uniform(150.0, 300.0);
    spec.dcOffset = random.uniform(-300.0, 300.0);
    spec.noiseSeed = static_cast<std::uint64_t>(random.uniform() * 0x1.0p53);
    return spec;
}

inline constexpr double kNoNoise = std::numeric_limits<double>::infinity();

} // namespace crackdepth::testing
