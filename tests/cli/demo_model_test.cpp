#include "../core/test_support.h"
#include "cli/demo_model.h"
#include "cli_test_support.h"
#include "core/common/byte_source.h"
#include "core/data/line_block.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>

namespace crackdepth::cli {
namespace {

using nlohmann::json;

constexpr std::uint32_t kSeeds = 40; // every model test runs over seeds 0 … kSeeds − 1

// The transit time as the program reads it from a point: picked index plus window delay.
double readTransit(const MeasuringPoint& point) {
    return point.arrivalIndex * static_cast<double>(point.record.samplingInterval()) +
           static_cast<double>(point.delay);
}

int excursion(Sample s) {
    return static_cast<int>(s) - static_cast<int>(kZeroLine);
}

std::vector<double> depthsOf(const DemoSet& set) {
    std::vector<double> depths;
    for (const DemoLine& line : set.lines) {
        if (line.crossing) {
            depths.push_back(line.trueDepth);
        }
    }
    return depths;
}

TEST(DemoModel, SameSeedGivesSameBytesAndAnotherSeedOtherCracks) {
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const DemoSet a = makeDemoSet(seed);
        const DemoSet b = makeDemoSet(seed);
        const DemoSet other = makeDemoSet(seed + 1);
        ASSERT_EQ(a.lines.size(), b.lines.size());
        for (std::size_t k = 0; k < a.lines.size(); ++k) {
            EXPECT_EQ(encodeDemoLine(a.lines[k]), encodeDemoLine(b.lines[k]))
                << "seed " << seed << ", " << a.lines[k].fileName;
        }
        EXPECT_NE(depthsOf(a), depthsOf(other)) << "seed " << seed;
    }
}

TEST(DemoModel, SetHasOneNonCrossingLineAndDistinctCracksInRange) {
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const DemoSet set = makeDemoSet(seed);
        ASSERT_GE(set.lines.size(), 3u);
        EXPECT_FALSE(set.lines[0].crossing);
        EXPECT_EQ(set.lines[0].fileName, "DEMO.DP0");
        EXPECT_GE(set.velocity, 4.0);
        EXPECT_LE(set.velocity, 4.5);
        std::vector<double> depths = depthsOf(set);
        EXPECT_EQ(depths.size() + 1, set.lines.size());
        for (std::size_t k = 1; k < set.lines.size(); ++k) {
            const DemoLine& line = set.lines[k];
            EXPECT_EQ(line.fileName, "DEMO_C" + std::to_string(k) + ".DP1");
            EXPECT_GE(line.trueDepth, 60.0);
            EXPECT_LE(line.trueDepth, 200.0);
            // The line reaches beyond twice the depth, where the phase has turned.
            EXPECT_GE(line.points.size(), 6u);
            EXPECT_GT(line.points[line.points.size() - 1].distance, 2.0 * line.trueDepth);
        }
        std::sort(depths.begin(), depths.end());
        EXPECT_EQ(std::adjacent_find(depths.begin(), depths.end()), depths.end())
            << "seed " << seed;
    }
}

TEST(DemoModel, PicksLagTheModelledArrivalsSlightlyAndGiveBackTheVelocity) {
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const DemoSet set = makeDemoSet(seed);
        for (const DemoLine& line : set.lines) {
            const PointList& points = line.points;
            for (std::size_t k = 0; k < points.size(); ++k) {
                const double distance = points[k].distance;
                const double modelled =
                    line.crossing
                        ? crackTransitTime(distance, line.trueDepth, set.velocity, set.zeroOffset)
                        : directTransitTime(distance, set.velocity, set.zeroOffset);
                // The instrument picks the first sample out of the noise: never before the
                // arrival, and a few samples after it at most.
                const double lag = readTransit(points[k]) - modelled;
                EXPECT_GE(lag, 0.0)
                    << "seed " << seed << ", " << line.fileName << ", L = " << distance;
                EXPECT_LE(lag, 1.5)
                    << "seed " << seed << ", " << line.fileName << ", L = " << distance;
            }
            if (line.crossing) {
                continue;
            }
            // Least-squares fit of L = A + B·T: B is the velocity.
            double st = 0, sl = 0, stt = 0, stl = 0;
            const auto n = static_cast<double>(points.size());
            for (std::size_t k = 0; k < points.size(); ++k) {
                const double t = readTransit(points[k]);
                const double l = points[k].distance;
                st += t;
                sl += l;
                stt += t * t;
                stl += t * l;
            }
            const double slope = (n * stl - st * sl) / (n * stt - st * st);
            EXPECT_NEAR(slope, set.velocity, 0.02 * set.velocity) << "seed " << seed;
        }
    }
}

