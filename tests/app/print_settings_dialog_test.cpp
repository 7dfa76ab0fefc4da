// The "打印设置" dialog driven through its controls: its texts and grouping, the switches
// enabling their controls, the spinners, OK and Cancel writing the document's print settings,
// and the command opening it from the main window.
#include "app/dialogs/print_settings_dialog.h"
#include "app/frame/report_preferences.h"
#include "core/document/model/scripted_prompts.h"
#include "window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '[' << texts.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace crackdepth::app {
namespace {

using C = PrintControl;

class PrintSettingsDialogTest : public ::testing::Test {
protected:
    const PrintSettings& print() const { return doc.settings().print; }
    void changePrint(const std::function<void(PrintSettings&)>& change) {
        PrintSettings print = doc.settings().print;
        change(print);
        doc.setPrintSettings(print);
    }
    PrintSettingsDialog& start() {
        dialog = std::make_unique<PrintSettingsDialog>(doc);
        dialog->show();
        QApplication::processEvents();
        return *dialog;
    }
    QCheckBox* box(C control) const { return qobject_cast<QCheckBox*>(dialog->control(control)); }
    QComboBox* list(C control) const { return qobject_cast<QComboBox*>(dialog->control(control)); }
    // Replaces the field's text as the operator would. Key clicks know no Chinese
    // characters; those arrive as an input method would insert them.
    static void type(QLineEdit& edit, const QString& text) {
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        const bool ascii =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii) {
            QTest::keyClicks(&edit, text);
        } else {
            edit.insert(text);
        }
    }
    void type(C control, const QString& text) { type(*dialog->edit(control), text); }
    // The texts of the labels and check boxes inside a widget, sorted.
    static QStringList captions(const QWidget& parent) {
        QStringList texts;
        for (const QWidget* child : parent.findChildren<QWidget*>()) {
            if (const auto* label = qobject_cast<const QLabel*>(child)) {
                texts << label->text();
            } else if (const auto* check = qobject_cast<const QCheckBox*>(child)) {
                texts << check->text();
            }
        }
        texts.sort();
        return texts;
    }
    static QStringList items(const QComboBox& list) {
        QStringList texts;
        for (int k = 0; k < list.count(); ++k) {
            texts << list.itemText(k);
        }
        return texts;
    }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    std::unique_ptr<PrintSettingsDialog> dialog;
};

TEST_F(PrintSettingsDialogTest, ShowsOneTabWithTheGroupedControls) {
    changePrint([&](PrintSettings& p) { p.reportStyle = 5; });
    PrintSettingsDialog& d = start();
    EXPECT_EQ(d.windowTitle(), "打印设置");
    EXPECT_DOUBLE_EQ(d.windowOpacity(), 240 / 255.0);
    ASSERT_EQ(d.tabs()->count(), 1);
    EXPECT_EQ(d.tabs()->tabText(0), "打印页面设置");
    EXPECT_EQ(d.okButton()->text(), "确定");
    EXPECT_EQ(d.cancelButton()->text(), "取消");

    std::map<QString, QStringList> groups;
    for (const QGroupBox* group : d.findChildren<QGroupBox*>()) {
        groups[group->title()] = captions(*group);
    }
    const auto sorted = [](QStringList texts) {
        texts.sort();
        return texts;
    };
    const std::map<QString, QStringList> expected = {
        {"线型", sorted({"边框", "网格"})},
        {"页边距(单位:mm)", sorted({"上", "下", "左", "右"})},
        {"页码", sorted({"打印页码", "页码位置", "起始页码", "页码格式"})},
        {"页眉", sorted({"打印页眉", "高度", "(mm)", "位置", "字体", " 页眉内容"})},
        {"页脚", sorted({"打印页脚", "高度", "(mm)", "位置", "字体", "页脚内容"})},
    };
    EXPECT_EQ(groups, expected);
    const QStringList page = captions(*d.tabs()->widget(0));
    EXPECT_TRUE(page.contains("打印表头")) << page.join('|').toStdString();
    EXPECT_TRUE(page.contains("报告\n样式")) << page.join('|').toStdString();
    EXPECT_TRUE(page.contains("报告中列出测量检查")) << page.join('|').toStdString();

    const QStringList fonts = {"宋体", "黑体", "隶书", "仿宋_GB2312", "楷体_GB2312"};
    EXPECT_EQ(items(*list(C::HeaderFont)), fonts);
    EXPECT_EQ(items(*list(C::FooterFont)), fonts);
    EXPECT_EQ(items(*list(C::HeaderPosition)), QStringList({"左侧", "居中", "右侧"}));
    EXPECT_EQ(items(*list(C::FooterPosition)), QStringList({"左侧", "居中", "右侧"}));
    EXPECT_EQ(items(*list(C::PageNumberPosition)),
              QStringList({"底部左侧", "底部居中", "底部右侧"}));
    EXPECT_EQ(items(*list(C::PageNumberFormat)), QStringList({"123", "I II III"}));
    EXPECT_EQ(items(*list(C::ReportStyle)), QStringList({"常规样式", "简易样式", "波列样式"}));
    EXPECT_EQ(list(C::ReportStyle)->currentText(), "常规样式") << "a stored style of 5";
    EXPECT_EQ(print().reportStyle, 0);

    // The margins, heights and start page number have arrows; the line widths do not.
    for (C control : {C::TopMargin, C::BottomMargin, C::LeftMargin, C::RightMargin,
                      C::StartPageNumber, C::HeaderHeight, C::FooterHeight}) {
        EXPECT_NE(dynamic_cast<SpinnerEdit*>(d.control(control)), nullptr)
            << static_cast<int>(control);
    }
    for (C control : {C::BorderWidth, C::GridWidth, C::HeaderText, C::FooterText}) {
        EXPECT_NE(qobject_cast<QLineEdit*>(d.control(control)), nullptr)
            << static_cast<int>(control);
    }
    EXPECT_EQ(d.edit(C::TopMargin)->text(), "20");
    EXPECT_EQ(d.edit(C::BorderWidth)->text(), "4");
    EXPECT_TRUE(box(C::TableHead)->isChecked());
}

