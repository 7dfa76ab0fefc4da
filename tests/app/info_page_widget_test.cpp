// The information pages' widgets: every control hands the operator's input to its page
// state and shows what the state holds afterwards; the record follows as the pages' rules
// say. Driven through the controls, over a record of the test's own.
#include "app/frame/info_page_widget.h"
#include "core/document/model/scripted_prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

// Every text its own, so a text landing in the wrong slot shows.
ProjectInfo numberedRecord() {
    ProjectInfo info;
    for (std::size_t i = 0; i < ProjectInfo::kTextCount; ++i) {
        info.texts[i] = "t" + std::to_string(i);
    }
    info.texts[kTestStandard] = "CECS21-2000";
    info.texts[kInstrumentModel] = "ULK-PT5";
    info.texts[kDesignStrength] = "C30";
    info.texts[kReportDate] = "2012-10-20";
    info.texts[kTestDate] = "2012-10-21";
    info.texts[kCastingDate] = "2012-9-1";
    return info;
}

class InfoPageWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        testPage.initialise(today, prompts);
        projectPage.initialise(today, prompts);
        testWidget.showState();
        projectWidget.showState();
    }
    template <typename T> T& control(InfoPageWidget& widget, std::size_t field) {
        auto* found = qobject_cast<T*>(widget.control(field));
        EXPECT_NE(found, nullptr) << field;
        return *found;
    }

    const CalendarDate today{2024, 3, 15};
    ScriptedPrompts prompts;
    ProjectInfo info = numberedRecord();
    TestInfoPage testPage{info};
    ProjectInfoPage projectPage{info};
    InfoPageWidget testWidget{testPage};
    InfoPageWidget projectWidget{projectPage};
};

// Each edit of both pages: typing reaches the record's own slot, keystroke by keystroke, and
// the field's tool tip shows the text.
TEST_F(InfoPageWidgetTest, TypingInAnEditReachesTheRecord) {
    struct Case {
        bool testInfo;
        std::size_t field;
        std::size_t text;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ProjectInfo before = info;
        auto& edit = control<QLineEdit>(c.testInfo ? testWidget : projectWidget, c.field);
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        QTest::keyClicks(&edit, QStringLiteral("Deck 3"));
        // A Chinese character arrives as an input method delivers it.
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QStringLiteral("桥"),
                            Qt::NoModifier);
        ProjectInfo expected = before;
        expected.texts[c.text] = "Deck 3桥";
        EXPECT_EQ(info, expected);
        EXPECT_EQ(edit.text(), QStringLiteral("Deck 3桥"));
        EXPECT_EQ(edit.toolTip(), QStringLiteral("Deck 3桥"));
    }
}

// A choice in a list waits for the page's next store; a date goes into its text at once.
TEST_F(InfoPageWidgetTest, ListChoicesWaitForTheNextStoreAndDatesAreWrittenAtOnce) {
    auto& model = control<QComboBox>(testWidget, TestInfoPage::kInstrumentModelList);
    ASSERT_EQ(model.count(), 4);
    model.setCurrentIndex(3);
    emit model.activated(3);
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT5") << "not stored yet";
    EXPECT_EQ(model.currentText(), QStringLiteral("ULK-PT7")) << "the choice is shown";
    QTest::keyClicks(&control<QLineEdit>(testWidget, TestInfoPage::kTesterEdit), "x");
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT7");

    struct Case {
        bool testInfo;
        std::size_t field;
        std::size_t text;
    };
    const Case dates[] = {
        {true, TestInfoPage::kReportDatePicker, kReportDate},
        {false, ProjectInfoPage::kCastingDatePicker, kCastingDate},
        {false, ProjectInfoPage::kTestDatePicker, kTestDate},
    };
    for (const Case& c : dates) {
        SCOPED_TRACE(c.text);
        auto& picker = control<QDateEdit>(c.testInfo ? testWidget : projectWidget, c.field);
        picker.setDate(QDate(2023, 4, 9));
        EXPECT_EQ(info.texts[c.text], "2023-4-9");
        EXPECT_EQ(picker.toolTip(), QStringLiteral("2023-4-9"));
    }
}

TEST_F(InfoPageWidgetTest, TheLockBoxLocksTheRecordAndTheOtherControls) {
    auto& lock = control<QCheckBox>(testWidget, TestInfoPage::kLockBox);
    EXPECT_EQ(lock.text(), QStringLiteral("锁定信息"));
    lock.click();
    EXPECT_EQ(info.locked, 1);
    for (std::size_t field = 0; field < TestInfoPage::kFieldCount; ++field) {
        EXPECT_EQ(testWidget.control(field)->isEnabled(), field == TestInfoPage::kLockBox) << field;
    }
    lock.click();
    EXPECT_EQ(info.locked, 0);
    EXPECT_TRUE(testWidget.control(TestInfoPage::kTesterEdit)->isEnabled());
}

// "检测依据" gaining the focus shows the record again: a choice in another list that was
// not stored yet is dropped, in the list and in what the next store writes.
TEST_F(InfoPageWidgetTest, FocusOnTheTestStandardListShowsTheRecordAgain) {
    testWidget.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&testWidget));
    auto& model = control<QComboBox>(testWidget, TestInfoPage::kInstrumentModelList);
    model.setCurrentIndex(3);
    emit model.activated(3);
    ASSERT_EQ(model.currentText(), QStringLiteral("ULK-PT7"));

    control<QComboBox>(testWidget, TestInfoPage::kTestStandardList).setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(model.currentText(), QStringLiteral("ULK-PT5"));
    QTest::keyClicks(&control<QLineEdit>(testWidget, TestInfoPage::kTesterEdit), "x");
    EXPECT_EQ(info.texts[kInstrumentModel], "ULK-PT5");

    // The project page has no such list: focus moving through it keeps a pending choice.
    projectWidget.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&projectWidget));
    auto& strength = control<QComboBox>(projectWidget, ProjectInfoPage::kDesignStrengthList);
    strength.setCurrentIndex(0);
    emit strength.activated(0);
    strength.setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(strength.currentText(), QStringLiteral("C15"));
}

} // namespace
} // namespace crackdepth::app
