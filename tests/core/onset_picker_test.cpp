#include "core/analysis/onset_picker.h"
#include "onset_waveforms.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <numbers>
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

TEST(OnsetPicker, NoSuggestionWithoutAClearOnsetAndTheStageThatSaysWhy) {
    OnsetWaveformSpec pulse;
    pulse.snrDb = 30;
    const auto with = [&](auto change) {
        OnsetWaveformSpec spec = pulse;
        change(spec);
        return makeOnsetWaveform(spec).samples;
    };
    std::vector<Sample> railAtStart = makeOnsetWaveform(pulse).samples;
    railAtStart[5] = 0;
    // Two periods of a wave about twice the noise's level, ending 60 samples before a pulse
    // that stands ten times out of the noise: an earlier arrival may hide there.
    OnsetWaveformSpec quieter = pulse;
    quieter.snrDb = 20;
    quieter.onset = 400;
    std::vector<Sample> waveBefore = makeOnsetWaveform(quieter).samples;
    for (std::size_t i = 0; i < 80; ++i) {
        const double wave =
            100.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / 40.0);
        waveBefore[260 + i] = static_cast<Sample>(waveBefore[260 + i] + std::lround(wave));
    }

    using R = NoOnsetReason;
    const struct {
        const char* name;
        std::vector<Sample> samples;
        NoOnsetReason reason;
    } cases[] = {
        {"empty", {}, R::TooShort},
        {"very short record", with([](auto& s) {
             s.count = 40;
             s.onset = 20;
         }),
         R::TooShort},
        {"clipped all over", with([](auto& s) {
             s.amplitude = 20000; // the converter's rails over most of the record
             s.lateGain = 0;
             s.decayCycles = 40;
         }),
         R::Clipped},
        {"a rail among the first samples", railAtStart, R::ClippedStart},
        {"pulse among the first samples", with([](auto& s) { s.onset = 40; }), R::PulseAtStart},
        {"pure noise", with([](auto& s) {
             s.pulse = false;
             s.lateGain = 0;
         }),
         R::NoPulse},
        {"flat line", std::vector<Sample>(1024, 2100), R::NoPulse},
        {"onset at sample 0", with([](auto& s) { s.onset = 0; }), R::NoPulse},
        {"onset just after the first samples", with([](auto& s) { s.onset = 60; }),
         R::NoNoiseBefore},
        {"noise wandering slowly", with([](auto& s) {
             s.snrDb = 20;
             s.noiseBandwidth = 10;
         }),
         R::EarlierChange},
        {"barely above the noise", with([](auto& s) { s.snrDb = 14; }), R::Weak},
        {"a pulse dying within a period, a slower wave after it", with([](auto& s) {
             s.decayCycles = 0.2;
             s.lateGain = 1;
             s.lateFrequencyRatio = 0.5;
         }),
         R::NoRinging},
        {"a pulse rising over a whole period", with([](auto& s) { s.riseCycles = 1; }),
         R::WeakFirstHalfCycle},
        {"a wave before the pulse", waveBefore, R::LoudBeforeOnset},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OnsetFinding finding = FindOnset(c.samples);
        EXPECT_FALSE(finding.suggestion);
        EXPECT_FALSE(SuggestOnset(c.samples));
        EXPECT_EQ(finding.reason, c.reason);
    }
}

} // namespace
} // namespace crackdepth