TEST_F(PrintSettingsDialogTest, SwitchesEnableTheirControlsAndKeepTheirValues) {
    changePrint([&](PrintSettings& p) { p.pageNumberPosition = 1; });
    changePrint([&](PrintSettings& p) { p.startPageNumber = 3; });
    start();
    const std::map<C, std::vector<C>> groups = {
        {C::HeaderOn, {C::HeaderHeight, C::HeaderPosition, C::HeaderFont, C::HeaderText}},
        {C::FooterOn, {C::FooterHeight, C::FooterPosition, C::FooterFont, C::FooterText}},
        {C::PageNumberOn, {C::PageNumberPosition, C::StartPageNumber, C::PageNumberFormat}},
    };
    const auto expectEnabled = [&](C on, bool enabled) {
        for (C control : groups.at(on)) {
            EXPECT_EQ(dialog->control(control)->isEnabled(), enabled) << static_cast<int>(control);
        }
    };
    for (const auto& [on, controls] : groups) {
        expectEnabled(on, false);
    }
    EXPECT_EQ(list(C::PageNumberPosition)->currentText(), "底部居中") << "greyed, kept";
    EXPECT_EQ(dialog->edit(C::StartPageNumber)->text(), "3");

    for (const auto& [on, controls] : groups) {
        box(on)->click();
        expectEnabled(on, true);
        for (const auto& [other, otherControls] : groups) {
            if (other != on) {
                expectEnabled(other, box(other)->isChecked());
            }
        }
    }
    EXPECT_EQ(print().headerOn, 1);
    EXPECT_EQ(print().footerOn, 1);
    EXPECT_EQ(print().pageNumberOn, 1);
    box(C::PageNumberOn)->click();
    expectEnabled(C::PageNumberOn, false);
    EXPECT_EQ(print().pageNumberOn, 0);
    EXPECT_EQ(print().startPageNumber, 3);
    EXPECT_TRUE(prompts.shown.empty());
}

// The arrows step within 0 … 100; typed values stay as typed and reach the record.
TEST_F(PrintSettingsDialogTest, OkWritesWhatTheControlsShow) {
    start();
    auto* top = dynamic_cast<SpinnerEdit*>(dialog->control(C::TopMargin));
    ASSERT_NE(top, nullptr);
    QTest::keyClick(top, Qt::Key_Up);
    EXPECT_EQ(dialog->edit(C::TopMargin)->text(), "21");
    type(C::TopMargin, "150");
    EXPECT_EQ(dialog->edit(C::TopMargin)->text(), "150");
    type(C::RightMargin, "150");
    QTest::keyClick(dialog->control(C::RightMargin), Qt::Key_Up);
    EXPECT_EQ(dialog->edit(C::RightMargin)->text(), "100");
    type(C::GridWidth, " 3 ");
    box(C::TableHead)->click();
    box(C::HeaderOn)->click();
    type(C::HeaderText, "某桥检测报告");
    QTest::keyClick(list(C::HeaderFont), Qt::Key_Down);
    QTest::keyClick(list(C::ReportStyle), Qt::Key_Down);
    EXPECT_EQ(print().reportStyle, 1) << "a style choice takes over at once";
    EXPECT_EQ(print().topMargin, 150);

    dialog->okButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    PrintSettings expected;
    expected.topMargin = 150;
    expected.rightMargin = 100;
    expected.gridWidth = 3;
    expected.tableHead = 0;
    expected.headerOn = 1;
    expected.headerText = "某桥检测报告";
    expected.headerFont = 1;
    expected.reportStyle = 1;
    EXPECT_EQ(print(), expected);
    EXPECT_TRUE(prompts.shown.empty());
}