TEST(DemoModel, ModelledArrivalsGiveBackEachCrackDepth) {
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const DemoSet set = makeDemoSet(seed);
        for (const DemoLine& line : set.lines) {
            for (std::size_t k = 0; line.crossing && k < line.points.size(); ++k) {
                const double distance = line.points[k].distance;
                const double transit =
                    crackTransitTime(distance, line.trueDepth, set.velocity, set.zeroOffset);
                // The method's path: the distance plus the zero offset's equivalent path.
                const double l = distance + set.velocity * set.zeroOffset;
                const double ratio = set.velocity * transit / l;
                EXPECT_NEAR(l / 2.0 * std::sqrt(ratio * ratio - 1.0), line.trueDepth, 1e-9)
                    << "seed " << seed << ", " << line.fileName << ", L = " << distance;
            }
        }
    }
}

TEST(DemoModel, WaveformIsQuietBeforeTheArrivalAndStrongWithoutClippingAfter) {
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const DemoSet set = makeDemoSet(seed);
        const auto noise = static_cast<int>(set.noiseAmplitude);
        ASSERT_GE(noise, 7);
        ASSERT_LE(noise, 13);
        for (const DemoLine& line : set.lines) {
            for (std::size_t k = 0; k < line.points.size(); ++k) {
                const MeasuringPoint& point = line.points[k];
                const auto& s = point.samples;
                ASSERT_EQ(s.size(), static_cast<std::size_t>(kDemoSampleCount));
                const auto arrival = static_cast<std::size_t>(point.arrivalIndex);
                ASSERT_GT(arrival, 10u);
                ASSERT_LT(arrival, 160u);
                int before = 0;
                int after = 0;
                for (std::size_t i = 0; i < s.size(); ++i) {
                    int& largest = i < arrival ? before : after;
                    largest = std::max(largest, std::abs(excursion(s[i])));
                }
                const std::string where = "seed " + std::to_string(seed) + ", " + line.fileName +
                                          ", point " + std::to_string(k);
                EXPECT_LE(before, noise) << where;
                // The picked sample stands out of the noise, so its amplitude (and the "波幅(dB)"
                // column) is defined: at least above the converter's own noise of 2 counts.
                EXPECT_GT(std::abs(excursion(s[arrival])), 2) << where;
                EXPECT_GE(after, 400) << where;
                EXPECT_LE(after, 2000) << where; // leaves head room: no sample at 0 or 4095
            }
        }
    }
}

TEST(DemoModel, NoiseGrowsWithTheGainAndIsColouredByTheReceiver) {
    // Over every record before its arrival: the mean size of the noise at each gain, and how
    // much one noise sample tells of the next (white noise: nothing).
    std::map<float, std::pair<double, std::size_t>> sizeByGain;
    double products = 0;
    double squares = 0;
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        for (const DemoLine& line : makeDemoSet(seed).lines) {
            for (std::size_t k = 0; k < line.points.size(); ++k) {
                const MeasuringPoint& point = line.points[k];
                auto& [sum, count] = sizeByGain[point.gain];
                for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(point.arrivalIndex); ++i) {
                    const double here = excursion(point.samples[i]);
                    sum += std::abs(here);
                    ++count;
                    products += here * excursion(point.samples[i + 1]);
                    squares += here * here;
                }
            }
        }
    }
    ASSERT_TRUE(sizeByGain.contains(1.0f) && sizeByGain.contains(10.0f));
    const auto mean = [&](float gain) {
        return sizeByGain[gain].first / static_cast<double>(sizeByGain[gain].second);
    };
    EXPECT_GT(mean(10.0f), 3.0 * mean(1.0f));
    EXPECT_GT(mean(1.0f), 0.3) << "the converter's own noise is there at any gain";
    EXPECT_GT(products / squares, 0.3) << "neighbouring noise samples are alike";
}

