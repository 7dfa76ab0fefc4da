// What the report commands settle before drawing: pending corrections folded into the
// waveforms without changing a number the screen shows, as one undoable step that is no step
// at all when nothing is pending; the longer line shown; the last crossing line selected
// after the bitmap report.
#include "core/document/commands/report_preparation.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/scripted_prompts.h"
#include "document_fixture.h"
#include "document_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

class ReportPreparation : public testing::DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    }
    // Every number of every tab's table, the crack depths and the fit, as the screen shows them.
    std::vector<std::string> screenNumbers() {
        std::vector<std::string> numbers;
        const std::int32_t tab = doc.data().currentTab;
        for (std::int32_t t = 0; t <= static_cast<std::int32_t>(doc.data().crossingLists.size());
             ++t) {
            doc.SelectTab(t);
            const DocumentAnalysis analysis = AnalyseDocument(doc.data());
            for (const auto& row : analysis.screenTable.rows) {
                for (const TableCell& cell : row) {
                    numbers.push_back(cell.text);
                }
            }
            numbers.push_back(analysis.crackDepthText());
            numbers.push_back(analysis.interceptText + analysis.velocityText);
        }
        doc.SelectTab(tab);
        return numbers;
    }
};

TEST_F(ReportPreparation, FoldsPendingCorrectionsWithoutChangingWhatTheScreenShows) {
    Corrections pending = correctionsOf(doc.data());
    pending.all = 1.5f;
    pending.nonCrossing = -2.0f;
    pending.crossing[1] = 3.0f;
    doc.perform(makeCorrectionsEdit("声时修正", pending));
    const auto shown = screenNumbers();
    const auto before = testing::serialise(doc.data(), testing::Selection::Left);

    ASSERT_TRUE(PrepareReport(doc));
    EXPECT_EQ(correctionsOf(doc.data()), (Corrections{0, 0, {0, 0}}));
    {
        const auto after = screenNumbers();
        ASSERT_EQ(after.size(), shown.size());
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i], shown[i]) << "number " << i;
        }
    }
    ASSERT_NE(doc.undoable(), nullptr);
    EXPECT_EQ(doc.undoable()->name(), kPrepareReportName);

    doc.Undo();
    EXPECT_EQ(testing::serialise(doc.data(), testing::Selection::Left), before);
}

TEST_F(ReportPreparation, NothingPendingIsNoStepAndKeepsTheSavedState) {
    // The file as opened, on every tab: its points' delays differ, but with no correction
    // pending the report neither adds a step nor marks the document modified.
    for (std::int32_t tab = 0; tab <= static_cast<std::int32_t>(doc.data().crossingLists.size());
         ++tab) {
        doc.SelectTab(tab);
        ASSERT_TRUE(PrepareReport(doc));
        EXPECT_EQ(doc.undoable(), nullptr) << "tab " << tab;
        EXPECT_FALSE(doc.IsModified()) << "tab " << tab;
    }

    // Undone past the save, a preparation that changes nothing keeps the way back to it.
    doc.SelectPoint(*doc.data().shownId(), 1);
    InvertCurrentPoint(doc);
    ASSERT_TRUE(doc.SaveDocument(at("SAVED.DPA")));
    doc.Undo();
    ASSERT_TRUE(doc.IsModified());
    const Edit* redo = doc.redoable();
    ASSERT_NE(redo, nullptr);
    ASSERT_TRUE(PrepareReport(doc));
    EXPECT_EQ(doc.redoable(), redo);
    doc.Redo();
    EXPECT_FALSE(doc.IsModified()) << "redone back to what was saved";
}

TEST_F(ReportPreparation, ShowsTheLongerLineAndTheBitmapReportSelectsTheLastCrack) {
    const DocumentData& data = doc.data();
    for (std::int32_t tab = 1; tab <= static_cast<std::int32_t>(data.crossingLists.size()); ++tab) {
        doc.SelectTab(tab);
        ASSERT_TRUE(PrepareReport(doc));
        const bool nonCrossingLonger =
            data.currentCrossingList()->size() < data.nonCrossingList->size();
        EXPECT_EQ(data.shown, nonCrossingLonger ? ShownLine::NonCrossing : ShownLine::Crossing);
        // The line shown is the selected tab's: the crossing line on its own tab.
        EXPECT_EQ(data.currentTab, nonCrossingLonger ? 0 : tab);
    }
    // From the non-crossing tab, the report of a longer crossing line selects that line's tab.
    doc.SelectTab(2);
    doc.SelectTab(0);
    ASSERT_TRUE(PrepareReport(doc));
    ASSERT_GE(data.currentCrossingList()->size(), data.nonCrossingList->size());
    EXPECT_EQ(data.currentTab, 2);
    EXPECT_EQ(data.shown, ShownLine::Crossing);
    doc.SelectTab(1);
    SelectLastCrossingLine(doc);
    EXPECT_EQ(data.currentTab, static_cast<std::int32_t>(data.crossingLists.size()));

    ScriptedPrompts quiet;
    Document empty{quiet, {}};
    EXPECT_FALSE(PrepareReport(empty));
    EXPECT_EQ(empty.undoable(), nullptr);
}

} // namespace
} // namespace crackdepth
