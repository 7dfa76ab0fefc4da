#include "core/document/model/document.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/panel_refresh.h"
#include "document_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

constexpr CalendarDate kToday{2026, 12, 10};

// A non-crossing line with the given header, taken by a document whose calendar says kToday.
class PanelRefresh : public ::testing::Test {
protected:
    void load(TestParameters header, const std::string& name = "x.DP0") {
        DocumentData data;
        data.nonCrossingList = std::make_unique<PointList>(testing::makePoints(3));
        data.nonCrossingParameters = std::move(header);
        data.shown = ShownLine::NonCrossing;
        data.paths.nonCrossingName = name;
        doc.Load(std::move(data));
    }
    // A non-crossing line of 3 points and a crossing raw file of 4.
    void loadRawPair() {
        DocumentData data;
        data.nonCrossingList = std::make_unique<PointList>(testing::makePoints(3));
        data.nonCrossingParameters = header();
        data.rawCrossingList = std::make_unique<PointList>(testing::makePoints(4));
        data.rawCrossingParameters = testing::makeHeader(kCrossingSignature);
        data.paths.crossingName = "x.DP1";
        doc.Load(std::move(data));
    }
    PanelState panel() const { return panelStateOf(doc.data(), AnalyseDocument(doc.data())); }
    static TestParameters header() { return testing::makeHeader(kNonCrossingSignature); }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    void SetUp() override {
        doc.setToday([] { return kToday; });
    }
};

TEST_F(PanelRefresh, TestDatesAreRewrittenInThePlainFormWhenTheDocumentTakesThem) {
    struct Case {
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {"12-10-20", "2012-10-20"},
        {"2012-01-05", "2012-1-5"},
        {"2012.10.5", "2012-10-5"},
        {"2012年10月20日", "2012-10-20"},
        {"12", "12"},
        {"", ""},
    };
    for (const Case& c : cases) {
        TestParameters stored = header();
        stored.testDate = c.stored;
        load(stored);
        EXPECT_EQ(doc.data().nonCrossingParameters.testDate, c.shown) << c.stored;
        const std::vector<std::uint8_t> settled = testing::serialise(doc.data());
        panel();
        EXPECT_EQ(testing::serialise(doc.data()), settled) << "showing the panel changes nothing";
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PanelRefresh, ZeroDatePartsBecomeTodaysAndTheBaseNameFollowsTheFile) {
    TestParameters stored = header();
    stored.lineDate = {0, 5, 0, {7, 8}};
    load(stored);
    EXPECT_TRUE(panel().enabled);
    EXPECT_EQ(doc.data().nonCrossingParameters.lineDate, (LineDate{2026, 5, 10, {7, 8}}));
    EXPECT_EQ(doc.data().paths.currentBaseName, "x");
    load(header(), ".DP0");
    EXPECT_EQ(doc.data().paths.currentBaseName, "") << "four characters or fewer";
}

TEST_F(PanelRefresh, TheMethodChoiceIsAnEditStoredWithTheNonCrossingLine) {
    load(header());
    ChooseAnalysisMethod(doc, 1, false);
    EXPECT_EQ(doc.data().nonCrossingParameters.analysisMethod(), 1);
    EXPECT_EQ(panel().methodIndex, 1);
    EXPECT_TRUE(doc.IsModified()) << "the method is saved with the line";
    EXPECT_EQ(doc.undoable()->name(), "分析方法");
    ChooseAnalysisMethod(doc, 0, false);
    EXPECT_EQ(panel().methodIndex, 0);
    doc.Undo();
    EXPECT_EQ(panel().methodIndex, 1);
    doc.Undo();
    EXPECT_EQ(panel().methodIndex, 0);
    EXPECT_FALSE(doc.IsModified());

    doc.ShowLine(ShownLine::None);
    ChooseAnalysisMethod(doc, 1, false);
    EXPECT_EQ(doc.data().nonCrossingParameters.analysisMethod(), 0) << "ignored without a line";
    EXPECT_FALSE(panel().enabled);
}

// A method chosen while a content view is active shows the selected tab's line again, so a
// plot click that showed the non-crossing line under a crossing tab is undone; chosen from
// elsewhere it moves nothing. Before, the choice never re-selected the tab's line.
TEST_F(PanelRefresh, TheMethodChoiceShowsTheSelectedTabsLineAgainOnlyWhenAsked) {
    for (const bool reselectTab : {false, true}) {
        SCOPED_TRACE(reselectTab ? "content view active" : "elsewhere");
        loadRawPair();
        doc.SelectTab(1);
        doc.ShowLine(ShownLine::NonCrossing); // a click in the distance-time plot

        ChooseAnalysisMethod(doc, 1, reselectTab);
        EXPECT_EQ(doc.data().nonCrossingParameters.analysisMethod(), 1);
        EXPECT_EQ(doc.data().currentTab, 1);
        EXPECT_EQ(doc.data().shown, reselectTab ? ShownLine::Crossing : ShownLine::NonCrossing);
        EXPECT_EQ(doc.data().shownList(), reselectTab ? doc.data().rawCrossingList.get()
                                                      : doc.data().nonCrossingList.get());
    }
}

TEST(CrackDepthTip, CountsSpreadAndTheRuleThatDecidedTheDepth) {
    const std::string kept = "裂深取保留测点的估计值的平均";
    const std::string reversal = "裂深取反相点及其相邻测点的估计值的平均：这些估计沿L + "
                                 "|A|的路径计算，与表中“缝深(mm)”列的数值不同";
    struct Case {
        std::vector<float> estimates;
        DepthRule rule;
        std::string expected;
    };
    const Case cases[] = {
        {{100, 102, 98},
         DepthRule::KeptEstimates,
         "3个估计值，标准差2.00mm，最小98.00mm，最大102.00mm\n" + kept},
        {{110, 120},
         DepthRule::PhaseReversal,
         "2个估计值，标准差7.07mm，最小110.00mm，最大120.00mm\n" + reversal},
        {{104.5f}, DepthRule::KeptEstimates, "1个估计值\n" + kept},
        {{}, DepthRule::PhaseReversal, "没有裂深估计值\n" + reversal},
    };
    for (const Case& c : cases) {
        CrackResult crack;
        crack.depthEstimates = c.estimates;
        crack.depthRule = c.rule;
        EXPECT_EQ(crackDepthTipOf(crack), c.expected);
    }
}

TEST_F(PanelRefresh, TheCrackDepthTipBelongsToTheSelectedCrack) {
    loadRawPair();
    EXPECT_EQ(panel().crackDepthTip, "") << "the non-crossing tab has no crack depth";
    doc.SelectTab(1);
    const DocumentAnalysis analysis = AnalyseDocument(doc.data());
    ASSERT_TRUE(analysis.selected);
    EXPECT_EQ(panel().crackDepthTip, crackDepthTipOf(*analysis.selected));
    EXPECT_NE(panel().crackDepthTip, "");
}

} // namespace
} // namespace crackdepth
