#include "core/document/document.h"
#include "core/document/panel_refresh.h"
#include "core/document/scripted_prompts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

constexpr CalendarDate kToday{2026, 12, 10};

class PanelRefresh : public ::testing::Test {
protected:
    void SetUp() override {
        DocumentData& data = doc.data();
        data.nonCrossingList = std::make_unique<PointList>(testing::makePoints(3));
        data.nonCrossingParameters = testing::makeHeader(kNonCrossingSignature);
        data.shownList = data.nonCrossingList.get();
        data.paths.nonCrossingName = "x.DP0";
    }
    ScriptedPrompts prompts;
    Document doc{prompts, {}};
};

TEST_F(PanelRefresh, TestDatesAreRewrittenInThePlainForm) {
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
        doc.data().nonCrossingParameters.testDate = c.stored;
        RefreshPanel(doc, kToday);
        EXPECT_EQ(doc.data().nonCrossingParameters.testDate, c.shown) << c.stored;
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PanelRefresh, ZeroDatePartsBecomeTodaysAndTheBaseNameFollowsTheFile) {
    doc.data().nonCrossingParameters.lineDate = {0, 5, 0, {7, 8}};
    const PanelState state = RefreshPanel(doc, kToday);
    EXPECT_TRUE(state.enabled);
    EXPECT_EQ(doc.data().nonCrossingParameters.lineDate, (LineDate{2026, 5, 10, {7, 8}}));
    EXPECT_EQ(doc.data().paths.currentBaseName, "x");
    doc.data().paths.nonCrossingName = ".DP0";
    RefreshPanel(doc, kToday);
    EXPECT_EQ(doc.data().paths.currentBaseName, "") << "four characters or fewer";
}

TEST_F(PanelRefresh, TheMethodChoiceIsStoredWithTheNonCrossingLine) {
    ChooseAnalysisMethod(doc, 1);
    EXPECT_EQ(doc.data().nonCrossingParameters.analysisMethod(), 1);
    EXPECT_EQ(RefreshPanel(doc, kToday).methodIndex, 1);
    ChooseAnalysisMethod(doc, 0);
    EXPECT_EQ(RefreshPanel(doc, kToday).methodIndex, 0);

    doc.data().shownList = nullptr;
    ChooseAnalysisMethod(doc, 1);
    EXPECT_EQ(doc.data().nonCrossingParameters.analysisMethod(), 0) << "ignored without a line";
    EXPECT_FALSE(RefreshPanel(doc, kToday).enabled);
}

} // namespace
} // namespace crackdepth
