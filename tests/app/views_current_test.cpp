// The views never show stale data, whichever widget has the focus: after each operator action
// every content view looks exactly as in a window opened afresh on the same data, and the
// information panel shows the analysis of the data as they are. Reading, painting and
// building tables never change the document.
#include "../core/document_support.h"
#include "app/frame/info_panel.h"
#include "app/views/distance_time_view.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "app/views/wave_train_view.h"
#include "app/views/waveform_view.h"
#include "core/document/checks/check_list.h"
#include "core/document/model/document_analysis.h"
#include "core/document/panel_state/panel_refresh.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>

namespace crackdepth::app {
namespace {

const std::filesystem::path kExamples = CRACKDEPTH_EXAMPLES_DIR;

QImage pixels(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class ViewsCurrent : public testing::WindowFixture {
protected:
    void settle() {
        for (int turn = 0; turn < 3; ++turn) {
            QApplication::processEvents();
        }
    }
    QImage plot() { return pixels(*window.distanceTimeView()->viewport()); }
    QImage trace() { return pixels(*window.waveformView()); }

    // What the operator sees now is what a new window shows for the same data. Each window is
    // grabbed while it is the active one, so that both are drawn alike.
    void expectViewsAsFresh() {
        settle();
        QImage freshTrace;
        QImage freshPlot;
        std::vector<std::string> freshTable;
        int freshRow = -1;
        int freshTab = -1;
        {
            QtPrompts otherPrompts;
            MainWindow fresh(document, otherPrompts);
            fresh.resize(window.size());
            fresh.show();
            activate(fresh);
            freshTrace = pixels(*fresh.waveformView());
            freshPlot = pixels(*fresh.distanceTimeView()->viewport());
            freshTable = tableTexts(fresh);
            freshRow = selectedRow(fresh);
            freshTab = fresh.lineTabBar()->currentIndex();
        }
        activate(window);
        EXPECT_EQ(trace(), freshTrace) << "the waveform is stale";
        EXPECT_EQ(plot(), freshPlot) << "the plot is stale";
        EXPECT_EQ(window.lineTabBar()->currentIndex(), freshTab);
        EXPECT_EQ(tableTexts(window), freshTable) << "the table is stale";
        EXPECT_EQ(selectedRow(window), freshRow);
        expectPanelShowsTheAnalysis();
    }
    void activate(QWidget& top) {
        top.activateWindow();
        QApplication::setActiveWindow(&top);
        settle();
    }
    void expectPanelShowsTheAnalysis() {
        const PanelState state = panelStateOf(document.data(), AnalyseDocument(document.data()));
        InfoPanel& panel = *window.infoPanel();
        EXPECT_EQ(panel.interceptField()->text().toStdString(), state.interceptText);
        EXPECT_EQ(panel.velocityField()->text().toStdString(), state.velocityText);
        EXPECT_EQ(panel.crackDepthField()->text().toStdString(), state.crackDepthText);
        EXPECT_EQ(panel.methodList()->currentIndex(), state.methodIndex);
        EXPECT_EQ(panel.methodList()->isEnabled(), state.enabled);
        EXPECT_EQ(panel.crackDepthField()->toolTip().toStdString(), state.crackDepthTip);
        std::vector<std::string> checks;
        for (int row = 0; row < panel.checkList()->count(); ++row) {
            checks.push_back(panel.checkList()->item(row)->text().toStdString());
        }
        EXPECT_EQ(checks, checkListOf(document.data(), AnalyseDocument(document.data())).rows())
            << "the checks are stale";
    }
    void open(const std::string& name) {
        ASSERT_TRUE(window.openFile(path(name)));
        settle();
    }
    static std::vector<std::string> tableTexts(MainWindow& in) {
        std::vector<std::string> texts;
        const QTableWidget& table = *in.lineView()->table();
        for (int row = 0; row < table.rowCount(); ++row) {
            for (int column = 0; column < table.columnCount(); ++column) {
                texts.push_back(table.item(row, column)->text().toStdString());
            }
        }
        return texts;
    }
    static int selectedRow(MainWindow& in) {
        const auto rows = in.lineView()->table()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }
    void focusPanel() {
        window.infoPanel()->fileList()->setFocus();
        settle();
        ASSERT_FALSE(window.isContentViewActive());
    }
    void clickRow(int row) {
        QTableWidget& table = *window.lineView()->table();
        const QRect cell = table.visualRect(table.model()->index(row, 1));
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
        settle();
    }
};

TEST_F(ViewsCurrent, TheMethodChosenInThePanelRedrawsEveryView) {
    open("SITE.DPA");
    window.lineTabBar()->setCurrentIndex(1);
    focusPanel();
    const QImage plotBefore = plot();
    const std::vector<std::string> tableBefore = tableTexts(window);
    QComboBox& method = *window.infoPanel()->methodList();
    method.setCurrentIndex(1); // "两点法", as the list's popup chooses it
    emit method.activated(1);
    settle();
    ASSERT_EQ(document.data().nonCrossingParameters.analysisMethod(), 1);
    EXPECT_NE(plot(), plotBefore) << "the fitted line moved";
    EXPECT_NE(tableTexts(window), tableBefore) << "the depths follow the new fit";
    expectViewsAsFresh();
}

TEST_F(ViewsCurrent, AFileOpenedFromTheListShowsItsOwnData) {
    open("SITE.DP0");
    open("SITE_C1.DP1");
    focusPanel();
    QListWidget& files = *window.infoPanel()->fileList();
    ASSERT_EQ(files.count(), 2);
    const QRect second = files.visualItemRect(files.item(1));
    QTest::mouseClick(files.viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(files.viewport(), Qt::LeftButton, {}, second.center());
    settle();
    ASSERT_EQ(document.data().paths.crossingName, "SITE_C2.DP1");
    window.lineTabBar()->setCurrentIndex(1);
    expectViewsAsFresh();
}

TEST_F(ViewsCurrent, ATabClickShowsTheTabsLineWhateverHasTheFocus) {
    open("SITE.DPA");
    focusPanel();
    for (const int tab : {2, 1, 0}) {
        SCOPED_TRACE(tab);
        QTabBar& bar = *window.lineTabBar();
        QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.tabRect(tab).center());
        expectViewsAsFresh();
    }
}

TEST_F(ViewsCurrent, AnArrowKeyOnTheNonCrossingLineAndARowClickUnderTwoPointUpdateTheFit) {
    open("SITE.DPA");
    clickRow(2);
    const std::string velocity = window.infoPanel()->velocityField()->text().toStdString();
    for (int press = 0; press < 5; ++press) {
        QTest::keyClick(window.lineView()->table(), Qt::Key_Right);
    }
    settle();
    EXPECT_NE(window.infoPanel()->velocityField()->text().toStdString(), velocity);
    expectViewsAsFresh();

    window.infoPanel()->methodList()->setCurrentIndex(1);
    emit window.infoPanel()->methodList()->activated(1);
    settle();
    const std::string pairedWithOne = window.infoPanel()->velocityField()->text().toStdString();
    clickRow(4);
    EXPECT_EQ(document.data().nonCrossingList->currentIndex, 4);
    EXPECT_NE(window.infoPanel()->velocityField()->text().toStdString(), pairedWithOne)
        << "the two-point method pairs point 0 with the clicked point";
    expectViewsAsFresh();
}

// After "打印预览" the screen stays true: the line the report shows is the selected tab's line,
// its table has its statuses, the panel its crack depth, and with nothing pending the report
// adds no undo step and leaves the document unmodified. Before, the DEMO tab stayed
// highlighted over the crossing line's table with "--.--" statuses, "平均裂深" was blank, and
// undo offered "报告前提交修正".
TEST_F(ViewsCurrent, APrintPreviewSelectsTheTabOfTheLineItShowsAndAddsNoStep) {
    open("SITE.DPA");
    ASSERT_EQ(window.lineTabBar()->currentIndex(), 0);
    ASSERT_FALSE(window.action(Command::Undo)->isEnabled());
    const auto seen = testing::whenShown<QPrintPreviewDialog>(
        [](QPrintPreviewDialog& dialog) { dialog.reject(); });
    window.action(Command::PrintPreview)->trigger();
    ASSERT_TRUE(seen->seen);
    settle();
    const DocumentData& data = document.data();
    ASSERT_EQ(data.shownList(), data.currentCrossingList()) << "the longer line is shown";
    EXPECT_EQ(window.lineTabBar()->currentIndex(), data.currentTab);
    EXPECT_EQ(data.currentTab, 1);
    const QTableWidget& table = *window.lineView()->table();
    for (int row = 0; row < table.rowCount(); ++row) {
        EXPECT_NE(table.item(row, 3)->text(), QStringLiteral("--.--")) << "row " << row;
    }
    EXPECT_FALSE(window.infoPanel()->crackDepthField()->text().isEmpty());
    EXPECT_FALSE(document.IsModified());
    EXPECT_FALSE(window.action(Command::Undo)->isEnabled()) << "no step without a correction";
    expectViewsAsFresh();
}

// Ctrl+S leaves the operator where they were. Before, it jumped from the first crack's row 2
// to the last crack's tab, row 1.
TEST_F(ViewsCurrent, CtrlSKeepsTheTabAndTheRow) {
    open("SITE.DPA");
    window.lineTabBar()->setCurrentIndex(1);
    settle();
    clickRow(1);
    ASSERT_EQ(selectedRow(window), 1);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(prompts.shown.empty()) << "saved without a message";
    EXPECT_EQ(document.data().currentTab, 1);
    EXPECT_EQ(window.lineTabBar()->currentIndex(), 1);
    EXPECT_EQ(document.data().shownList(), document.data().crossingLists[0].get());
    EXPECT_EQ(selectedRow(window), 1);
    expectViewsAsFresh();
}

// Under "两点法" point 0 of the non-crossing line is reached like any other: a click on its
// row, "前一测点" and Up; "前一测点" is enabled exactly when it does something. Before, every
// selection bounced back to point 1, where "前一测点" stayed enabled and did nothing.
TEST_F(ViewsCurrent, UnderTwoPointThePointZeroRowIsReachable) {
    open("SITE.DPA");
    window.infoPanel()->methodList()->setCurrentIndex(1);
    emit window.infoPanel()->methodList()->activated(1);
    settle();
    QAction& previous = *window.action(Command::PreviousPoint);
    const PointList& line = *document.data().nonCrossingList;

    clickRow(3);
    const std::string velocity = window.infoPanel()->velocityField()->text().toStdString();
    clickRow(0);
    EXPECT_EQ(line.currentIndex, 0);
    EXPECT_EQ(selectedRow(window), 0);
    EXPECT_FALSE(previous.isEnabled());
    EXPECT_EQ(window.infoPanel()->velocityField()->text().toStdString(), velocity)
        << "the fit keeps pairing point 0 with point 3";
    expectViewsAsFresh();

    clickRow(1);
    EXPECT_TRUE(previous.isEnabled());
    previous.trigger();
    settle();
    EXPECT_EQ(line.currentIndex, 0);
    EXPECT_FALSE(previous.isEnabled());

    clickRow(1);
    window.waveformView()->setFocus();
    QTest::keyClick(&window, Qt::Key_Up);
    settle();
    EXPECT_EQ(line.currentIndex, 0);
    EXPECT_EQ(selectedRow(window), 0);
    EXPECT_TRUE(prompts.shown.empty());
    expectViewsAsFresh();
}

TEST_F(ViewsCurrent, ThePlotFollowsClicksRePicksClosesAndOpens) {
    open("SITE.DPA");
    QImage before = plot();
    clickRow(3);
    EXPECT_NE(plot(), before) << "the red dot moves with the current point";
    expectViewsAsFresh();

    before = plot();
    window.waveformView()->setFocus();
    QTest::keyClick(&window, Qt::Key_Right);
    QTest::keyClick(&window, Qt::Key_Right);
    settle();
    EXPECT_NE(plot(), before) << "a re-picked arrival moves its point";
    expectViewsAsFresh();

    prompts.answers = {Answer::No};
    window.action(Command::Close)->trigger();
    settle();
    EXPECT_FALSE(document.hasNonCrossingLine());
    expectViewsAsFresh();

    const QImage empty = plot();
    open("SITE.DP0");
    EXPECT_NE(plot(), empty) << "the new file's line is drawn at once";
    expectViewsAsFresh();
}

TEST_F(ViewsCurrent, TheCrackDepthStaysInThePanelWithTheWaveTrain) {
    open("SITE.DPA");
    window.lineTabBar()->setCurrentIndex(2);
    window.action(Command::WaveTrain)->trigger();
    settle();
    ASSERT_NE(window.lineView()->currentWidget(), window.lineView()->table());
    EXPECT_FALSE(window.infoPanel()->crackDepthField()->text().isEmpty());
    expectPanelShowsTheAnalysis();
}

// Every display in both layouts and both domains, every table and the analysis, on the demo and
// on the independent files: the document's bytes stay as they were after the open.
TEST_F(ViewsCurrent, ReadingAndPaintingNeverChangeTheDocument) {
    const std::vector<std::string> files = {(kExamples / "DEMO.DPA").string(), at("SITE.DPA"),
                                            at("SITE.DP0")};
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(window.openFile(QString::fromStdString(file)));
        settle();
        // Tab selections are no edits; what they select is left out of the comparison.
        const auto selection = crackdepth::testing::Selection::Left;
        const auto opened = crackdepth::testing::serialise(document.data(), selection);
        for (int tab = 0; tab < window.lineTabBar()->count(); ++tab) {
            window.lineTabBar()->setCurrentIndex(tab);
            for (int layout = 0; layout < 2; ++layout) {
                for (int domain = 0; domain < 2; ++domain) {
                    window.action(Command::TimeFrequency)->trigger();
                    settle();
                    window.repaint();
                    window.lineView()->waveTrain()->viewport()->repaint();
                }
                window.action(Command::WaveTrain)->trigger();
                settle();
            }
            AnalyseDocument(document.data());
        }
        window.lineTabBar()->setCurrentIndex(0);
        settle();
        EXPECT_EQ(crackdepth::testing::firstDifference(
                      crackdepth::testing::serialise(document.data(), selection), opened),
                  -1);
        EXPECT_FALSE(document.IsModified());
        EXPECT_EQ(document.undoable(), nullptr);
    }
}

// "编辑(&E)" follows "文件(&F)"; its entries name the edit, the keys undo and redo it, and the
// views follow.
TEST_F(ViewsCurrent, UndoAndRedoFromTheEditMenuAndTheKeys) {
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions()) {
        menus << menu->text();
    }
    ASSERT_GE(menus.size(), 2);
    EXPECT_EQ(menus.mid(0, 2), (QStringList{"文件(&F)", "编辑(&E)"}));
    QAction& undo = *window.action(Command::Undo);
    QAction& redo = *window.action(Command::Redo);
    EXPECT_EQ(undo.text(), "撤销(&U)");
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_TRUE(window.findChild<QToolBar*>()->actions().contains(&undo));

