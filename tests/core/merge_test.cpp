#include "core/common/byte_source.h"
#include "core/data/result_file.h"
#include "core/document/model/merge.h"
#include "core/document/model/scripted_prompts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

using testing::makeHeader;
using testing::makePoints;

class MergeTest : public ::testing::Test {
protected:
    // Writes a raw file of `count` points into the test folder and returns its path.
    std::string raw(const std::string& name, const char* signature, std::int32_t count,
                    float firstSpacing = 100, float dt = 0.5f) {
        TestParameters header = makeHeader(signature);
        header.pointCount = count;
        header.firstSpacing = firstSpacing;
        PointList points = makePoints(count, 16, dt);
        if (count > 1) {
            points[1].kept = 0; // a stored keep flag the merge must carry over
        }
        std::vector<std::uint8_t> bytes;
        WriteLineBlock(bytes, header, points);
        const auto path = dir.path() / name;
        testing::writeBytes(path, bytes);
        return path.string();
    }

    // A raw file cut off inside its last point record: its header promises more than the
    // file holds.
    // A raw file of 3 points of 16 samples, cut 10 bytes short, and what its refusal says.
    static constexpr const char* kCutShortMessage =
        "无法识别的文件类型！\n文件长度与文件头不符：文件长 1078 字节，文件头要求至少 1088 字节";
    std::string damaged(const std::string& name, const char* signature) {
        const std::string path = raw(name, signature, 3);
        std::filesystem::resize_file(path, std::filesystem::file_size(path) - 10);
        return path;
    }

    ResultFileContents readResult(const std::string& path) {
        FileSource source(path);
        ResultFileContents contents;
        EXPECT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
        return contents;
    }

    testing::TempDir dir;
    ScriptedPrompts prompts;
    MergeSession session{prompts};
};

TEST_F(MergeTest, MergesOneNonCrossingAndTwoCrossingFiles) {
    session.addNonCrossingFiles({raw("NC.DP0", kNonCrossingSignature, 10)});
    session.addCrossingFiles(
        {raw("C1.DP1", kCrossingSignature, 8), raw("C2.DP1", kCrossingSignature, 9)});
    ASSERT_TRUE(prompts.shown.empty());
    ProjectInfo info;
    info.texts[kClient] = "市政设施管理处";
    info.texts[kProjectName] = "replaced by the raw file's";
    const std::string target = (dir.path() / "OUT.DPA").string();
    ASSERT_TRUE(session.mergeTo(target, info));

    const ResultFileContents result = readResult(target);
    ASSERT_EQ(result.lines.size(), 3u);
    EXPECT_EQ(result.lines[0].header.lineCount, 3);
    const char* notes[] = {"NC.DP0", "C1.DP1", "C2.DP1"};
    const std::size_t counts[] = {10, 8, 9};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(result.lines[k].header.note, notes[k]);
        EXPECT_EQ(result.lines[k].points.size(), counts[k]);
        EXPECT_EQ(result.lines[k].points[1].kept, 0) << "stored keep flags pass unchanged";
    }
    ProjectInfo merged;
    result.projectBlock.copyInto(merged);
    EXPECT_EQ(merged.texts[kClient], "市政设施管理处");
    EXPECT_EQ(merged.texts[kProjectName], "Bridge 3 deck");
    EXPECT_EQ(merged.texts[kTester], "Li");
    EXPECT_EQ(merged.texts[kTestDate], "2024-5-6");
    EXPECT_EQ(result.projectBlock.texts[16], "");
    EXPECT_EQ(session.rows().size(), 2u) << "the dialog keeps its choices after a merge";
}

