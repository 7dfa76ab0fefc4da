// The desktop program driven as an operator would: a real main window on the offscreen
// platform, with every question answered by scripted prompts.
#include "../cli/cli_test_support.h"
#include "../core/test_support.h"
#include "app/frame/info_panel.h"
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "app/views/waveform_view.h"
#include "core/document/commands/command_availability.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/scripted_prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace crackdepth::app {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

// The main window over a scripted document; QtPrompts is only needed for the window's own
// few questions, and these tests never reach them.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
            testing::writeBytes(dir.path() / file, testing::readBytes(kFixtures / file));
        }
        window.resize(1400, 900);
        window.show();
        QApplication::processEvents();
    }
    std::string at(const std::string& name) const { return (dir.path() / name).string(); }
    bool available(Command command) { return window.action(command)->isEnabled(); }
    QString field(QLineEdit* edit) const { return edit->text(); }

    testing::TempDir dir;
    ScriptedPrompts prompts;
    QtPrompts qtPrompts;
    Document document{prompts, {}};
    MainWindow window{document, qtPrompts};
};

TEST_F(MainWindowTest, TheTypicalRunShowsWhatTheCommandLineToolComputes) {
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DPA"))));
    QApplication::processEvents();
    InfoPanel& panel = *window.infoPanel();
    const auto run = testing::runCli({"analyze", at("SITE.DPA")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json analysis = nlohmann::json::parse(run.out);
    EXPECT_EQ(field(panel.interceptField()).toStdString(), analysis["AText"]);
    EXPECT_EQ(field(panel.velocityField()).toStdString(), analysis["BText"]);
    EXPECT_EQ(field(panel.crackDepthField()), QString()) << "empty on the non-crossing tab";
    EXPECT_EQ(window.windowTitle().toStdString(), std::string(kTitlePrefix) + "SITE.DPA[*]");

    // A crossing tab: statuses and depths in the table, the crack depth in the panel.
    window.lineTabBar()->setCurrentIndex(2);
    QApplication::processEvents();
    const auto& crack = analysis["cracks"][1];
    EXPECT_EQ(field(panel.crackDepthField()).toStdString(), crack["crackDepthText"]);
    QTableWidget& table = *window.lineView()->table();
    ASSERT_EQ(table.rowCount(), static_cast<int>(crack["points"].size()));
    EXPECT_EQ(table.horizontalHeaderItem(3)->text(), QStringLiteral("保留标志"));
    for (int row = 0; row < table.rowCount(); ++row) {
        EXPECT_EQ(table.item(row, 3)->text().toStdString(),
                  crack["points"][static_cast<std::size_t>(row)]["status"]);
        EXPECT_EQ(table.item(row, 4)->text().toStdString(),
                  crack["points"][static_cast<std::size_t>(row)]["depthText"]);
    }

    // A click on a row makes its point current everywhere.
    const QRect cell = table.visualRect(table.model()->index(5, 1));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    QApplication::processEvents();
    EXPECT_EQ(document.data().shownList()->currentIndex, 5);

    // "手动剔除" on a kept point changes the crack depth.
    const QString before = field(panel.crackDepthField());
    std::array<QAction*, 7> menu{};
    QAction exclude;
    menu[5] = &exclude;
    window.lineView()->runMenuChoice(&exclude, menu);
    QApplication::processEvents();
    EXPECT_EQ(table.item(5, 3)->text(), QStringLiteral("手动剔除"));
    EXPECT_NE(field(panel.crackDepthField()), before);
    EXPECT_TRUE(document.IsModified());
}

TEST_F(MainWindowTest, AClickInTheTraceRePicksTheArrivalAndTheDepthFollows) {
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DPA"))));
    window.lineTabBar()->setCurrentIndex(1);
    QApplication::processEvents();
    const PointList& line = *document.data().shownList();
    document.SelectPoint(*document.data().shownId(), 2);
    QApplication::processEvents();
    QTableWidget& table = *window.lineView()->table();
    const QString depthBefore = table.item(2, 4)->text();
    const std::int32_t arrivalBefore = line[2].arrivalIndex;

    WaveformView& view = *window.waveformView();
    const QRectF rect = view.displayRect();
    // A click at 70 % of the width lies well after the picked arrival.
    QTest::mouseClick(
        &view, Qt::LeftButton, {},
        QPoint(static_cast<int>(rect.width() * 0.7), static_cast<int>(rect.height() / 2)));
    QApplication::processEvents();
    EXPECT_GT(line[2].arrivalIndex, arrivalBefore + 10);
    EXPECT_EQ(line[2].amplitudeIndex, line[2].arrivalIndex);
    EXPECT_TRUE(document.IsModified());
    EXPECT_NE(table.item(2, 4)->text(), depthBefore);

    // A click in the title bar picks nothing.
    const std::int32_t picked = line[2].arrivalIndex;
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(static_cast<int>(rect.width() * 0.3), 5));
    EXPECT_EQ(line[2].arrivalIndex, picked);
}

TEST_F(MainWindowTest, WaveTrainLayoutReplacesTheTable) {
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DPA"))));
    window.lineTabBar()->setCurrentIndex(1);
    window.action(Command::WaveTrain)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window.viewState().waveTrainMode, 1);
    EXPECT_NE(window.lineView()->currentWidget(), window.lineView()->table());
    EXPECT_FALSE(window.action(Command::PrintPreview)->isEnabled());
    const std::string expected = AnalyseDocument(document.data()).cracks[0].crackDepthText;
    EXPECT_EQ(window.infoPanel()->crackDepthField()->text().toStdString(), expected)
        << "the selected crack's depth, whichever layout shows its line";
    window.action(Command::WaveTrain)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window.lineView()->currentWidget(), window.lineView()->table());
}

