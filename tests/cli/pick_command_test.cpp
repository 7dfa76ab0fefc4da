// The suggested first arrivals from the command line: `pick` beside the stored picks,
// `analyze --picks suggested` recovering the demo's crack depths from picks disturbed by up to
// eight samples, and the checks and spread that `analyze` reports.
#include "../core/test_support.h"
#include "cli_test_support.h"
#include "core/common/byte_source.h"
#include "core/data/result_file.h"
#include "core/document/checks/measurement_checks.h"
#include "core/document/model/line_loading.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <random>

namespace crackdepth {
namespace {

using nlohmann::json;

json runJson(const std::vector<std::string>& args, const std::filesystem::path& cwd) {
    const auto run = testing::runCli(args, cwd);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0 ? json::parse(run.out) : json{};
}

// The result file with every stored pick moved by a draw from −8 … 8 samples.
void disturbPicks(const std::filesystem::path& file, unsigned seed) {
    ResultFileContents contents;
    {
        FileSource source(file);
        ASSERT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
    }
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> shift(-8, 8);
    std::vector<LineRef> lines;
    for (LineData& line : contents.lines) {
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            line.points[i].arrivalIndex += shift(random);
        }
        lines.push_back({&line.header, &line.points});
    }
    std::vector<std::uint8_t> bytes;
    WriteResultFile(bytes, lines, contents.projectBlock);
    testing::writeBytes(file, bytes);
}

TEST(PickCommand, SuggestedPicksRecoverTheDemoDepthsFromDisturbedPicks) {
    testing::TempDir dir;
    for (const char* seed : {"1", "5", "123", "2024"}) {
        SCOPED_TRACE(std::string("seed ") + seed);
        const json demo = runJson({"demo", "-o", dir.path().string(), "--seed", seed}, dir.path());
        disturbPicks(dir.path() / "DEMO.DPA", static_cast<unsigned>(std::stoul(seed)));
        const json stored = runJson({"analyze", "DEMO.DPA"}, dir.path());
        const json suggested = runJson({"analyze", "DEMO.DPA", "--picks", "suggested"}, dir.path());
        ASSERT_EQ(suggested["cracks"].size(), demo["cracks"].size());
        double worstStored = 0;
        for (std::size_t k = 0; k < demo["cracks"].size(); ++k) {
            const double truth = demo["cracks"][k]["trueDepth"].get<double>();
            EXPECT_NEAR(suggested["cracks"][k]["crackDepth"].get<double>(), truth, 0.02 * truth)
                << "crack " << k + 1;
            if (stored["cracks"][k]["crackDepth"].is_number()) {
                worstStored = std::max(
                    worstStored,
                    std::abs(stored["cracks"][k]["crackDepth"].get<double>() - truth) / truth);
            }
        }
        // Only the arrivals move: each point's amplitude is read where it was.
        for (std::size_t k = 0; k < demo["cracks"].size(); ++k) {
            for (std::size_t i = 0; i < stored["cracks"][k]["points"].size(); ++i) {
                EXPECT_EQ(suggested["cracks"][k]["points"][i]["amplitudeDb"],
                          stored["cracks"][k]["points"][i]["amplitudeDb"]);
            }
        }
        // The disturbance matters: the stored picks alone miss by more somewhere, and the
        // checks name the picks far from their suggestions.
        EXPECT_GT(worstStored, 0.02);
        const auto pickChecks =
            std::count_if(stored["checks"].begin(), stored["checks"].end(),
                          [](const json& check) { return check["kind"] == "pick"; });
        EXPECT_GT(pickChecks, 0);
    }
}

TEST(PickCommand, ListsStoredAndSuggestedArrivalsOfEveryPoint) {
    testing::TempDir dir;
    runJson({"demo", "-o", dir.path().string()}, dir.path());
    const json all = runJson({"pick", "DEMO.DPA"}, dir.path());
    const json info = runJson({"info", "DEMO.DPA"}, dir.path());
    ASSERT_EQ(all["lines"].size(), info["lines"].size());
    for (std::size_t k = 0; k < all["lines"].size(); ++k) {
        const json& line = all["lines"][k];
        EXPECT_EQ(line["line"], k);
        ASSERT_EQ(line["points"].size(), info["lines"][k]["points"].size());
        for (const json& point : line["points"]) {
            const json& read = info["lines"][k]["points"][point["point"].get<std::size_t>()];
            EXPECT_EQ(point["storedIndex"], read["arrivalIndex"]);
            EXPECT_EQ(point["distance"], read["distance"]);
            // The demo's waveforms all carry a clear pulse; its threshold picks lie within a
            // few samples of the suggestion.
            ASSERT_TRUE(point["suggestedIndex"].is_number());
            EXPECT_EQ(point["difference"].get<int>(),
                      point["suggestedIndex"].get<int>() - point["storedIndex"].get<int>());
            EXPECT_LE(std::abs(point["difference"].get<int>()), 3);
            const double dt = read["samplingInterval"].get<double>();
            EXPECT_NEAR(point["suggestedTime"].get<double>() - point["storedTime"].get<double>(),
                        dt * point["difference"].get<int>(), 1e-3);
            EXPECT_GE(point["quality"].get<double>(), 0.0);
            EXPECT_LE(point["quality"].get<double>(), 1.0);
        }
    }
    const json one = runJson({"pick", "DEMO.DPA", "--line", "2"}, dir.path());
    ASSERT_EQ(one["lines"].size(), 1u);
    EXPECT_EQ(one["lines"][0], all["lines"][2]);
    const auto missing = testing::runCli({"pick", "DEMO.DPA", "--line", "9"}, dir.path());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("--line 9 does not exist"), std::string::npos) << missing.err;
}