// Sign of the first half-wave: the samples of the first 8 us after the pick, shorter than
// half a period at any frequency of the model.
int firstHalfWaveSign(const MeasuringPoint& point) {
    const auto from = static_cast<std::size_t>(point.arrivalIndex);
    const auto count = static_cast<std::size_t>(8.0f / point.record.samplingInterval());
    long sum = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        sum += excursion(point.samples[i]);
    }
    return sum > 0 ? 1 : -1;
}

TEST(DemoModel, PhaseReversesBeyondTwiceTheCrackDepthUnlessSwitchedOff) {
    for (const bool reversal : {true, false}) {
        for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
            const DemoSet set = makeDemoSet(seed, {.phaseReversal = reversal});
            int reversed = 0;
            for (const DemoLine& line : set.lines) {
                for (std::size_t k = 0; k < line.points.size(); ++k) {
                    const MeasuringPoint& point = line.points[k];
                    const bool beyond =
                        line.crossing && point.distance > 2.0 * line.trueDepth && reversal;
                    reversed += beyond ? 1 : 0;
                    EXPECT_EQ(firstHalfWaveSign(point), beyond ? -1 : 1)
                        << "seed " << seed << ", " << line.fileName << ", L = " << point.distance
                        << (reversal ? "" : ", reversal off");
                }
            }
            EXPECT_EQ(reversed > 0, reversal) << "seed " << seed;
        }
    }
}

TEST(DemoModel, FilesReadBackAsModelled) {
    const DemoSet set = makeDemoSet(1);
    for (const DemoLine& line : set.lines) {
        const std::vector<std::uint8_t> bytes = encodeDemoLine(line);
        MemorySource source(bytes);
        std::uint64_t offset = 0;
        TestParameters header;
        PointList points;
        ASSERT_EQ(ReadLineBlock(source, offset, header, points), BlockStatus::Ok) << line.fileName;
        EXPECT_EQ(offset, bytes.size());
        EXPECT_EQ(header.signature, line.crossing ? kCrossingSignature : kNonCrossingSignature);
        EXPECT_EQ(header.projectName, "演示工程 主梁");
        EXPECT_EQ(header.note, line.fileName);
        EXPECT_EQ(header.sampleCount, kDemoSampleCount);
        EXPECT_EQ(header.firstSpacing, 100.0f) << "one line geometry for the whole test";
        ASSERT_EQ(points.size(), line.points.size());
        for (std::size_t k = 0; k < points.size(); ++k) {
            const MeasuringPoint& read = points[k];
            const MeasuringPoint& made = line.points[k];
            const std::string where = line.fileName + ", point " + std::to_string(k);
            EXPECT_EQ(read.distance, made.distance) << where;
            EXPECT_EQ(read.distance, line.crossing ? 50.0f + 50.0f * static_cast<float>(k)
                                                   : 100.0f + 50.0f * static_cast<float>(k))
                << where;
            EXPECT_EQ(read.arrivalIndex, made.arrivalIndex) << where;
            EXPECT_EQ(read.delay, made.delay) << where;
            EXPECT_EQ(read.gain, made.gain) << where;
            EXPECT_EQ(read.kept, 1) << where;
            EXPECT_EQ(read.record.samplingInterval(), 0.5f) << where;
            EXPECT_EQ(read.samples, made.samples) << where;
        }
    }
}

// The committed example set is what the command writes for the default seed.
TEST(DemoModel, CommittedExamplesAreTheDefaultSet) {
    const std::filesystem::path examples =
        std::filesystem::path(CRACKDEPTH_FIXTURES_DIR).parent_path().parent_path().parent_path() /
        "examples";
    const DemoSet set = makeDemoSet(1);
    for (const DemoLine& line : set.lines) {
        const auto committed = testing::readBytes(examples / line.fileName);
        EXPECT_EQ(testing::firstDifference(committed, encodeDemoLine(line)), -1)
            << (examples / line.fileName).string();
    }
}

