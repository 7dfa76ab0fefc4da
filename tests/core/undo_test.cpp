// Undo and redo of every edit the document knows, checked on the whole serialised document:
// an undone edit leaves no trace, a redone one is exactly what it was.
#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "core/document/commands/report_preparation.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/panel_refresh.h"
#include "core/document/panel_state/time_correction_state.h"
#include "document_support.h"
#include "test_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;
using Bytes = std::vector<std::uint8_t>;
constexpr testing::Selection kEditsOnly = testing::Selection::Left;

class Undo : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE.DPA"}) {
            testing::writeBytes(dir.path() / file, testing::readBytes(kFixtures / file));
        }
        ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    }
    std::string at(const std::string& name) const { return (dir.path() / name).string(); }
    Bytes bytes(testing::Selection selection = testing::Selection::Included) const {
        return testing::serialise(doc.data(), selection);
    }
    void select(std::int32_t tab, std::int32_t point) {
        doc.SelectTab(tab);
        doc.SelectPoint(*doc.data().shownId(), point);
    }

    testing::TempDir dir;
    ScriptedPrompts prompts;
    Document doc{prompts, {}};
};

struct EditCase {
    const char* name;   // the name undo and redo show
    std::int32_t tab;   // where the operator stands
    std::int32_t point; // the current point of the tab's line
    std::function<void(Document&)> edit;
};

TEST_F(Undo, EveryEditIsUndoneToTheByteAndRedoneExactly) {
    PointClipboard clipboard;
    const EditCase cases[] = {
        {"拾取初至", 1, 2, [](Document& d) { PickArrival(d, 60); }},
        {"采用建议初至", 2, 0, [](Document& d) { AdoptSuggestion(d); }},
        {"本测线全部采用建议初至", 2, 4, [](Document& d) { AdoptLineSuggestions(d); }},
        {"移动初至", 0, 3,
         [](Document& d) { ApplyArrowHotKey(d, ArrowHotKey::Left, true, ViewState{}); }},
        {"平移声时", 2, 1,
         [](Document& d) { ApplyArrowHotKey(d, ArrowHotKey::CtrlRight, true, ViewState{}); }},
        {"滤波", 1, 4, [](Document& d) { RefilterCurrentPoint(d, {.lowCut = 40, .lowOn = true}); }},
        {"波形反相", 2, 0, [](Document& d) { InvertCurrentPoint(d); }},
        {"手动剔除", 1, 3, [](Document& d) { MarkManualExclude(d); }},
        {"手动保留", 1, 0, [](Document& d) { MarkManualKeep(d); }},
        {"设置反相点", 2, 5, [](Document& d) { SetReversalPoint(d); }},
        {"粘贴测点", 2, 3,
         [&clipboard](Document& d) {
             const LineId line = *d.data().shownId();
             d.SelectPoint(line, 7);
             CopyPoint(d, clipboard);
             d.SelectPoint(line, 3);
             PastePoint(d, clipboard);
         }},
        {"删除测点", 0, 2, [](Document& d) { DeletePoint(d); }},
        {"删除测点", 2, 11, [](Document& d) { DeletePoint(d); }},
        {"分析方法", 0, 0, [](Document& d) { ChooseAnalysisMethod(d, 1, true); }},
        {"声时修正", 1, 0,
         [](Document& d) {
             TimeCorrectionState state = *TimeCorrectionState::start(d);
             state.onLineTextChanged("12.5");
             state.onAllTextChanged("-3");
             state.onOk();
         }},
        {"工程信息", 0, 0,
         [](Document& d) {
             ProjectInfo info = d.projectInfo();
             info.texts[kClient] = "市政设施管理处";
             info.locked = 1;
             EditProjectInfo(d, info, "工程信息", 1);
         }},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
        select(c.tab, c.point);
        const Bytes before = bytes();
        c.edit(doc);
        const Bytes after = bytes();
        ASSERT_NE(after, before) << "the edit changed nothing";
        ASSERT_NE(doc.undoable(), nullptr);
        EXPECT_EQ(doc.undoable()->name(), c.name);
        EXPECT_TRUE(doc.IsModified());

        doc.Undo();
        EXPECT_EQ(testing::firstDifference(bytes(), before), -1);
        EXPECT_FALSE(doc.IsModified()) << "back at the state of the open";
        ASSERT_NE(doc.redoable(), nullptr);
        EXPECT_EQ(doc.redoable()->name(), c.name);

        doc.Redo();
        EXPECT_EQ(testing::firstDifference(bytes(), after), -1);
        EXPECT_TRUE(doc.IsModified());
    }
}

