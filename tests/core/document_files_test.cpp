#include "core/analysis/transit_time.h"
#include "core/common/bytes.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/merge.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/panel_refresh.h"
#include "document_fixture.h"
#include "test_support.h"

#include <functional>
#include <gtest/gtest.h>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = testing::kIndependentFixtures;

class DocumentFiles : public testing::DocumentFixture {};

TEST_F(DocumentFiles, RawFilesOpenIntoTheNonCrossingAndTheCrossingLine) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    const DocumentData& data = doc.data();
    EXPECT_EQ(doc.title(), std::string(kTitlePrefix) + "SITE.DP0");
    EXPECT_EQ(data.paths.currentBaseName, "SITE");
    EXPECT_EQ(data.shownList(), data.nonCrossingList.get());
    EXPECT_EQ(data.projectInfo.texts[kProjectName], "滨江大桥 主梁");
    EXPECT_EQ(data.projectInfo.texts[kTester], "检测员甲");
    EXPECT_EQ(data.projectInfo.texts[kComponentName], "SITE");
    EXPECT_EQ(data.projectInfo.texts[kTestStandard], "CECS21-2000");

    auto c1 = testing::readBytes(kFixtures / "SITE_C1.DP1");
    storeLE(&c1[512 + PointRecord::kStoredKept], std::int32_t{0});
    testing::writeBytes(dir.path() / "SITE_C1.DP1", c1);
    ASSERT_TRUE(doc.OpenDocument(at("SITE_C1.DP1")));
    EXPECT_TRUE(doc.rawCrossingLoaded());
    ASSERT_NE(data.currentCrossingList(), nullptr);
    EXPECT_EQ((*data.currentCrossingList())[0].kept, 1) << "a crossing open keeps every point";
    EXPECT_EQ(data.shownList(), data.nonCrossingList.get()) << "the non-crossing line is shown";
    EXPECT_EQ(data.paths.nonCrossingName, "SITE.DP0");
    EXPECT_EQ(data.paths.crossingName, "SITE_C1.DP1");
    EXPECT_EQ(doc.title(), std::string(kTitlePrefix) + "SITE_C1.DP1");

    // Opening a non-crossing file again keeps the crossing line.
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    EXPECT_NE(data.currentCrossingList(), nullptr);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DocumentFiles, LockedProjectInformationIsNotOverwritten) {
    ProjectInfo info = doc.projectInfo();
    info.locked = 1;
    info.texts[kProjectName] = "my project";
    EditProjectInfo(doc, info, "检测信息", 0);
    prompts.answers = {Answer::No}; // the edit is not saved
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    EXPECT_EQ(doc.projectInfo().texts[kProjectName], "my project");
    EXPECT_EQ(doc.projectInfo().texts[kTestStandard], "CECS21-2000");
}

TEST_F(DocumentFiles, RefusedOpensShowTheirMessageAndKeepTheData) {
    auto other = testing::readBytes(kFixtures / "SITE_C1.DP1");
    storeLE(&other[0x110 + 8], 0.06f); // slot 2, the first part of the step
    testing::writeBytes(dir.path() / "STEP.DP1", other);
    auto interval = testing::readBytes(kFixtures / "SITE_C1.DP1");
    storeLE(&interval[512 + PointRecord::kSamplingInterval], 0.5f);
    testing::writeBytes(dir.path() / "DT.DP1", interval);
    testing::writeBytes(dir.path() / "lower.dp0", testing::readBytes(kFixtures / "SITE.DP0"));
    testing::writeBytes(dir.path() / "SWAP.DP0", testing::readBytes(kFixtures / "SITE_C1.DP1"));
    auto cut = testing::readBytes(kFixtures / "SITE.DPA");
    cut.resize(cut.size() - 10);
    testing::writeBytes(dir.path() / "CUT.DPA", cut);

    struct Case {
        const char* file;
        const char* message;
        MessageIcon icon;
    };
    const Case cases[] = {
        {"STEP.DP1", kParameterMismatchMessage, MessageIcon::Error},
        {"DT.DP1", kParameterMismatchMessage, MessageIcon::Error},
        {"lower.dp0", "不支持打开此文件！", MessageIcon::None},
        {"SWAP.DP0", "无法识别的文件类型！\n文件标志不是“Ulk_CrackZero”", MessageIcon::None},
        {"SITE_C2.DP1", nullptr, MessageIcon::None}, // accepted, for contrast
        {"CUT.DPA",
         "无法识别的文件类型！\n文件长度与文件头不符：文件长 59270 字节，文件头要求至少 59280 字节",
         MessageIcon::None},
    };
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    for (const Case& c : cases) {
        prompts.shown.clear();
        const PointList* nonCrossing = doc.data().nonCrossingList.get();
        const bool opened = doc.OpenDocument(at(c.file));
        EXPECT_EQ(opened, c.message == nullptr) << c.file;
        if (c.message != nullptr) {
            ASSERT_EQ(prompts.shown.size(), 1u) << c.file;
            EXPECT_EQ(prompts.shown[0].text, c.message) << c.file;
            EXPECT_EQ(prompts.shown[0].icon, c.icon) << c.file;
            EXPECT_EQ(doc.data().nonCrossingList.get(), nonCrossing) << c.file;
        }
    }
    EXPECT_EQ(doc.data().paths.crossingName, "SITE_C2.DP1");

    Document empty{prompts, {}};
    prompts.shown.clear();
    EXPECT_FALSE(empty.OpenDocument(at("SITE_C1.DP1")));
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{kNeedNonCrossingMessage});
}