// The table is written row by row where the rows stay: after every kind of change it shows
// what a fresh analysis of the document gives, cell for cell, colours included.
TEST_F(MainWindowTest, TheTableFollowsEveryChangeCellForCell) {
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DPA"))));
    const auto expectTableAsAnalysed = [&](const char* after) {
        SCOPED_TRACE(after);
        QApplication::processEvents();
        const PointTable expected = AnalyseDocument(document.data()).screenTable;
        const QTableWidget* table = window.lineView()->table();
        ASSERT_EQ(table->rowCount(), static_cast<int>(expected.rows.size()));
        for (std::size_t r = 0; r < expected.rows.size(); ++r) {
            for (std::size_t c = 0; c < expected.rows[r].size(); ++c) {
                const QTableWidgetItem* item =
                    table->item(static_cast<int>(r), static_cast<int>(c));
                ASSERT_NE(item, nullptr);
                const TableCell& cell = expected.rows[r][c];
                EXPECT_EQ(item->text().toStdString(), cell.text) << "row " << r << " column " << c;
                EXPECT_EQ(item->foreground().color(),
                          QColor(cell.textColour.red, cell.textColour.green, cell.textColour.blue));
                EXPECT_EQ(item->background().color(),
                          QColor(cell.background.red, cell.background.green, cell.background.blue));
            }
        }
        EXPECT_TRUE(table->item(expected.currentRow, 0)->isSelected());
    };
    const struct {
        const char* name;
        std::function<void()> act;
    } steps[] = {
        {"the second tab", [&] { window.lineTabBar()->setCurrentIndex(2); }},
        {"a step down", [&] { QTest::keyClick(&window, Qt::Key_Down); }},
        {"a re-pick", [&] { PickArrival(document, 40); }},
        {"a pick moved right", [&] { QTest::keyClick(&window, Qt::Key_Right); }},
        {"a point excluded by hand", [&] { MarkManualExclude(document); }},
        {"a point deleted", [&] { DeletePoint(document); }},
        {"undo", [&] { document.Undo(); }},
        {"the first tab", [&] { window.lineTabBar()->setCurrentIndex(0); }},
        {"a non-crossing re-pick", [&] { PickArrival(document, 30); }},
        {"the third tab", [&] { window.lineTabBar()->setCurrentIndex(3); }},
    };
    for (const auto& step : steps) {
        step.act();
        expectTableAsAnalysed(step.name);
    }
}

