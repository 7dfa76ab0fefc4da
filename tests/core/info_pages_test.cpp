#include "core/data/project_info.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/info_pages.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace crackdepth {
namespace {

constexpr CalendarDate kToday{2024, 3, 15};

// A record whose every text names its own index, so that a text written into the wrong
// place shows.
ProjectInfo numberedRecord() {
    ProjectInfo info;
    for (std::size_t k = 0; k < ProjectInfo::kTextCount; ++k) {
        info.texts[k] = "text " + std::to_string(k);
    }
    info.texts[kTestStandard] = "CECS21-2000";
    info.texts[kInstrumentModel] = "ULK-PT7";
    info.texts[kDesignStrength] = "C30";
    info.texts[kReportDate] = "2012-01-05";
    info.texts[kTestDate] = "2012-01-06";
    info.texts[kCastingDate] = "2012-01-07";
    return info;
}

TEST(InfoPages, TypingStoresEachEditIntoItsOwnTextOnly) {
    const struct {
        bool testPage;
        std::size_t field;
        std::size_t textIndex;
    } cases[] = {
        {true, TestInfoPage::kProjectNameEdit, kProjectName},
        {true, TestInfoPage::kTestingOrganisationEdit, kTestingOrganisation},
        {true, TestInfoPage::kTesterEdit, kTester},
        {true, TestInfoPage::kInstrumentNumberEdit, kInstrumentNumber},
        {true, TestInfoPage::kTestNumberEdit, kTestNumber},
        {false, ProjectInfoPage::kConstructionOrganisationEdit, kConstructionOrganisation},
        {false, ProjectInfoPage::kClientEdit, kClient},
        {false, ProjectInfoPage::kCommissionNumberEdit, kCommissionNumber},
        {false, ProjectInfoPage::kTestAgeEdit, kTestAge},
        {false, ProjectInfoPage::kComponentNameEdit, kComponentName},
    };
    for (const auto& c : cases) {
        ProjectInfo info = numberedRecord();
        ProjectInfo expected = info;
        expected.texts[c.textIndex] = "桥 3 号";
        // Pages that were never initialised show the record already, so nothing else moves;
        // the date texts stay as they are until a page rewrites them.
        TestInfoPage testPage(info);
        ProjectInfoPage projectPage(info);
        InfoPage& page = c.testPage ? static_cast<InfoPage&>(testPage) : projectPage;
        page.onTextChanged(c.field, "桥 3 号");
        EXPECT_EQ(info, expected) << c.field << (c.testPage ? " on the test page" : "");
    }
}

TEST(InfoPages, EditsShowTheRecordAfterLoading) {
    ProjectInfo info = numberedRecord();
    TestInfoPage testPage(info);
    ProjectInfoPage projectPage(info);
    info.texts[kTester] = "王工";
    info.texts[kComponentName] = "梁 B2";
    testPage.load();
    projectPage.load();
    EXPECT_EQ(testPage.control(TestInfoPage::kTesterEdit).text, "王工");
    EXPECT_EQ(projectPage.control(ProjectInfoPage::kComponentNameEdit).text, "梁 B2");
}

TEST(InfoPages, AListChoiceReachesTheRecordOnlyWithTheNextStore) {
    ProjectInfo info = numberedRecord();
    TestInfoPage page(info);

    page.onSelectionChanged(TestInfoPage::kInstrumentModelList, 1);
    EXPECT_EQ(page.control(TestInfoPage::kInstrumentModelList).text, "ULK-PT5(T)");
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT7");

    page.onTextChanged(TestInfoPage::kTesterEdit, "Li");
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT5(T)");

    // A date change and a lock click store pending choices too.
    page.onSelectionChanged(TestInfoPage::kInstrumentModelList, 2);
    page.onDateChanged(TestInfoPage::kReportDatePicker, {2013, 2, 3});
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT6 ");

    ProjectInfoPage projectPage(info);
    projectPage.onSelectionChanged(ProjectInfoPage::kDesignStrengthList, 13);
    EXPECT_EQ(info.texts[kDesignStrength], "C30");
    projectPage.onLockClicked(false);
    EXPECT_EQ(info.texts[kDesignStrength], "C80");
}

TEST(InfoPages, ListsSelectTheFirstEntryBeginningWithTheStoredText) {
    const struct {
        std::size_t textIndex;
        const char* stored;
        std::int32_t selected;
        const char* kept; // what the next keystroke writes back
    } cases[] = {
        {kInstrumentModel, "ULK-PT5", 0, "ULK-PT5"},
        {kInstrumentModel, "ULK-PT5(T)", 1, "ULK-PT5(T)"},
        {kInstrumentModel, "ulk-pt5(t)", 1, "ULK-PT5(T)"},
        {kInstrumentModel, "ULK-PT6", 2, "ULK-PT6 "}, // a file drops the trailing blank
        {kInstrumentModel, "", 0, "ULK-PT5"},
        {kTestStandard, "cecs21", 0, "CECS21-2000"},
        {kDesignStrength, "C30", 3, "C30"},
        {kDesignStrength, "c8", 13, "C80"},
    };
    for (const auto& c : cases) {
        ProjectInfo info = numberedRecord();
        info.texts[c.textIndex] = c.stored;
        TestInfoPage testPage(info);
        ProjectInfoPage projectPage(info);
        const ControlState& list = c.textIndex == kDesignStrength
                                       ? projectPage.control(ProjectInfoPage::kDesignStrengthList)
                                       : testPage.control(c.textIndex == kTestStandard
                                                              ? TestInfoPage::kTestStandardList
                                                              : TestInfoPage::kInstrumentModelList);
        EXPECT_EQ(list.selected, c.selected) << c.stored;
        testPage.onTextChanged(TestInfoPage::kTesterEdit, "Li");
        projectPage.onTextChanged(ProjectInfoPage::kClientEdit, "client");
        EXPECT_EQ(info.texts[c.textIndex], c.kept) << c.stored;
    }
}

TEST(InfoPages, AStoredTextThatIsNoEntryIsShownAsAnExtraEntryAndKept) {
    ProjectInfo info = numberedRecord();
    info.texts[kInstrumentModel] = "ULK-PT4A";
    info.texts[kDesignStrength] = "C100";
    TestInfoPage testPage(info);
    ProjectInfoPage projectPage(info);
    ScriptedPrompts prompts;
    testPage.initialise(kToday, prompts);
    projectPage.initialise(kToday, prompts);

    const ControlState& model = testPage.control(TestInfoPage::kInstrumentModelList);
    EXPECT_EQ(model.entries, (std::vector<std::string>{"ULK-PT5", "ULK-PT5(T)", "ULK-PT6 ",
                                                       "ULK-PT7", "ULK-PT4A"}));
    EXPECT_EQ(model.selected, 4);
    EXPECT_EQ(model.text, "ULK-PT4A");
    const ControlState& strength = projectPage.control(ProjectInfoPage::kDesignStrengthList);
    EXPECT_EQ(strength.entries.size(), 15u);
    EXPECT_EQ(strength.text, "C100");

    testPage.onTextChanged(TestInfoPage::kTesterEdit, "Li");
    projectPage.onTextChanged(ProjectInfoPage::kClientEdit, "client");
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT4A");
    EXPECT_EQ(info.texts[kDesignStrength], "C100");

    // Once the operator picks a fixed entry and it is stored, the extra entry goes.
    testPage.onSelectionChanged(TestInfoPage::kInstrumentModelList, 3);
    testPage.onTextChanged(TestInfoPage::kTesterEdit, "Li");
    testPage.load();
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT7");
    EXPECT_EQ(testPage.control(TestInfoPage::kInstrumentModelList).entries.size(), 4u);
}

TEST(InfoPages, FocusOnTheTestStandardListDropsAnUnstoredChoice) {
    ProjectInfo info = numberedRecord();
    info.texts[kInstrumentModel] = "ULK-PT5";
    TestInfoPage page(info);
    page.onSelectionChanged(TestInfoPage::kInstrumentModelList, 3);
    page.onTestStandardFocused();
    EXPECT_EQ(page.control(TestInfoPage::kInstrumentModelList).text, "ULK-PT5");
    page.onTextChanged(TestInfoPage::kTesterEdit, "Li");
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT5");
}

TEST(InfoPages, InitialiseRewritesTheReportDateAsWritten) {
    const struct {
        const char* stored;
        const char* written;
    } cases[] = {
        {"2012年10月20日", "2012-10-20"}, {"2012-01-05", "2012-1-5"}, {"2012.10.20", "2012-10-20"},
        {"12-10-20", "12-10-20"},         {"", "2024-3-15"},          {"soon", "2024-3-15"},
        {"2012-13-40", "-1--1--1"},
    };
    for (const auto& c : cases) {
        ProjectInfo info = numberedRecord();
        info.texts[kReportDate] = c.stored;
        ProjectInfo expected = info;
        expected.texts[kReportDate] = c.written;
        TestInfoPage page(info);
        ScriptedPrompts prompts;
        page.initialise(kToday, prompts);
        EXPECT_EQ(info, expected) << c.stored;
        EXPECT_EQ(page.control(TestInfoPage::kReportDatePicker).text, c.written) << c.stored;
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST(InfoPages, InitialiseRewritesTestAndCastingDatesWithFourDigitYears) {
    const struct {
        const char* stored;
        const char* written;
        std::optional<CalendarDate> shown;
    } cases[] = {
        {"12-10-20", "2012-10-20", CalendarDate{2012, 10, 20}},
        {"2012-01-05", "2012-1-5", CalendarDate{2012, 1, 5}},
        {"2012.10.20", "2012-10-20", CalendarDate{2012, 10, 20}},
        {"2012.1.5", "2012-1-5", CalendarDate{2012, 1, 5}},
        {"2012年10月20日", "2012-10-20", CalendarDate{2012, 10, 20}},
        {"", "2024-3-15", kToday},
        {"12", "2024-3-15", kToday},
        {"12-31-1", "-1--1--1", std::nullopt},
    };
    for (const auto& c : cases) {
        // The two dates are read independently: each case runs once as the test date and
        // once as the casting date, the other date holding a text of its own.
        for (const bool asTestDate : {true, false}) {
            ProjectInfo info = numberedRecord();
            info.texts[asTestDate ? kTestDate : kCastingDate] = c.stored;
            info.texts[asTestDate ? kCastingDate : kTestDate] = "13-1-2";
            ProjectInfoPage page(info);
            ScriptedPrompts prompts;
            page.initialise(kToday, prompts);
            const std::size_t picker =
                asTestDate ? ProjectInfoPage::kTestDatePicker : ProjectInfoPage::kCastingDatePicker;
            const std::size_t other =
                asTestDate ? ProjectInfoPage::kCastingDatePicker : ProjectInfoPage::kTestDatePicker;
            EXPECT_EQ(info.texts[asTestDate ? kTestDate : kCastingDate], c.written) << c.stored;
            EXPECT_EQ(info.texts[asTestDate ? kCastingDate : kTestDate], "2013-1-2");
            EXPECT_EQ(page.control(picker).date, c.shown) << c.stored;
            EXPECT_EQ(page.control(other).date, (CalendarDate{2013, 1, 2}));
            EXPECT_EQ(info.texts[kReportDate], "2012-01-05"); // the other page's date
        }
    }
}

TEST(InfoPages, ADateChangeWritesThePickersText) {
    const struct {
        bool testPage;
        std::size_t field;
        std::size_t textIndex;
    } cases[] = {
        {true, TestInfoPage::kReportDatePicker, kReportDate},
        {false, ProjectInfoPage::kTestDatePicker, kTestDate},
        {false, ProjectInfoPage::kCastingDatePicker, kCastingDate},
    };
    for (const auto& c : cases) {
        ProjectInfo info = numberedRecord();
        TestInfoPage testPage(info);
        ProjectInfoPage projectPage(info);
        InfoPage& page = c.testPage ? static_cast<InfoPage&>(testPage) : projectPage;
        ScriptedPrompts prompts;
        testPage.initialise(kToday, prompts);
        projectPage.initialise(kToday, prompts);
        ProjectInfo expected = info;
        expected.texts[c.textIndex] = "2013-2-3";

        page.onDateChanged(c.field, {2013, 2, 3});
        EXPECT_EQ(info, expected) << c.textIndex;
        EXPECT_EQ(page.control(c.field).date, (CalendarDate{2013, 2, 3}));
        EXPECT_EQ(page.control(c.field).text, "2013-2-3");
    }
}

// Which controls of a page are enabled, in layout order.
std::vector<bool> enabledFlags(const InfoPage& page) {
    std::vector<bool> flags;
    for (const ControlState& control : page.controls()) {
        flags.push_back(control.enabled);
    }
    return flags;
}

TEST(InfoPages, TheLockBoxesShareTheFlagAndDisableEverythingElse) {
    const std::vector<bool> open(9, true);
    std::vector<bool> lockedFlags(9, false);
    lockedFlags.back() = true; // the lock box, last on both pages

    ProjectInfo info = numberedRecord();
    TestInfoPage testPage(info);
    ProjectInfoPage projectPage(info);
    ScriptedPrompts prompts;
    testPage.initialise(kToday, prompts);
    projectPage.initialise(kToday, prompts);
    EXPECT_EQ(enabledFlags(testPage), open);
    EXPECT_EQ(enabledFlags(projectPage), open);

    testPage.onLockClicked(true);
    EXPECT_EQ(info.locked, 1);
    EXPECT_EQ(enabledFlags(testPage), lockedFlags);
    projectPage.load(); // the panel shows the other page
    EXPECT_TRUE(projectPage.control(ProjectInfoPage::kLockBox).checked);
    EXPECT_EQ(enabledFlags(projectPage), lockedFlags);

    // A locked record stays locked over a refresh; unlocking on the other page opens both.
    testPage.initialise(kToday, prompts);
    projectPage.initialise(kToday, prompts);
    EXPECT_EQ(enabledFlags(testPage), lockedFlags);
    projectPage.onLockClicked(false);
    EXPECT_EQ(info.locked, 0);
    EXPECT_EQ(enabledFlags(projectPage), open);
    testPage.load();
    EXPECT_FALSE(testPage.control(TestInfoPage::kLockBox).checked);
    EXPECT_EQ(enabledFlags(testPage), open);
}

TEST(InfoPages, InputForAControlOfAnotherKindChangesNothing) {
    ProjectInfo info = numberedRecord();
    const ProjectInfo before = info;
    TestInfoPage page(info);
    page.onTextChanged(TestInfoPage::kInstrumentModelList, "ULK-PT9");
    page.onTextChanged(TestInfoPage::kFieldCount, "x");
    page.onSelectionChanged(TestInfoPage::kInstrumentModelList, 4);
    page.onSelectionChanged(TestInfoPage::kInstrumentModelList, -1);
    page.onDateChanged(TestInfoPage::kTesterEdit, {2013, 2, 3});
    EXPECT_EQ(info, before);
    EXPECT_EQ(page.control(TestInfoPage::kInstrumentModelList).text, "ULK-PT7");
}

} // namespace
} // namespace crackdepth
