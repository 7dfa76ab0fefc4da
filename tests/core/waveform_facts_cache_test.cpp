// The waveform facts kept between runs of the checks: after any change of the points, what the
// cache gives is what a fresh look at every waveform gives.
#include "core/common/byte_source.h"
#include "core/data/result_file.h"
#include "core/document/checks/waveform_facts_cache.h"
#include "core/document/model/line_loading.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;
constexpr std::size_t kLines = 4; // the site's non-crossing line and its three cracks

void expectSameFacts(const WaveformFactsTable& kept, const WaveformFactsTable& fresh) {
    ASSERT_EQ(kept.size(), fresh.size());
    for (std::size_t l = 0; l < kept.size(); ++l) {
        ASSERT_EQ(kept[l].size(), fresh[l].size()) << "line " << l;
        for (std::size_t i = 0; i < kept[l].size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "line " << l << " point " << i);
            ASSERT_EQ(kept[l][i].has_value(), fresh[l][i].has_value());
            if (!kept[l][i]) {
                continue;
            }
            EXPECT_EQ(kept[l][i]->clipped, fresh[l][i]->clipped);
            const auto& a = kept[l][i]->suggestion;
            const auto& b = fresh[l][i]->suggestion;
            ASSERT_EQ(a.has_value(), b.has_value());
            if (a) {
                EXPECT_EQ(a->index, b->index);
                EXPECT_EQ(a->quality, b->quality);
            }
        }
    }
}

TEST(WaveformFactsCache, KeptFactsFollowEveryChangeOfThePoints) {
    DocumentData data;
    FileSource source(kFixtures / "SITE.DPA");
    ResultFileContents contents;
    ASSERT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
    LoadResultLines(data, std::move(contents), "SITE.DPA");
    PointList& line = *data.line(LineId{LineKind::Crossing, 1});
    ASSERT_GE(line.size(), 6u);

    // Applied one after the other to the same data, with the same cache.
    const struct {
        const char* name;
        std::function<void()> change;
    } changes[] = {
        {"nothing", [] {}},
        {"a waveform inverted",
         [&] {
             for (Sample& s : line[2].samples) {
                 s = static_cast<Sample>(4096 - s);
             }
         }},
        {"a pick moved onto clipped samples",
         [&] {
             line[3].samples[static_cast<std::size_t>(line[3].arrivalIndex) + 100] = 4095;
             line[3].arrivalIndex += 80;
         }},
        {"one sample changed by one", [&] { line[4].samples[700] += 1; }},
        {"two points' waveforms swapped", [&] { std::swap(line[0].samples, line[1].samples); }},
        {"a waveform cut short", [&] { line[5].samples.resize(line[5].samples.size() / 2); }},
        {"a waveform removed", [&] { line[5].samples.clear(); }},
        {"a point deleted before others", [&] { line.TakeAt(1); }},
        {"the non-crossing line shortened", [&] { data.nonCrossingList->TakeAt(0); }},
    };
    WaveformFactsCache cache;
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        c.change();
        expectSameFacts(cache.factsOf(data, kLines), WaveformFactsCache{}.factsOf(data, kLines));
    }
}

// Any one sample changed by one, and any two neighbours swapped, gives another digest.
TEST(WaveformFactsCache, TheDigestTellsApartWaveformsThatDifferAnywhere) {
    std::vector<Sample> samples(1031);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<Sample>(2048 + (i * 37 % 801) - 400);
    }
    std::set<std::uint64_t> digests{samplesDigest(samples)};
    std::size_t variants = 1;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::vector<Sample> changed = samples;
        changed[i] += 1;
        digests.insert(samplesDigest(changed));
        ++variants;
        if (i + 1 < samples.size() && samples[i] != samples[i + 1]) {
            std::vector<Sample> swapped = samples;
            std::swap(swapped[i], swapped[i + 1]);
            digests.insert(samplesDigest(swapped));
            ++variants;
        }
    }
    std::vector<Sample> longer = samples;
    longer.push_back(0);
    digests.insert(samplesDigest(longer));
    ++variants;
    EXPECT_EQ(digests.size(), variants);
}

} // namespace
} // namespace crackdepth
