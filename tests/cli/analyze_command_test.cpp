#include "../core/test_support.h"
#include "cli_test_support.h"
#include "core/common/byte_source.h"
#include "core/data/result_file.h"
#include "core/document/model/document.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/panel_refresh.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace crackdepth {
namespace {

using nlohmann::json;
const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

json analyze(const std::vector<std::string>& args, const std::filesystem::path& cwd) {
    std::vector<std::string> words{"analyze"};
    words.insert(words.end(), args.begin(), args.end());
    const auto run = testing::runCli(words, cwd);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0 ? json::parse(run.out) : json{};
}

TEST(AnalyzeCommand, RecoversTheTrueDepthsOfTheIndependentSet) {
    const json truth = json::parse(std::ifstream(kFixtures / "truth.json"));
    const json result = analyze({"SITE.DPA"}, kFixtures);
    EXPECT_EQ(result["method"], "regression");
    EXPECT_NEAR(result["B"].get<double>(), truth["v"].get<double>(),
                0.02 * truth["v"].get<double>());
    ASSERT_EQ(result["cracks"].size(), truth["cracks"].size());
    for (std::size_t k = 0; k < truth["cracks"].size(); ++k) {
        const double expected = truth["cracks"][k]["h"].get<double>();
        EXPECT_NEAR(result["cracks"][k]["crackDepth"].get<double>(), expected, 0.03 * expected)
            << "crack " << k + 1;
        EXPECT_EQ(result["cracks"][k]["line"], k + 1);
    }
    EXPECT_EQ(result["nonCrossing"]["name"], "SITE");
    EXPECT_EQ(result["cracks"][1]["name"], "SITE_C2");
}

// The stored method is two-point for any non-zero flag, in the command-line tool as in the
// desktop program's panel; each flag gives the same fit in both.
TEST(AnalyzeCommand, TheStoredMethodIsReadAsThePanelReadsIt) {
    testing::TempDir dir;
    for (const std::int32_t flag : {0, 1, 2, -1}) {
        SCOPED_TRACE(flag);
        FileSource source(kFixtures / "SITE.DPA");
        ResultFileContents contents;
        ASSERT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
        contents.lines[0].header.lineFlag = flag;
        std::vector<LineRef> lines;
        for (const LineData& line : contents.lines) {
            lines.push_back({&line.header, &line.points});
        }
        std::vector<std::uint8_t> bytes;
        WriteResultFile(bytes, lines, contents.projectBlock);
        const auto file = dir.path() / "FLAG.DPA";
        testing::writeBytes(file, bytes);

        ScriptedPrompts prompts;
        Document document(prompts, {});
        ASSERT_TRUE(document.OpenDocument(file.string()));
        const DocumentAnalysis analysis = AnalyseDocument(document.data());
        const PanelState panel = panelStateOf(document.data(), analysis);
        const json result = analyze({file.string()}, dir.path());
        EXPECT_EQ(result["method"], flag != 0 ? "two-point" : "regression");
        EXPECT_EQ(panel.methodIndex, flag != 0 ? 1 : 0);
        EXPECT_EQ(result["AText"], panel.interceptText);
        EXPECT_EQ(result["BText"], panel.velocityText);
        EXPECT_EQ(result["cracks"][0]["crackDepthText"], analysis.cracks[0].crackDepthText);
    }
}

TEST(AnalyzeCommand, RecoversTheDemoDepthsForSeveralSeeds) {
    testing::TempDir dir;
    for (const char* seed : {"1", "5", "123"}) {
        const auto run = testing::runCli({"demo", "-o", dir.path().string(), "--seed", seed});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const json demo = json::parse(run.out);
        const json result = analyze({"DEMO.DPA"}, dir.path());
        ASSERT_EQ(result["cracks"].size(), demo["cracks"].size());
        for (std::size_t k = 0; k < demo["cracks"].size(); ++k) {
            const double expected = demo["cracks"][k]["trueDepth"].get<double>();
            EXPECT_NEAR(result["cracks"][k]["crackDepth"].get<double>(), expected, 0.03 * expected)
                << "seed " << seed << ", crack " << k + 1;
        }
    }
}

TEST(AnalyzeCommand, RawFilesGiveTheResultFilesNumbers) {
    const json fromResult = analyze({"SITE.DPA"}, kFixtures);
    const json fromRaw = analyze({"SITE.DP0", "SITE_C2.DP1"}, kFixtures);
    EXPECT_EQ(fromRaw["A"], fromResult["A"]);
    EXPECT_EQ(fromRaw["B"], fromResult["B"]);
    ASSERT_EQ(fromRaw["cracks"].size(), 1u);
    EXPECT_EQ(fromRaw["cracks"][0]["line"], 1);
    EXPECT_EQ(fromRaw["cracks"][0]["crackDepth"], fromResult["cracks"][1]["crackDepth"]);

    const json nonCrossingOnly = analyze({"SITE.DP0"}, kFixtures);
    EXPECT_TRUE(nonCrossingOnly["cracks"].empty());
    EXPECT_EQ(nonCrossingOnly["BText"], fromResult["BText"]);
}

TEST(AnalyzeCommand, TwoPointMethodPairsPointZeroWithTheChosenPoint) {
    const json info = json::parse(
        testing::runCli({"analyze", "SITE.DPA", "--method", "two-point", "--second-point", "4"},
                        kFixtures)
            .out);
    const auto& points = info["nonCrossing"]["points"];
    const double b =
        (points[4]["distance"].get<double>() - points[0]["distance"].get<double>()) /
        (points[4]["transitTime"].get<double>() - points[0]["transitTime"].get<double>());
    EXPECT_EQ(info["method"], "two-point");
    EXPECT_NEAR(info["B"].get<double>(), b, 1e-4 * b);
}

TEST(AnalyzeCommand, RefusesWhatItCannotAnalyse) {
    testing::TempDir dir;
    testing::writeBytes(dir.path() / "NC.DP0", testing::readBytes(kFixtures / "SITE.DP0"));
    testing::writeBytes(dir.path() / "C.DP1", testing::readBytes(kFixtures / "SITE_C1.DP1"));
    auto other = testing::readBytes(kFixtures / "SITE_C1.DP1");
    const float otherSpacing = 0.15f; // metres in the file: 150 mm instead of 100
    std::memcpy(&other[0x110 + 4], &otherSpacing, sizeof otherSpacing);
    testing::writeBytes(dir.path() / "OTHER.DP1", other);

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"analyze", "C.DP1"}, 1, "请先打开不跨裂缝文件，才能执行此操作！"},
        {{"analyze", "NC.DP0", "OTHER.DP1"}, 1, "参数一致的跨裂缝文件!"},
        {{"analyze", "NC.DP0", "NC.DP0"}, 1, "无法识别的文件类型！"},
        {{"analyze"}, 2, "expects"},
        {{"analyze", "NC.DP0", "--method", "least-squares"}, 2, "regression or two-point"},
        {{"analyze", "NC.DP0", "--second-point", "0"}, 2, "--second-point"},
        {{"analyze", "NC.DP0", "--second-point", "5"}, 2, "does not exist"},
    };
    for (const Case& c : cases) {
        const auto run = testing::runCli(c.args, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.back() << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args.back() << ": " << run.err;
    }
}