TEST_F(Undo, DeletingTheLastPointOfACrackBringsTheLineBackWithItsTab) {
    // SITE.DPA has two cracks; a crack whose points are all deleted goes with its tab.
    select(1, 0);
    const Bytes before = bytes();
    const std::size_t points = doc.data().crossingLists[0]->size();
    for (std::size_t i = 0; i < points; ++i) {
        ASSERT_TRUE(DeletePoint(doc)) << i;
        if (doc.data().crossingLists.size() == 2) {
            doc.SelectTab(1);
        }
    }
    ASSERT_EQ(doc.data().crossingLists.size(), 1u);
    EXPECT_EQ(doc.data().currentTab, 0);
    for (std::size_t i = 0; i < points; ++i) {
        doc.Undo();
    }
    EXPECT_EQ(doc.data().crossingLists.size(), 2u);
    EXPECT_EQ(doc.data().currentTab, 1);
    EXPECT_EQ(testing::firstDifference(bytes(), before), -1);
}

// A thousand edits of every kind at random places, then a thousand undos: the original
// bytes; a thousand redos: the edited ones.
TEST_F(Undo, AThousandMixedEditsAreUndoneToTheOriginalBytes) {
    std::mt19937 random(20261210);
    const auto pick = [&random](std::int32_t below) {
        return std::uniform_int_distribution<std::int32_t>(0, below - 1)(random);
    };
    const Bytes original = bytes(kEditsOnly);
    PointClipboard clipboard;
    std::size_t edits = 0;
    while (edits < 1000) {
        const std::int32_t tab = pick(3);
        doc.SelectTab(tab);
        const PointList& line = *doc.data().shownList();
        doc.SelectPoint(*doc.data().shownId(), pick(static_cast<std::int32_t>(line.size())));
        const Edit* top = doc.undoable();
        const std::size_t depth = edits;
        switch (pick(10)) {
        case 0:
            PickArrival(doc, pick(200));
            break;
        case 1:
            ApplyArrowHotKey(doc, pick(2) == 0 ? ArrowHotKey::Left : ArrowHotKey::CtrlRight, true,
                             ViewState{});
            break;
        case 2:
            RefilterCurrentPoint(
                doc, {.highCut = static_cast<float>(1 + pick(19)), .highOn = pick(2) == 0});
            break;
        case 3:
            InvertCurrentPoint(doc);
            break;
        case 4:
            pick(2) == 0 ? MarkManualExclude(doc) : MarkManualKeep(doc);
            break;
        case 5:
            pick(2) == 0 ? SetReversalPoint(doc) : ClearReversalPoint(doc);
            break;
        case 6:
            CopyPoint(doc, clipboard);
            doc.SelectPoint(*doc.data().shownId(), pick(static_cast<std::int32_t>(line.size())));
            PastePoint(doc, clipboard);
            break;
        case 7:
            if (line.size() > 4) {
                DeletePoint(doc);
            }
            break;
        case 8:
            ChooseAnalysisMethod(doc, pick(2), pick(2) == 0);
            break;
        case 9: {
            Corrections corrections = correctionsOf(doc.data());
            corrections.all = static_cast<float>(pick(40)) * 0.5f - 10.0f;
            doc.perform(makeCorrectionsEdit("声时修正", corrections));
            break;
        }
        }
        // Successive arrow presses on one point are one edit; count what the history holds.
        if (doc.undoable() != top) {
            edits = depth + 1;
        }
    }
    const Bytes edited = bytes(kEditsOnly);
    ASSERT_NE(edited, original);
    std::size_t undone = 0;
    while (doc.undoable() != nullptr) {
        doc.Undo();
        ++undone;
    }
    EXPECT_GE(undone, 1000u);
    EXPECT_EQ(testing::firstDifference(bytes(kEditsOnly), original), -1);
    EXPECT_FALSE(doc.IsModified());
    while (doc.redoable() != nullptr) {
        doc.Redo();
    }
    EXPECT_EQ(testing::firstDifference(bytes(kEditsOnly), edited), -1);
}

// Every waveform of the points, working and backup, in the order of the lines.
std::vector<std::vector<Sample>> waveformsOf(const DocumentData& data) {
    std::vector<std::vector<Sample>> waveforms;
    const auto add = [&waveforms](const PointList* line) {
        for (std::size_t i = 0; line != nullptr && i < line->size(); ++i) {
            waveforms.push_back((*line)[i].samples);
            waveforms.push_back((*line)[i].originalSamples);
        }
    };
    add(data.nonCrossingList.get());
    for (const auto& line : data.crossingLists) {
        add(line.get());
    }
    return waveforms;
}

// The bytes of the waveforms that differ between two states of the same points.
std::size_t changedWaveformBytes(const std::vector<std::vector<Sample>>& before,
                                 const std::vector<std::vector<Sample>>& after) {
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < before.size() && k < after.size(); ++k) {
        if (before[k] != after[k]) {
            bytes += after[k].size() * sizeof(Sample);
        }
    }
    return bytes;
}