TEST(DemoCommand, WritesTheModelledSetAndReportsItsTruth) {
    const testing::TempDir temp;
    const auto folder = temp.path() / "new" / "set";
    std::filesystem::create_directories(folder);
    testing::writeBytes(folder / "DEMO.DP0", {1, 2, 3}); // replaced
    for (const std::uint32_t seed : {1u, 77u}) {
        std::vector<std::string> args = {"demo", "-o", folder.string()};
        if (seed != 1) {
            args.insert(args.end(), {"--seed", std::to_string(seed)});
        }
        const auto run = testing::runCli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const json document = json::parse(run.out);
        const DemoSet set = makeDemoSet(seed);
        EXPECT_EQ(document.at("directory"), folder.string());
        EXPECT_EQ(document.at("velocity").get<double>(), set.velocity);
        EXPECT_EQ(document.at("nonCrossing"), "DEMO.DP0");
        EXPECT_EQ(document.at("result"), "DEMO.DPA");
        EXPECT_TRUE(std::filesystem::exists(folder / "DEMO.DPA"));
        const json& cracks = document.at("cracks");
        ASSERT_EQ(cracks.size() + 1, set.lines.size());
        for (std::size_t k = 0; k < set.lines.size(); ++k) {
            const DemoLine& line = set.lines[k];
            if (k > 0) {
                EXPECT_EQ(cracks[k - 1].at("file"), line.fileName);
                EXPECT_EQ(cracks[k - 1].at("trueDepth").get<double>(), line.trueDepth);
            }
            EXPECT_EQ(testing::firstDifference(testing::readBytes(folder / line.fileName),
                                               encodeDemoLine(line)),
                      -1)
                << "seed " << seed << ", " << line.fileName;
        }
    }
    const auto text = testing::runCli({"demo", "-o", folder.string(), "--format", "text"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("DEMO_C1.DP1"), std::string::npos) << text.out;
}

TEST(DemoCommand, EveryPointOfTheDemoResultShowsAnAmplitude) {
    const testing::TempDir temp;
    for (const char* seed : {"1", "2", "3"}) {
        ASSERT_EQ(testing::runCli({"demo", "-o", temp.path().string(), "--seed", seed}).exitCode,
                  0);
        const auto run = testing::runCli({"analyze", "DEMO.DPA"}, temp.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const json result = json::parse(run.out);
        for (const json& crack : result.at("cracks")) {
            for (const json& point : crack.at("points")) {
                EXPECT_FALSE(point.at("amplitudeDb").is_null())
                    << "seed " << seed << ", " << crack.at("name")
                    << ", L = " << point.at("distance");
            }
        }
    }
}

TEST(DemoCommand, RefusesBadUsageAndUnwritableFolders) {
    const testing::TempDir temp;
    const auto file = temp.path() / "plain";
    testing::writeBytes(file, {42});
    const auto blocked = temp.path() / "blocked";
    std::filesystem::create_directories(blocked / "DEMO_C2.DP1"); // a folder in a file's place
    const std::string out = (temp.path() / "out").string();
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"demo"}, 2},
        {{"demo", "--seed", "3"}, 2},
        {{"demo", "-o", out, "--seed", "-1"}, 2},
        {{"demo", "-o", out, "--seed", "2147483648"}, 2},
        {{"demo", "-o", out, "--seed", "12x"}, 2},
        {{"demo", "-o", out, "extra"}, 2},
        {{"demo", "-o", out, "--colour"}, 2},
        {{"demo", "-o", (file / "sub").string()}, 1},
        {{"demo", "-o", file.string()}, 1},
        {{"demo", "-o", blocked.string()}, 1},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& word : c.args) {
            line += word + ' ';
        }
        const auto run = testing::runCli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << line << run.err;
        EXPECT_TRUE(run.out.empty()) << line;
        EXPECT_FALSE(run.err.empty()) << line;
    }
    EXPECT_FALSE(std::filesystem::exists(out)); // usage errors write nothing
    EXPECT_EQ(testing::readBytes(file), std::vector<std::uint8_t>{42});
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "DEMO_C2.DP1"));
    for (const auto& entry : std::filesystem::directory_iterator(blocked)) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

} // namespace
} // namespace crackdepth::cli