TEST_F(DocumentFiles, SavingAResultKeepsTheOperatorsPlaceAndReopensWithTheSameNumbers) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    const DocumentData& data = doc.data();
    ASSERT_EQ(data.crossingLists.size(), 2u);
    doc.SelectTab(1);
    doc.SelectPoint(*data.shownId(), 2);
    Corrections corrections = correctionsOf(data);
    corrections.crossing[1] = 1.6f; // two samples at 0.8 us
    doc.perform(makeCorrectionsEdit("声时修正", corrections));
    const auto expected = [&] {
        std::vector<float> times;
        for (std::size_t i = 0; i < data.crossingLists[1]->size(); ++i) {
            times.push_back(transitTime((*data.crossingLists[1])[i], 1.6f, 0).time);
        }
        return times;
    }();
    ASSERT_TRUE(doc.IsModified());
    prompts.files.push_back(at("SAVED.DPA"));
    doc.SaveAsCommand();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "声波结果文件 (*.DPA)|*.DPA||");
    EXPECT_EQ(prompts.shown[0].caption, at("SITE")) << "the path without its extension";
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(data.currentTab, 1) << "a save is no selection";
    EXPECT_EQ(data.shownList(), data.crossingLists[0].get());
    EXPECT_EQ(data.shownList()->currentIndex, 2);
    EXPECT_EQ(doc.title(), std::string(kTitlePrefix) + "SAVED.DPA");
    EXPECT_EQ(data.paths.crossingPath, at("SAVED.DPA"));

    Document reopened{prompts, {}};
    ASSERT_TRUE(reopened.OpenDocument(at("SAVED.DPA")));
    const PointList& line = *reopened.data().crossingLists[1];
    for (std::size_t i = 0; i < line.size(); ++i) {
        EXPECT_FLOAT_EQ(transitTime(line[i], reopened.data().crossingCorrections[1], 0).time,
                        expected[i]);
    }
}

TEST_F(DocumentFiles, QuickSaveOfARawCrossingLineWritesTheSameFile) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    ASSERT_TRUE(doc.OpenDocument(at("SITE_C2.DP1")));
    const DocumentData& data = doc.data();
    doc.SelectTab(1);
    doc.SelectPoint(*data.shownId(), 3);
    const std::int32_t picked = (*data.shownList())[3].arrivalIndex + 5;
    PickArrival(doc, picked);
    doc.QuickSaveCommand();
    EXPECT_TRUE(prompts.shown.empty());

    Document reopened{prompts, {}};
    ASSERT_TRUE(reopened.OpenDocument(at("SITE.DP0")));
    ASSERT_TRUE(reopened.OpenDocument(at("SITE_C2.DP1")));
    EXPECT_EQ((*reopened.data().currentCrossingList())[3].arrivalIndex, picked);
    EXPECT_EQ(reopened.data().currentCrossingParameters().signature, kCrossingSignature);
}

TEST_F(DocumentFiles, SaveTargetsAndCommandsWithNothingOpen) {
    doc.QuickSaveCommand();
    doc.SaveAsCommand();
    EXPECT_EQ(prompts.messages(), (std::vector<std::string>{kOpenFirstMessage, kOpenFirstMessage}));
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    prompts.shown.clear();
    EXPECT_FALSE(doc.SaveDocument(at("NOTES.txt")));
    EXPECT_FALSE(doc.SaveDocument(""));
    EXPECT_EQ(prompts.messages(),
              (std::vector<std::string>{"无法识别的文件类型！", "无法识别的文件类型！"}));
}