TEST(MergeCommand, WritesAResultTheAnalysisReadsBack) {
    testing::TempDir dir;
    for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1"}) {
        testing::writeBytes(dir.path() / file, testing::readBytes(kFixtures / file));
    }
    const auto run = testing::runCli(
        {"merge", "SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "-o", "OUT.DPA"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(json::parse(run.out), (json{{"output", "OUT.DPA"}, {"lines", 3}}));
    EXPECT_EQ(analyze({"OUT.DPA"}, dir.path())["cracks"],
              analyze({"SITE.DPA"}, kFixtures)["cracks"]);

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"merge", "SITE.DP0", "SITE_C1.DP1", "SITE_C1.DP1", "-o", "X.DPA"},
         1,
         "跨裂缝文件列表中已包含同名文件，是否继续？"},
        {{"merge", "SITE_C1.DP1", "SITE_C2.DP1", "-o", "X.DPA"},
         1,
         "此文件的扩展名与其实际的文件类型不一致！"},
        {{"merge", "SITE.DP0", "-o", "X.DPA"}, 2, "at least one"},
        {{"merge", "SITE.DP0", "SITE_C1.DP1"}, 2, "-o OUT.DPA"},
        {{"merge", "SITE.DP0", "SITE_C1.DP1", "-o", "SITE_C1.DP1"}, 2, "overwrite the input"},
    };
    for (const Case& c : cases) {
        const auto refused = testing::runCli(c.args, dir.path());
        EXPECT_EQ(refused.exitCode, c.exitCode) << refused.err;
        EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "X.DPA"));
}

} // namespace
} // namespace crackdepth
