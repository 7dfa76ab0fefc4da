// The accuracy of the suggested first arrival on synthetic records with a known onset, by noise
// level, beside a threshold pick like the instrument's. Prints a table; takes no arguments.
#include "../tests/core/onset_waveforms.h"
#include "core/analysis/onset_picker.h"
// The demo model, compiled in whole: the tool needs its waveforms and nothing else of the
// command-line program.
#include "../src/cli/demo_model.cpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

using namespace crackdepth;
using namespace crackdepth::testing;

namespace {

constexpr int kWaveforms = 1000;

// The instrument's pick: the first sample, after the record's first 32, that stands more than
// `sigmas` noise RMS off the zero line; both measured over those first 32 samples.
std::optional<double> thresholdPick(const std::vector<Sample>& samples, double sigmas) {
    constexpr std::size_t lead = 32;
    double sum = 0;
    for (std::size_t i = 0; i < lead; ++i) {
        sum += samples[i];
    }
    const double zero = sum / lead;
    double squares = 0;
    for (std::size_t i = 0; i < lead; ++i) {
        squares += (samples[i] - zero) * (samples[i] - zero);
    }
    const double bound = sigmas * std::sqrt(squares / lead);
    for (std::size_t i = lead; i < samples.size(); ++i) {
        if (std::abs(samples[i] - zero) > bound) {
            return static_cast<double>(i);
        }
    }
    return std::nullopt;
}

struct Tally {
    int count = 0;
    int none = 0;
    int within = 0; // within the tolerance of the noise level
    int farOff = 0; // more than 5 us off
    int confident = 0;
    int confidentWithin3 = 0;
    double sum = 0, squares = 0, sumUs = 0, squaresUs = 0;

    void add(std::optional<double> pick, const OnsetWaveform& wave, double tolerance,
             std::optional<double> quality = std::nullopt) {
        ++count;
        if (!pick) {
            ++none;
            return;
        }
        const double error = *pick - wave.onset;
        const double errorUs = error * wave.dt;
        sum += error;
        squares += error * error;
        sumUs += errorUs;
        squaresUs += errorUs * errorUs;
        within += std::abs(error) <= tolerance ? 1 : 0;
        farOff += std::abs(errorUs) > 5.0 ? 1 : 0;
        if (quality && *quality >= kConfidentOnsetQuality) {
            ++confident;
            confidentWithin3 += std::abs(std::round(*pick) - wave.onset) <= 3.5 ? 1 : 0;
        }
    }
    void print(const char* label) const {
        const int picked = count - none;
        const double mean = picked > 0 ? sum / picked : 0;
        const double meanUs = picked > 0 ? sumUs / picked : 0;
        const double spread = picked > 1 ? std::sqrt(squares / picked - mean * mean) : 0;
        const double spreadUs = picked > 1 ? std::sqrt(squaresUs / picked - meanUs * meanUs) : 0;
        std::printf("  %-22s %8.2f %8.2f %8.2f %8.2f %7.1f%% %7.1f%% %7.1f%%", label, mean, spread,
                    meanUs, spreadUs, 100.0 * none / count, 100.0 * within / count,
                    100.0 * farOff / count);
        if (confident > 0) {
            std::printf("  %5.1f%% (%5.1f%%)", 100.0 * confident / count,
                        100.0 * confidentWithin3 / confident);
        }
        std::printf("\n");
    }
};

} // namespace

int main() {
    std::printf("%d records per noise level; errors are pick - true onset.\n", kWaveforms);
    std::printf("bias/spread in samples, then in us; 'within' is +-max(2 samples, 1.5 us) at 40 "
                "and 30 dB, +-max(3 samples, 3 us) at 20 and 10 dB;\n'confident' is the share of "
                "confident suggestions (in brackets: of those, the share within 3 samples).\n\n");
    std::printf("  %-22s %8s %8s %8s %8s %8s %8s %8s  %s\n", "pick", "bias", "spread", "bias us",
                "sprd us", "none", "within", ">5 us", "confident");
    for (const double snr : {40.0, 30.0, 20.0, 10.0}) {
        std::printf("%.0f dB\n", snr);
        OnsetRandom random(static_cast<std::uint64_t>(snr) * 7919u + 17u);
        Tally suggested, threshold25, threshold5;
        for (int k = 0; k < kWaveforms; ++k) {
            const OnsetWaveform wave = makeOnsetWaveform(randomOnsetSpec(random, snr));
            const double samplesTolerance = snr >= 30 ? 2.0 : 3.0;
            const double timeTolerance = snr >= 30 ? 1.5 : 3.0;
            const double tolerance = std::max(samplesTolerance, timeTolerance / wave.dt);
            const auto suggestion = SuggestOnset(wave.samples);
            suggested.add(suggestion ? std::optional<double>(suggestion->index) : std::nullopt,
                          wave, tolerance,
                          suggestion ? std::optional<double>(suggestion->quality) : std::nullopt);
            threshold25.add(thresholdPick(wave.samples, 2.5), wave, tolerance);
            threshold5.add(thresholdPick(wave.samples, 5.0), wave, tolerance);
        }
        suggested.print("suggestion");
        threshold25.print("threshold 2.5 sigma");
        threshold5.print("threshold 5 sigma");
    }

    // The demo model's records: a burst whose first half-cycle is its largest, high
    // signal-to-noise ratios, and the instrument's own threshold pick stored with each point.
    std::printf("\ndemo model, seeds 1-100 (true onset from the model's transit time)\n");
    Tally demoSuggested, demoStored;
    for (std::uint32_t seed = 1; seed <= 100; ++seed) {
        const cli::DemoSet set = cli::makeDemoSet(seed);
        for (const cli::DemoLine& line : set.lines) {
            for (std::size_t k = 0; k < line.points.size(); ++k) {
                const MeasuringPoint& point = line.points[k];
                const double distance = static_cast<double>(point.distance);
                const double transit =
                    line.crossing ? cli::crackTransitTime(distance, line.trueDepth, set.velocity,
                                                          set.zeroOffset)
                                  : cli::directTransitTime(distance, set.velocity, set.zeroOffset);
                OnsetWaveform wave;
                wave.dt = set.samplingInterval;
                wave.onset = (transit - static_cast<double>(point.delay)) / wave.dt;
                const double tolerance = std::max(2.0, 1.5 / wave.dt);
                const auto suggestion = SuggestOnset(point.samples);
                demoSuggested.add(
                    suggestion ? std::optional<double>(suggestion->index) : std::nullopt, wave,
                    tolerance,
                    suggestion ? std::optional<double>(suggestion->quality) : std::nullopt);
                demoStored.add(static_cast<double>(point.arrivalIndex), wave, tolerance);
            }
        }
    }
    demoSuggested.print("suggestion");
    demoStored.print("stored (threshold)");
    return EXIT_SUCCESS;
}