    open("SITE.DPA");
    window.lineTabBar()->setCurrentIndex(1);
    settle();
    const auto before = crackdepth::testing::serialise(document.data());
    const QImage plotBefore = plot();
    const std::vector<std::string> tableBefore = tableTexts(window);
    WaveformView& view = *window.waveformView();
    QTest::mouseClick(&view, Qt::LeftButton, {},
                      QPoint(static_cast<int>(view.displayRect().width() * 0.7),
                             static_cast<int>(view.displayRect().height() / 2)));
    settle();
    ASSERT_TRUE(document.IsModified());
    EXPECT_EQ(undo.text(), "撤销 拾取初至(&U)");
    EXPECT_TRUE(undo.isEnabled());
    EXPECT_FALSE(redo.isEnabled());
    EXPECT_NE(tableTexts(window), tableBefore);

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    settle();
    EXPECT_EQ(crackdepth::testing::serialise(document.data()), before);
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(redo.text(), "重做 拾取初至(&R)");
    EXPECT_EQ(tableTexts(window), tableBefore);
    EXPECT_EQ(plot(), plotBefore);
    expectViewsAsFresh();

    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        SCOPED_TRACE(key.toString().toStdString());
        QTest::keySequence(&window, key);
        settle();
        EXPECT_TRUE(document.IsModified());
        EXPECT_NE(tableTexts(window), tableBefore);
        document.Undo();
        settle();
    }
}

} // namespace
} // namespace crackdepth::app