// Closing an unmodified document asks nothing. After closing everything the title is the
// program's name alone, as at the start; before, it was the prefix ending in " - ".
TEST_F(DocumentFiles, CloseStepsBackFromTheRawCrossingLineThenEmpties) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    ASSERT_TRUE(doc.OpenDocument(at("SITE_C1.DP1")));
    doc.CloseCommand();
    EXPECT_FALSE(doc.hasCrossingLine());
    EXPECT_TRUE(doc.hasNonCrossingLine());
    EXPECT_EQ(doc.title(), std::string(kTitlePrefix) + "SITE.DP0");
    doc.CloseCommand();
    EXPECT_FALSE(doc.hasNonCrossingLine());
    EXPECT_EQ(doc.title(), kProgramTitle);
    EXPECT_TRUE(prompts.shown.empty());
}

// "打开结果文件": the file is chosen first, then the save rule, then the open.
TEST_F(DocumentFiles, OpenResultCommandOffersToSaveModifiedData) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    modify();
    const std::vector<std::uint8_t> before = testing::readBytes(dir.path() / "SITE.DPA");
    prompts.answers = {Answer::Yes};
    prompts.files = {at("SITE.DPA")};
    doc.OpenResultCommand();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].kind, "open");
    EXPECT_EQ(prompts.shown[0].text, "声波结果文件 (*.DPA)|*.DPA||");
    EXPECT_EQ(prompts.shown[1].kind, "yesNoCancel");
    EXPECT_NE(testing::readBytes(dir.path() / "SITE.DPA"), before) << "saved, then reopened";
    EXPECT_EQ(doc.data().crossingLists.size(), 2u);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.title(), std::string(kTitlePrefix) + "SITE.DPA");
}

// Every dialog that offers a kind of file names it alike: the .DP0 file is the non-crossing
// raw file, the .DP1 file the crossing raw file and the .DPA file the result file. The open
// dialogs of the file commands used to call both the .DP0 and the .DPA file "跨裂缝原始文件",
// and the merge called the result file "侧裂缝结果文件" (its dialogs: merge_test, dialogs_test).
TEST_F(DocumentFiles, EveryFileDialogNamesItsKindAlike) {
    const struct {
        const char* name;
        std::function<void()> command;
        const char* kind;
        const char* filter;
    } cases[] = {
        {"打开不跨裂缝文件", [&] { doc.OpenNonCrossingCommand(); }, "open",
         "不跨裂缝原始文件 (*.DP0)|*.DP0||"},
        {"打开结果文件", [&] { doc.OpenResultCommand(); }, "open", "声波结果文件 (*.DPA)|*.DPA||"},
        {"结果文件另存为", [&] { doc.SaveAsCommand(); }, "save", "声波结果文件 (*.DPA)|*.DPA||"},
    };
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.shown.clear();
        c.command(); // every dialog is cancelled
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown.back().kind, c.kind);
        EXPECT_EQ(prompts.shown.back().text, c.filter);
    }
}

TEST_F(DocumentFiles, FileListShowsTheFolderFilesOfTheSameKind) {
    testing::writeBytes(dir.path() / "A.DP1", {});
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    ASSERT_TRUE(doc.OpenDocument(at("SITE_C2.DP1")));
    const FileList list = doc.fileList();
    EXPECT_EQ(list.names, (std::vector<std::string>{"A.DP1", "SITE_C1.DP1", "SITE_C2.DP1"}));
    EXPECT_EQ(list.selected, 2);
}

TEST(DocumentSettings, FirstRunDefaultsAndTheSettingsFileAtTheEnd) {
    testing::TempDir dir;
    const auto path = dir.path() / "config" / "tessvel.ini";
    ScriptedPrompts prompts;
    {
        Document doc{prompts, path};
        EXPECT_EQ(doc.projectInfo().texts[kTestDate], "2012-10-20");
        EXPECT_EQ(doc.projectInfo().texts[kCastingDate], "2012-10-20");
        ProjectInfo info = doc.projectInfo();
        info.texts[kClient] = "市政设施管理处";
        EditProjectInfo(doc, info, "工程信息", 1);
        doc.setPanelWidths({300, 220, 220});
    }
    ASSERT_TRUE(std::filesystem::exists(path));
    Document again{prompts, path};
    EXPECT_EQ(again.projectInfo().texts[kClient], "市政设施管理处");
    EXPECT_EQ(again.settings().panelWidths[0], 300);
}

} // namespace
} // namespace crackdepth