TEST_F(MainWindowTest, HotKeysMoveThePointAndThePick) {
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DPA"))));
    window.lineTabBar()->setCurrentIndex(1);
    QApplication::processEvents();
    const PointList& line = *document.data().shownList();
    document.SelectPoint(*document.data().shownId(), 0);
    const std::int32_t arrival = line[0].arrivalIndex;
    QTest::keyClick(&window, Qt::Key_Right);
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(line[0].arrivalIndex, arrival + 2);
    QTest::keyClick(&window, Qt::Key_Down);
    EXPECT_EQ(line.currentIndex, 1);
    EXPECT_TRUE(window.lineView()->table()->item(1, 0)->isSelected());
    QTest::keyClick(&window, Qt::Key_Up);
    QTest::keyClick(&window, Qt::Key_Up);
    EXPECT_EQ(line.currentIndex, 0) << "stays on the first point";
    QTest::keyClick(&window, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(line[0].timeShift, line[0].record.samplingInterval());
    EXPECT_TRUE(document.IsModified()) << "re-picks and shifts are saved or asked for";

    // While the information panel has the focus the arrows are the panel's.
    window.infoPanel()->fileList()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(line[0].arrivalIndex, arrival + 2);
}

TEST_F(MainWindowTest, CommandsFollowTheDocumentState) {
    struct Expectation {
        Command command;
        bool empty, rawCrossing, result;
    };
    const Expectation rows[] = {
        {Command::OpenNonCrossing, true, false, false},
        {Command::OpenResult, true, false, true},
        {Command::Close, false, true, true},
        {Command::TestParameters, false, true, true},
        {Command::Filter, false, true, true},
        {Command::TimeCorrection, false, true, true},
        {Command::Invert, false, true, true},
        {Command::PreviousPoint, false, false, false},
        {Command::WaveTrain, false, true, true},
        {Command::PrintPreview, false, true, true},
        {Command::Merge, true, true, true},
        {Command::PrintSettings, true, true, true},
    };
    for (const Expectation& row : rows) {
        EXPECT_EQ(available(row.command), row.empty) << static_cast<int>(row.command);
    }
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DP0"))));
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE_C1.DP1"))));
    for (const Expectation& row : rows) {
        EXPECT_EQ(available(row.command), row.rawCrossing) << static_cast<int>(row.command);
    }
    // Close drops only the crossing line and the title returns to the non-crossing file.
    window.action(Command::Close)->trigger();
    EXPECT_EQ(window.windowTitle().toStdString(), std::string(kTitlePrefix) + "SITE.DP0[*]");
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DPA"))));
    for (const Expectation& row : rows) {
        EXPECT_EQ(available(row.command), row.result) << static_cast<int>(row.command);
    }
    window.action(Command::Close)->trigger();
    EXPECT_EQ(window.windowTitle().toStdString(), std::string(kProgramTitle) + "[*]")
        << "the program's name alone, not the prefix ending in \" - \"";
}

TEST_F(MainWindowTest, ExitAsksOnlyWhenThereAreUnsavedChanges) {
    ASSERT_TRUE(window.openFile(QString::fromStdString(at("SITE.DPA"))));
    EXPECT_TRUE(window.confirmExit());
    EXPECT_TRUE(prompts.shown.empty());
    window.action(Command::Invert)->trigger();
    prompts.answers = {Answer::Cancel};
    EXPECT_FALSE(window.confirmExit());
    ASSERT_EQ(prompts.shown.size(), 1u);
    prompts.answers = {Answer::No};
    EXPECT_TRUE(window.confirmExit());
    ASSERT_EQ(prompts.shown.size(), 2u) << "one question, not two";
    EXPECT_EQ(prompts.shown.back().kind, "yesNoCancel");
}

TEST_F(MainWindowTest, PanelToggleFollowsThePane) {
    EXPECT_TRUE(window.panelToggle()->isChecked());
    window.panelDock()->close();
    QApplication::processEvents();
    EXPECT_FALSE(window.panelToggle()->isChecked());
    window.panelToggle()->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(window.panelDock()->isVisible());
}

} // namespace
} // namespace crackdepth::app
