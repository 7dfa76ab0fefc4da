// Under the two-point method point 0 of the non-crossing line is a point like any other for
// the operator (viewed, stepped to, re-picked); only the pairing keeps it out: while point 0
// is current the fit keeps the point it paired with last. Before, every selection moved the
// current point off point 0, so "前一测点", Up and a click on row 1 bounced back to point 1
// and "前一测点" stayed enabled there without doing anything.
#include "core/document/commands/command_availability.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/model/view_state.h"
#include "core/document/panel_state/panel_refresh.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

class TwoPointSelection : public ::testing::Test {
protected:
    void SetUp() override {
        DocumentData loaded;
        loaded.nonCrossingList = std::make_unique<PointList>(testing::makePoints(5));
        // Off the straight line, so that each partner of point 0 gives its own fit.
        (*loaded.nonCrossingList)[3].arrivalIndex += 4;
        loaded.nonCrossingParameters.lineFlag = 1; // "两点法"
        loaded.shown = ShownLine::NonCrossing;
        doc.Load(std::move(loaded));
    }
    const PointList& line() const { return *doc.data().nonCrossingList; }
    std::int32_t current() const { return line().currentIndex; }
    bool previousEnabled() const { return isAvailable(Command::PreviousPoint, doc, ViewState{}); }
    DocumentAnalysis analysis() const { return AnalyseDocument(doc.data()); }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
};

TEST_F(TwoPointSelection, EveryWayOfSelectingReachesPointZeroAndTheFitKeepsItsLastPartner) {
    EXPECT_EQ(current(), 0) << "opened on point 0, the line stays there";
    EXPECT_EQ(analysis().secondPoint, 1) << "pairing with point 1 until another is chosen";

    // Each way from the point it starts on; the fit keeps that point as point 0's partner.
    struct Way {
        const char* name;
        std::int32_t from;
        std::function<void(Document&)> select;
    };
    const Way ways[] = {
        {"row 1", 3, [](Document& d) { ClickTableRow(d, 1); }},
        {"wave-train click", 4, [](Document& d) { d.SelectPoint(kNonCrossingLine, 0); }},
        {"前一测点", 1, [](Document& d) { PreviousPoint(d); }},
        {"Up", 1, [](Document& d) { ApplyArrowHotKey(d, ArrowHotKey::Up, true, ViewState{}); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        doc.SelectPoint(kNonCrossingLine, way.from);
        const DocumentAnalysis before = analysis();
        ASSERT_EQ(before.secondPoint, way.from);
        EXPECT_TRUE(previousEnabled());
        way.select(doc);
        EXPECT_EQ(current(), 0);
        EXPECT_FALSE(previousEnabled()) << "on point 0 it would do nothing";
        EXPECT_EQ(analysis().secondPoint, way.from) << "the fit keeps its last partner";
        ASSERT_TRUE(analysis().fit && before.fit);
        EXPECT_EQ(analysis().fit->B, before.fit->B);
        EXPECT_EQ(analysis().fit->A, before.fit->A);
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(TwoPointSelection, PointZeroIsRePickedInPlaceAndTheMethodChoiceLeavesTheSelection) {
    doc.SelectPoint(kNonCrossingLine, 2);
    doc.SelectPoint(kNonCrossingLine, 0);
    const float velocity = analysis().fit->B;
    const std::int32_t arrival = line()[0].arrivalIndex;
    PickArrival(doc, arrival + 3);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(line()[0].arrivalIndex, arrival + 3) << "point 0 itself is re-picked";
    EXPECT_NE(analysis().fit->B, velocity) << "the fit follows the re-picked point 0";
    EXPECT_EQ(analysis().secondPoint, 2);

    ChooseAnalysisMethod(doc, 0, false);
    ChooseAnalysisMethod(doc, 1, false);
    EXPECT_EQ(current(), 0) << "choosing the method is no selection";
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(current(), 0);
}

} // namespace
} // namespace crackdepth