TEST_F(MergeTest, RefusalsShowTheirMessages) {
    const std::string nc = raw("NC.DP0", kNonCrossingSignature, 3);
    struct Case {
        const char* what;
        std::vector<std::string> crossing;
        std::vector<std::string> messages;
        std::size_t rows;
    };
    const Case cases[] = {
        {"the same file twice in one selection",
         {raw("A.DP1", kCrossingSignature, 2), raw("A.DP1", kCrossingSignature, 2)},
         {kDuplicateCrossingMessage},
         1},
        {"a crossing file of other test parameters",
         {raw("B.DP1", kCrossingSignature, 2, 150)},
         {kParameterMismatchMessage},
         0},
        {"another sampling interval",
         {raw("D.DP1", kCrossingSignature, 2, 100, 0.4f)},
         {kParameterMismatchMessage},
         0},
        {"a crossing extension holding a non-crossing line",
         {raw("E.DP1", kNonCrossingSignature, 2)},
         {kExtensionMismatchMessage, kParameterMismatchMessage},
         0},
        {"a damaged crossing file",
         {damaged("K.DP1", kCrossingSignature)},
         {kCutShortMessage, kParameterMismatchMessage},
         0},
        {"a crossing file holding no line block",
         {[&] {
             const auto path = dir.path() / "L.DP1";
             testing::writeBytes(path, std::vector<std::uint8_t>(600, 'x'));
             return path.string();
         }()},
         {"无法识别的文件类型！\n文件标识不是“UlkWinID”", kParameterMismatchMessage},
         0},
        {"a refusal stops the rest of the selection",
         {raw("F.DP1", kCrossingSignature, 2, 150), raw("G.DP1", kCrossingSignature, 2)},
         {kParameterMismatchMessage},
         0},
    };
    for (const Case& c : cases) {
        ScriptedPrompts shown;
        MergeSession fresh{shown};
        fresh.addNonCrossingFiles({nc});
        fresh.addCrossingFiles(c.crossing);
        EXPECT_EQ(shown.messages(), c.messages) << c.what;
        EXPECT_EQ(fresh.rows().size(), c.rows) << c.what;
    }
    const auto parameterIcon = [&] {
        ScriptedPrompts shown;
        MergeSession fresh{shown};
        fresh.addNonCrossingFiles({nc});
        fresh.addCrossingFiles({raw("H.DP1", kCrossingSignature, 2, 150)});
        return shown.shown.at(0).icon;
    }();
    EXPECT_EQ(parameterIcon, MessageIcon::Error);

    session.addNonCrossingFiles({raw("X.DP0", kCrossingSignature, 2)});
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{kExtensionMismatchMessage});
    EXPECT_EQ(session.nonCrossingPath(), "");
    prompts.shown.clear();
    session.addNonCrossingFiles({damaged("Y.DP0", kNonCrossingSignature)});
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{kCutShortMessage});
    EXPECT_EQ(session.nonCrossingPath(), "");
    prompts.shown.clear();
    EXPECT_FALSE(session.CheckMergeFile((dir.path() / "notes.txt").string()));
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"无法识别的文件类型！"});
}

TEST_F(MergeTest, ControlsFollowTheChoices) {
    using Controls = MergeSession::Controls;
    const auto state = [&] {
        const Controls c = session.controls();
        return std::vector<bool>{c.merge, c.addCrossing, c.clear, c.addNonCrossing};
    };
    EXPECT_EQ(state(), (std::vector<bool>{false, false, false, true}));
    session.addNonCrossingFiles({raw("NC.DP0", kNonCrossingSignature, 3)});
    EXPECT_EQ(state(), (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(session.controls().nonCrossingPath, (dir.path() / "NC.DP0").string());
    session.addCrossingFiles({raw("C1.DP1", kCrossingSignature, 2)});
    EXPECT_EQ(state(), (std::vector<bool>{true, true, true, false}));
    session.setChecked(0, false);
    EXPECT_EQ(state(), (std::vector<bool>{false, true, false, true}))
        << "unchecking every row re-enables the non-crossing choice";
    session.clear();
    EXPECT_EQ(state(), (std::vector<bool>{false, false, false, true}));
}

TEST_F(MergeTest, MergeAsksForTheTargetAndNeedsBothKinds) {
    session.addNonCrossingFiles({raw("NC.DP0", kNonCrossingSignature, 3)});
    session.addCrossingFiles({raw("C1.DP1", kCrossingSignature, 2)});
    session.setChecked(0, false);
    EXPECT_FALSE(session.merge({}));
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{kNothingToMergeMessage});
    EXPECT_TRUE(session.rows().empty()) << "unchecked rows are dropped";

    session.addCrossingFiles({raw("C2.DP1", kCrossingSignature, 2)});
    prompts.shown.clear();
    EXPECT_FALSE(session.merge({})) << "the save dialog was cancelled";
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, "save");
    EXPECT_EQ(prompts.shown[0].text, "声波结果文件 (*.DPA)|*.DPA||");

    prompts.files.push_back((dir.path() / "RESULT").string());
    EXPECT_TRUE(session.merge({}));
    EXPECT_EQ(readResult((dir.path() / "RESULT.DPA").string()).lines.size(), 2u);
}

TEST_F(MergeTest, ASourceChangedOnDiskIsCheckedAgainAndNothingIsWritten) {
    session.addNonCrossingFiles({raw("NC.DP0", kNonCrossingSignature, 3)});
    session.addCrossingFiles({raw("C1.DP1", kCrossingSignature, 2)});
    raw("C1.DP1", kCrossingSignature, 2, 250); // re-measured with another spacing
    const std::string target = (dir.path() / "OUT.DPA").string();
    EXPECT_FALSE(session.mergeTo(target, {}));
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{kParameterMismatchMessage});
    EXPECT_FALSE(std::filesystem::exists(target));
}

} // namespace
} // namespace crackdepth