// Undo keeps what an edit changed and no more: the fields of a pick, the waveforms a fold or a
// re-filter changed, once each; a redo still brings back every byte.
TEST_F(Undo, TheHistoryGrowsWithTheChangeNotWithTheDocument) {
    const std::size_t waveform =
        static_cast<std::size_t>(doc.data().nonCrossingParameters.sampleCount) * sizeof(Sample);
    ASSERT_GT(waveform, 0u);

    select(1, 2);
    std::size_t held = doc.historyBytes();
    PickArrival(doc, 60);
    EXPECT_LT(doc.historyBytes() - held, waveform) << "a pick keeps no waveform";

    select(1, 4);
    for (int k = 0; k < 50; ++k) {
        held = doc.historyBytes();
        RefilterCurrentPoint(doc, {.lowCut = static_cast<float>(40 + k), .lowOn = true});
        EXPECT_LE(doc.historyBytes() - held, 2 * waveform) << "re-filter " << k;
    }

    Corrections corrections = correctionsOf(doc.data());
    corrections.all = -3;
    doc.perform(makeCorrectionsEdit("声时修正", corrections));
    const auto unfolded = waveformsOf(doc.data());
    held = doc.historyBytes();
    ASSERT_TRUE(PrepareReport(doc));
    ASSERT_EQ(doc.undoable()->name(), std::string(kPrepareReportName));
    const std::size_t changed = changedWaveformBytes(unfolded, waveformsOf(doc.data()));
    ASSERT_GT(changed, 0u);
    // Each changed waveform once, and a few hundred bytes a point for its other fields as
    // they were and as the fold left them.
    const std::size_t points = unfolded.size() / 2;
    EXPECT_LE(doc.historyBytes() - held, changed + 350 * points);

    const Bytes folded = bytes(kEditsOnly);
    doc.Undo();
    EXPECT_EQ(changedWaveformBytes(unfolded, waveformsOf(doc.data())), 0u);
    doc.Redo();
    EXPECT_EQ(testing::firstDifference(bytes(kEditsOnly), folded), -1);
}

// A redo that makes the waveforms again still leaves the fields as the edit first left them,
// even for a change that read the selection, which may have moved since.
TEST_F(Undo, ARedoOfWaveformsLeavesTheFieldsAsTheEditDid) {
    select(1, 3);
    const LineId line = *doc.data().shownId();
    doc.perform(std::make_unique<PointsEdit>(
        "波形反相", DocumentChange{}, std::vector<PointRef>{{line, 0}}, [line](DocumentData& held) {
            PointList& points = *held.line(line);
            for (Sample& s : points[0].samples) {
                s = static_cast<Sample>(4096 - s);
            }
            points[0].kept = points.currentIndex;
        }));
    const Bytes edited = bytes(kEditsOnly);
    ASSERT_EQ((*doc.data().line(line))[0].kept, 3);
    doc.Undo();
    doc.SelectPoint(line, 5);
    doc.Redo();
    EXPECT_EQ((*doc.data().line(line))[0].kept, 3);
    EXPECT_EQ(testing::firstDifference(bytes(kEditsOnly), edited), -1);
}

TEST_F(Undo, TheSavedStateIsNotModifiedAndOpenCloseAndMergeStartANewHistory) {
    select(1, 2);
    InvertCurrentPoint(doc);
    ASSERT_TRUE(doc.SaveDocument(at("SAVED.DPA")));
    EXPECT_FALSE(doc.IsModified());
    InvertCurrentPoint(doc);
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_FALSE(doc.IsModified()) << "undone back to what was saved";
    while (doc.undoable() != nullptr) {
        doc.Undo();
    }
    EXPECT_TRUE(doc.IsModified()) << "before the save is not what the file holds";
    while (doc.redoable() != nullptr) {
        doc.Redo();
    }
    EXPECT_TRUE(doc.IsModified()) << "one redo past the saved state";
    doc.Undo();
    EXPECT_FALSE(doc.IsModified());

    // A new edit after undoing past the save makes the saved state unreachable.
    while (doc.undoable() != nullptr) {
        doc.Undo();
    }
    InvertCurrentPoint(doc);
    doc.Undo();
    EXPECT_TRUE(doc.IsModified());

    InvertCurrentPoint(doc);
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    EXPECT_EQ(doc.undoable(), nullptr);
    EXPECT_EQ(doc.redoable(), nullptr);
    InvertCurrentPoint(doc);
    prompts.answers = {Answer::No};
    doc.CloseCommand();
    EXPECT_EQ(doc.undoable(), nullptr);
}

} // namespace
} // namespace crackdepth
