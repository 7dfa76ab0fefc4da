#include "core/document/model/document_analysis.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/model/view_state.h"
#include "document_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

using testing::EventLog;
using testing::makeHeader;
using testing::makePoints;

// A result file's lines: a non-crossing line of 5 points and crossing lines of 3, 4, … points
// with the given notes, corrections 0.5, 1.0, … us and the tab 0 selected.
void fillResult(DocumentData& data, const std::vector<std::string>& crossingNotes) {
    data.nonCrossingList = std::make_unique<PointList>(makePoints(5));
    data.nonCrossingParameters = makeHeader(kNonCrossingSignature);
    data.nonCrossingParameters.note = "SITE.DP0";
    for (std::size_t k = 0; k < crossingNotes.size(); ++k) {
        data.crossingLists.push_back(
            std::make_unique<PointList>(makePoints(3 + static_cast<std::int32_t>(k))));
        TestParameters header = makeHeader(kCrossingSignature);
        header.note = crossingNotes[k];
        data.crossingParameters.push_back(header);
        data.crossingCorrections.push_back(0.5f * static_cast<float>(k + 1));
    }
    data.shown = ShownLine::NonCrossing;
    data.currentTab = 0;
}

DocumentData resultData(const std::vector<std::string>& crossingNotes) {
    DocumentData data;
    fillResult(data, crossingNotes);
    return data;
}

DocumentData rawCrossingData() {
    DocumentData data = resultData({});
    data.rawCrossingList = std::make_unique<PointList>(makePoints(4));
    data.rawCrossingParameters = makeHeader(kCrossingSignature);
    data.rawCrossingParameters.note = "RAW.DP1";
    return data;
}

TEST(LineTabs, LabelsAreTheNotesWithoutTheirLastFourCharacters) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    EXPECT_TRUE(tabLabels(doc.data()).empty()) << "no lines, no tabs";

    doc.Load(resultData({"跨缝1.DP1", "C2.DPA", "AB", "ABCD", "Deck 7.DP1"}));
    EXPECT_EQ(tabLabels(doc.data()),
              (std::vector<std::string>{"SITE", "跨缝1", "C2", "", "", "Deck 7"}));

    ScriptedPrompts rawPrompts;
    Document raw(rawPrompts, {});
    raw.Load(rawCrossingData());
    EXPECT_EQ(tabLabels(raw.data()), (std::vector<std::string>{"SITE", "RAW"}));
    EXPECT_EQ(crossingTabCount(raw.data()), 1);
}

TEST(SelectTab, MakesTheTabsLineHeaderCorrectionAndReversalCurrent) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    DocumentData loaded = resultData({"C1.DP1", "C2.DP1"});
    loaded.correctionNonCrossing = 0.25f;
    loaded.crossingParameters[1].lineFlag = 1; // line 2 has its reversal point at index 2
    loaded.crossingParameters[1].reversalIndex = 2;
    doc.Load(std::move(loaded));
    const DocumentData& data = doc.data();

    struct Step {
        std::int32_t requested;
        std::int32_t tab;
        float correction;
        bool reversal;
    };
    // In sequence: each selection starts from the previous one.
    const Step steps[] = {
        {2, 2, 1.0f, true},   {1, 1, 0.5f, false},   {7, 2, 1.0f, true},
        {0, 0, 0.25f, false}, {-3, 0, 0.25f, false}, {1, 1, 0.5f, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.requested);
        doc.SelectTab(step.requested);
        EXPECT_EQ(data.currentTab, step.tab);
        EXPECT_EQ(data.lineCorrection(), step.correction);
        EXPECT_EQ(currentReversal(data).set, step.reversal);
        if (step.tab == 0) {
            EXPECT_EQ(data.shownList(), data.nonCrossingList.get());
            EXPECT_TRUE(data.showingNonCrossing());
            EXPECT_EQ(selectedLine(data), data.nonCrossingList.get());
        } else {
            const auto entry = static_cast<std::size_t>(step.tab - 1);
            EXPECT_EQ(data.currentCrossingList(), data.crossingLists[entry].get());
            EXPECT_EQ(data.shownList(), data.currentCrossingList());
            EXPECT_FALSE(data.showingNonCrossing());
            EXPECT_EQ(&data.currentCrossingParameters(), &data.crossingParameters[entry])
                << "one header per line";
            EXPECT_EQ(&data.shownParameters(), &data.crossingParameters[entry]);
        }
    }
}

TEST(SelectTab, AnnouncesASelectionThatIsNoEdit) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    doc.Load(resultData({"C1.DP1"}));
    EventLog log;
    doc.addListener(&log);
    doc.SelectTab(1);
    ASSERT_EQ(log.changes.size(), 1u);
    EXPECT_EQ(log.changes[0].flags, std::uint32_t{DocumentChange::Selection});
    EXPECT_EQ(log.changes[0].line, (LineId{LineKind::Crossing, 0}));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.undoable(), nullptr) << "a selection is not undone";
    doc.removeListener(&log);
}

