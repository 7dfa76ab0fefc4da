#include "core/analysis/onset_picker.h"
#include "onset_waveforms.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace crackdepth {
namespace {

using testing::makeOnsetWaveform;
using testing::OnsetRandom;
using testing::OnsetWaveform;
using testing::OnsetWaveformSpec;
using testing::randomOnsetSpec;

constexpr int kWaveformsPerLevel = 300;

struct Outcome {
    int within = 0; // suggestions within the tolerance
    int none = 0;   // no suggestion
    int farOff = 0; // suggestions more than 5 us off
};

Outcome pickMany(double snrDb, std::uint64_t seed, double toleranceSamples, double toleranceUs) {
    OnsetRandom random(seed);
    Outcome outcome;
    for (int k = 0; k < kWaveformsPerLevel; ++k) {
        const OnsetWaveform wave = makeOnsetWaveform(randomOnsetSpec(random, snrDb));
        const auto suggestion = SuggestOnset(wave.samples);
        if (!suggestion) {
            ++outcome.none;
            continue;
        }
        const double error = static_cast<double>(suggestion->index) - wave.onset;
        if (std::abs(error) <= std::max(toleranceSamples, toleranceUs / wave.dt)) {
            ++outcome.within;
        }
        if (std::abs(error * wave.dt) > 5.0) {
            ++outcome.farOff;
        }
    }
    return outcome;
}

TEST(OnsetPicker, FindsTheTrueOnsetOnNinetyPercentOfRecords) {
    struct Case {
        double snrDb;
        double toleranceSamples, toleranceUs;
    };
    const Case cases[] = {{40, 2, 1.5}, {30, 2, 1.5}, {20, 3, 3.0}};
    for (const Case& c : cases) {
        const Outcome outcome = pickMany(c.snrDb, 1000 + static_cast<std::uint64_t>(c.snrDb),
                                         c.toleranceSamples, c.toleranceUs);
        // A record without a suggestion counts as a miss.
        EXPECT_GE(outcome.within, kWaveformsPerLevel * 9 / 10)
            << c.snrDb << " dB: " << outcome.within << " within, " << outcome.none
            << " without a suggestion";
    }
}

TEST(OnsetPicker, AtTenDecibelsGivesNoSuggestionRatherThanAWrongOne) {
    const Outcome outcome = pickMany(10, 1010, 3, 3.0);
    EXPECT_LE(outcome.farOff * 100, kWaveformsPerLevel)
        << outcome.farOff << " suggestions more than 5 us off, " << outcome.none << " none";
}

TEST(OnsetPicker, ConfidentSuggestionsLieWithinThreeSamples) {
    // The check of stored picks relies on this: a confident suggestion is trusted to 3 samples.
    int confident = 0;
    int close = 0;
    for (const double snrDb : {40.0, 30.0, 20.0}) {
        OnsetRandom random(2000 + static_cast<std::uint64_t>(snrDb));
        for (int k = 0; k < kWaveformsPerLevel; ++k) {
            const OnsetWaveform wave = makeOnsetWaveform(randomOnsetSpec(random, snrDb));
            const auto suggestion = SuggestOnset(wave.samples);
            if (suggestion && isConfident(*suggestion)) {
                ++confident;
                close += std::abs(suggestion->index - std::lround(wave.onset)) <= 3 ? 1 : 0;
            }
        }
    }
    ASSERT_GT(confident, kWaveformsPerLevel);
    EXPECT_GE(close * 100, confident * 98) << close << " of " << confident;
}

TEST(OnsetPicker, TheZeroLineDoesNotMoveThePick) {
    OnsetWaveformSpec spec;
    spec.count = 1024;
    spec.dt = 0.5;
    spec.onset = 180.3;
    spec.snrDb = 30;
    std::vector<std::int32_t> picks;
    for (const double offset : {-400.0, 0.0, 350.0}) {
        spec.dcOffset = offset;
        const auto suggestion = SuggestOnset(makeOnsetWaveform(spec).samples);
        ASSERT_TRUE(suggestion) << offset;
        picks.push_back(suggestion->index);
    }
    EXPECT_EQ(picks[0], picks[1]);
    EXPECT_EQ(picks[2], picks[1]);
    EXPECT_NEAR(picks[1], 180.3, 2.0);
}

TEST(OnsetPicker, NoSuggestionWithoutAClearOnset) {
    OnsetWaveformSpec pulse;
    pulse.snrDb = 30;
    OnsetWaveformSpec pureNoise = pulse;
    pureNoise.pulse = false;
    pureNoise.lateGain = 0;
    OnsetWaveformSpec atStart = pulse;
    atStart.onset = 0;
    OnsetWaveformSpec short_ = pulse;
    short_.count = 40;
    short_.onset = 20;
    OnsetWaveformSpec clipped = pulse;
    clipped.amplitude = 20000; // the converter's rails over most of the record
    clipped.lateGain = 0;
    clipped.decayCycles = 40;

    struct Case {
        const char* name;
        std::vector<Sample> samples;
    };
    const Case cases[] = {
        {"pure noise", makeOnsetWaveform(pureNoise).samples},
        {"flat line", std::vector<Sample>(1024, 2100)},
        {"empty", {}},
        {"very short record", makeOnsetWaveform(short_).samples},
        {"clipped all over", makeOnsetWaveform(clipped).samples},
        {"onset at sample 0", makeOnsetWaveform(atStart).samples},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(SuggestOnset(c.samples)) << c.name;
    }
}

} // namespace
} // namespace crackdepth