// "报告中列出测量检查" is on at first; switched off and taken over with OK it is remembered in
// the program's own settings store (the settings file has no room for it) and comes back at
// the next start.
TEST_F(PrintSettingsDialogTest, TheChecksSwitchOutlivesTheRun) {
    QSettings().remove(QStringLiteral("report/listChecks"));
    PrintSettingsDialog& d = start();
    ASSERT_TRUE(box(C::ListChecks)->isChecked());
    box(C::ListChecks)->click();
    d.okButton()->click();
    EXPECT_EQ(print().listChecks, 0);

    PrintSettings next; // the next run's settings, on by default
    ASSERT_EQ(next.listChecks, 1);
    restoreReportPreferences(next);
    EXPECT_EQ(next.listChecks, 0);
    next.listChecks = 1;
    rememberReportPreferences(next);
    PrintSettings after;
    after.listChecks = 0;
    restoreReportPreferences(after);
    EXPECT_EQ(after.listChecks, 1);
    // A damaged value keeps the default.
    QSettings().setValue(QStringLiteral("report/listChecks"), QStringLiteral("garbage"));
    PrintSettings damaged;
    restoreReportPreferences(damaged);
    EXPECT_EQ(damaged.listChecks, 1);
    QSettings().remove(QStringLiteral("report/listChecks"));
}

TEST_F(PrintSettingsDialogTest, ANonIntegerFieldKeepsTheDialogOpenWithItsFocus) {
    start();
    dialog->activateWindow();
    type(C::BorderWidth, "8");
    type(C::LeftMargin, "1.5");
    dialog->okButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"页边距“左”：请输入一个整数。"});
    QWidget* focused = dialog->focusWidget();
    EXPECT_TRUE(focused == dialog->control(C::LeftMargin) ||
                focused == dialog->edit(C::LeftMargin));
    EXPECT_EQ(dialog->edit(C::LeftMargin)->selectedText(), "1.5");
    EXPECT_EQ(print().borderWidth, 4) << "nothing taken over";

    type(C::LeftMargin, "6");
    dialog->okButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(print().borderWidth, 8);
    EXPECT_EQ(print().leftMargin, 6);
}

// A field is checked on OK only. Before, a click on a switch or the style list checked every
// field: a margin being typed raised "请输入一个整数。" and took the focus back, so the click
// that left the field was lost to the message.
TEST_F(PrintSettingsDialogTest, ClicksElsewhereDoNotCheckAFieldBeingTyped) {
    start();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    type(C::LeftMargin, "1.");
    dialog->edit(C::LeftMargin)->setFocus();
    QTest::mouseClick(box(C::HeaderOn), Qt::LeftButton);
    QTest::mouseClick(box(C::FooterOn), Qt::LeftButton);
    QTest::keyClick(list(C::ReportStyle), Qt::Key_Down);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(box(C::HeaderOn)->isChecked());
    EXPECT_TRUE(box(C::FooterOn)->isChecked());
    EXPECT_TRUE(dialog->control(C::HeaderText)->isEnabled());
    EXPECT_TRUE(dialog->control(C::FooterText)->isEnabled());
    EXPECT_NE(dialog->focusWidget(), dialog->edit(C::LeftMargin)) << "the focus went on";

    dialog->okButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"页边距“左”：请输入一个整数。"});
    type(C::LeftMargin, "12");
    dialog->okButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(print().leftMargin, 12);
    EXPECT_EQ(print().headerOn, 1);
    EXPECT_EQ(print().footerOn, 1);
    EXPECT_EQ(print().reportStyle, 1);
}

TEST_F(PrintSettingsDialogTest, OkWithNothingToPrintStaysOpen) {
    changePrint([&](PrintSettings& p) { p.printReport = 0; });
    start();
    dialog->okButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"请选择要打印的内容"});
}

// Every way out that is not OK puts the three switches back and keeps what was taken over.
TEST_F(PrintSettingsDialogTest, CancelRestoresTheSwitches) {
    const std::pair<const char*, std::function<void(PrintSettingsDialog&)>> ways[] = {
        {"取消", [](PrintSettingsDialog& d) { d.cancelButton()->click(); }},
        {"Escape", [](PrintSettingsDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"window closed", [](PrintSettingsDialog& d) { d.close(); }},
    };
    for (const auto& [name, cancel] : ways) {
        SCOPED_TRACE(name);
        doc.setPrintSettings(PrintSettings{});
        changePrint([&](PrintSettings& p) { p.footerOn = 1; });
        start();
        box(C::HeaderOn)->click();
        type(C::HeaderText, "新页眉");
        box(C::FooterOn)->click(); // takes over the header text
        box(C::PageNumberOn)->click();
        type(C::TopMargin, "30"); // never taken over
        cancel(*dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(print().headerOn, 0);
        EXPECT_EQ(print().footerOn, 1);
        EXPECT_EQ(print().pageNumberOn, 0);
        EXPECT_EQ(print().headerText, "新页眉");
        EXPECT_EQ(print().topMargin, 20);
    }
}

using PrintSettingsCommandTest = testing::WindowFixture;

TEST_F(PrintSettingsCommandTest, TheCommandOpensTheDialog) {
    const auto watch = testing::whenShown<PrintSettingsDialog>([](PrintSettingsDialog& d) {
        EXPECT_EQ(d.windowTitle(), "打印设置");
        d.cancelButton()->click();
    });
    window.action(Command::PrintSettings)->trigger();
    EXPECT_TRUE(watch->seen);
}

} // namespace
} // namespace crackdepth::app