// The spread is that of the estimates the depth averages: as many as the kept points with a
// depth, their mean the crack depth; checks come in the documented form.
TEST(PickCommand, AnalyzeReportsTheSpreadAndTheChecks) {
    testing::TempDir dir;
    runJson({"demo", "-o", dir.path().string(), "--seed", "5"}, dir.path());
    disturbPicks(dir.path() / "DEMO.DPA", 99);
    const json result = runJson({"analyze", "DEMO.DPA"}, dir.path());
    for (const json& crack : result["cracks"]) {
        std::vector<double> kept;
        for (const json& point : crack["points"]) {
            if (point["kept"] == 1 && point["depth"].is_number()) {
                kept.push_back(point["depth"].get<double>());
            }
        }
        const json& spread = crack["crackDepthSpread"];
        ASSERT_EQ(spread["kept"], kept.size());
        if (kept.size() < 2) {
            EXPECT_TRUE(spread["std"].is_null());
            continue;
        }
        double mean = 0;
        for (const double h : kept) {
            mean += h / static_cast<double>(kept.size());
        }
        double squares = 0;
        for (const double h : kept) {
            squares += (h - mean) * (h - mean);
        }
        EXPECT_NEAR(crack["crackDepth"].get<double>(), mean, 1e-3);
        EXPECT_NEAR(spread["std"].get<double>(),
                    std::sqrt(squares / static_cast<double>(kept.size() - 1)), 1e-3);
        EXPECT_EQ(spread["min"].get<double>(), *std::min_element(kept.begin(), kept.end()));
        EXPECT_EQ(spread["max"].get<double>(), *std::max_element(kept.begin(), kept.end()));
    }
    // The tool looks at the waveforms one at a time; the checks are those of the document
    // holding them all, as the desktop program holds it.
    DocumentData data;
    {
        FileSource source(dir.path() / "DEMO.DPA");
        ResultFileContents contents;
        ASSERT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
        LoadResultLines(data, std::move(contents), "DEMO.DPA");
    }
    json expected = json::array();
    for (const MeasurementCheck& check : CheckMeasurement(data, AnalyseDocument(data))) {
        expected.push_back({{"line", check.line},
                            {"point", check.point ? json(*check.point) : json(nullptr)},
                            {"kind", checkKindName(check.kind)},
                            {"message", check.message}});
    }
    EXPECT_EQ(result["checks"], expected);
    ASSERT_FALSE(result["checks"].empty());
    for (const json& check : result["checks"]) {
        EXPECT_TRUE(check["line"].is_number());
        EXPECT_TRUE(check["point"].is_null() || check["point"].is_number());
        EXPECT_FALSE(check["message"].get<std::string>().empty());
        const std::string kind = check["kind"];
        EXPECT_TRUE(kind == "velocity" || kind == "residual" || kind == "pick" ||
                    kind == "undefined-depth" || kind == "few-kept" || kind == "clipped")
            << kind;
    }
}

} // namespace
} // namespace crackdepth