TEST(SelectTab, AWaveTrainLayoutFollowsTheTab) {
    struct Case {
        std::int32_t mode;
        std::int32_t tab;
        std::int32_t expected;
    };
    const Case cases[] = {
        {2, 1, 1}, {1, 0, 2}, {2, 0, 2}, {1, 2, 1}, {0, 1, 0}, {0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " tab " << c.tab);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        doc.Load(resultData({"C1.DP1", "C2.DP1"}));
        ViewState view;
        view.waveTrainMode = c.mode;
        doc.SelectTab(c.tab);
        FollowTab(view, doc.data());
        EXPECT_EQ(view.waveTrainMode, c.expected);
        EXPECT_EQ(doc.data().shownList(), selectedLine(doc.data()))
            << "every layout shows the selected line after a tab change";
    }
}

TEST(SelectTab, ACrossingRawFileIsTheOneCrossingTab) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    DocumentData loaded = rawCrossingData();
    loaded.correctionNonCrossing = 3.0f;
    loaded.rawCrossingParameters.lineFlag = 1;
    loaded.rawCrossingParameters.reversalIndex = 1;
    doc.Load(std::move(loaded));
    const DocumentData& data = doc.data();

    doc.SelectTab(5);
    EXPECT_EQ(data.currentTab, 1);
    EXPECT_EQ(data.shownList(), data.rawCrossingList.get());
    EXPECT_EQ(data.currentCrossingParameters().note, "RAW.DP1") << "the raw header is kept";
    EXPECT_EQ(data.lineCorrection(), 0.0f) << "a raw line has no correction entry";
    EXPECT_TRUE(currentReversal(data).set);

    doc.SelectTab(0);
    EXPECT_FALSE(currentReversal(data).set) << "the non-crossing line has no reversal point";
}

// Non-crossing points at 100, 200, 300 mm whose transit times are `times` (dt 0.5 us, no
// delay); crossing corrections are large so that using one would move the line visibly.
void fillForFit(DocumentData& data, const std::vector<float>& times) {
    fillResult(data, {"C1.DP1"});
    PointList& line = *data.nonCrossingList;
    line = makePoints(3);
    for (std::size_t i = 0; i < line.size(); ++i) {
        line[i].distance = 100.0f * static_cast<float>(i + 1);
        line[i].delay = 0;
        line[i].arrivalIndex = static_cast<std::int32_t>(times[i] / 0.5f);
    }
    data.crossingCorrections = {40.0f};
}

TEST(DocumentFit, TakesTheNonCrossingCorrectionOnEveryTab) {
    for (const std::int32_t tab : {0, 1}) {
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData loaded;
        fillForFit(loaded, {25, 50, 75});
        loaded.correctionNonCrossing = 5.0f; // every time 5 us later
        doc.Load(std::move(loaded));
        doc.SelectTab(tab);
        const auto fit = AnalyseDocument(doc.data()).fit;
        ASSERT_TRUE(fit.has_value());
        EXPECT_NEAR(fit->B, 4.0f, 1e-4f) << "tab " << tab;
        EXPECT_NEAR(fit->A, -20.0f, 1e-3f) << "tab " << tab;
    }
}

TEST(DocumentFit, UsesTheMethodStoredWithTheNonCrossingLine) {
    struct Case {
        std::int32_t stored;
        float A;
        float B;
    };
    // Points (25, 100), (50, 200), (70, 300): the regression line differs from the line through
    // the first two points, which the two-point method takes while point 0 is current (it pairs
    // point 0 with point 1 until another point has been current). The current point stays.
    const Case cases[] = {
        {0, -13.934f, 4.42623f},
        {1, 0.0f, 4.0f},
        {7, 0.0f, 4.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData loaded;
        fillForFit(loaded, {25, 50, 70});
        loaded.nonCrossingParameters.lineFlag = c.stored;
        loaded.nonCrossingList->currentIndex = 0;
        doc.Load(std::move(loaded));
        const std::vector<std::uint8_t> before = testing::serialise(doc.data());
        const auto fit = AnalyseDocument(doc.data()).fit;
        EXPECT_EQ(testing::serialise(doc.data()), before) << "fitting changes nothing";
        ASSERT_TRUE(fit.has_value());
        EXPECT_NEAR(fit->A, c.A, 1e-3f);
        EXPECT_NEAR(fit->B, c.B, 1e-4f);
        EXPECT_EQ(doc.data().nonCrossingList->currentIndex, 0);
    }
}

} // namespace
} // namespace crackdepth
