// The amplitude spectrum of a point's waveform as the program shows it: anti-aliased,
// decimated by a refinement factor, Hann-windowed, transformed by a 512-point FFT and scaled
// so that the largest of the 256 lower bins reads 466.
#pragma once

#include "core/data/measuring_point.h"

#include <array>
#include <cstdint>
#include <span>

namespace crackdepth {

inline constexpr std::size_t kFftSize = 512;
inline constexpr std::size_t kSpectrumBins = kFftSize / 2;
inline constexpr float kSpectrumPeakValue = 466.0f;
inline constexpr std::int32_t kMinRefine = 1;
inline constexpr std::int32_t kMaxRefine = 32;

struct SpectrumResult {
    std::array<float, kSpectrumBins> bins{}; // power, scaled so that bins[peak] is 466
    std::int32_t peak = 0;                   // index of the largest bin
};

// The spectrum of the first n samples (fewer when `samples` is shorter) taken dt us apart.
// `refine` (limited to 1 … 32) keeps every refine-th value; bin k then stands for
// k · 1e6 / (512 · refine · dt) Hz.
SpectrumResult Spectrum(std::span<const Sample> samples, std::int32_t n, float dt,
                        std::int32_t refine);

// Frequency of bin k in Hz for a refinement factor and a sampling interval in us; NaN for an
// interval that is not positive and finite.
double binFrequencyHz(std::size_t bin, std::int32_t refine, float dt);

// In-place forward DFT X_k = Σ x_j·e^(−2πi·jk/512), radix-2 decimation in frequency.
void fft512(std::array<float, kFftSize>& re, std::array<float, kFftSize>& im);

// Index of the largest value, the lowest index among equals; 0 for an empty span.
std::int32_t peakIndex(std::span<const float> values);

} // namespace crackdepth
