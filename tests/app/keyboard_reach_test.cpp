// Everything the point menu does is reachable from the keyboard: the point commands have keys
// in the table (shown beside the menu entries), Shift+F10 and the Menu key open the point
// menu, a list of the information panel keeps its arrow keys, Esc runs "退出" through the
// exit questions; and the distance–time plot of a 1,000-point line fits its pane and keeps
// the current point in view.
#include "app/frame/info_panel.h"
#include "app/views/distance_time_view.h"
#include "app/views/line_view.h"
#include "core/data/line_block.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "window_fixture.h"

#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

using testing::whenShown;

class KeyboardReach : public testing::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ASSERT_TRUE(window.openFile(path("SITE.DPA")));
        settle();
    }
    void settle() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
        }
    }
    void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = {}) {
        target->setFocus();
        settle();
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
        settle();
    }
    // The table of crossing line 1 with its point `index` current, and the focus.
    QTableWidget* crossingTable(std::int32_t index) {
        document.SelectTab(1);
        settle();
        ClickTableRow(document, index + 1);
        settle();
        QTableWidget* table = window.lineView()->table();
        table->setFocus();
        settle();
        return table;
    }
    const MeasuringPoint& current() const {
        const PointList& line = *document.data().shownList();
        return line[static_cast<std::size_t>(line.currentIndex)];
    }
};

TEST_F(KeyboardReach, PointCommandsHaveKeysInTheTable) {
    struct Case {
        const char* what;
        std::int32_t point; // the current point of crossing line 1
        int key;
        Qt::KeyboardModifiers modifiers;
        std::function<bool()> done;
    };
    std::size_t before = 0;
    const Case cases[] = {
        {"手动剔除", 1, Qt::Key_X, {}, [this] { return current().record.manualMark() == 8000; }},
        {"手动保留", 1, Qt::Key_K, {}, [this] { return current().record.manualMark() == 1000; }},
        {"设置反相点",
         1,
         Qt::Key_R,
         {},
         [this] { return document.data().crossingParameters[0].reversalSet() != 0; }},
        {"撤销反相点", 1, Qt::Key_R, Qt::ShiftModifier,
         [this] { return document.data().crossingParameters[0].reversalSet() == 0; }},
        {"复制测点", 1, Qt::Key_C, Qt::ControlModifier,
         [this] { return window.lineView()->clipboard().hasPoint(); }},
        {"粘贴测点", 2, Qt::Key_V, Qt::ControlModifier,
         [this] {
             return document.undoable() != nullptr &&
                    document.undoable()->name() == std::string(kPastePointText);
         }},
        {"删除测点",
         1,
         Qt::Key_Delete,
         {},
         [&] { return document.data().shownList()->size() + 1 == before; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTableWidget* table = crossingTable(c.point);
        before = document.data().shownList()->size();
        press(table, c.key, c.modifiers);
        EXPECT_TRUE(c.done());
    }
    // The menu shows the keys beside its entries.
    std::array<QAction*, 7> actions{};
    const auto menu = window.lineView()->pointMenu(actions);
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(actions[5]->shortcut(), QKeySequence(Qt::Key_X));
    EXPECT_TRUE(actions[0]->isShortcutVisibleInContextMenu());
}

TEST_F(KeyboardReach, ContextMenuKeysOpenThePointMenuOfTheTable) {
    for (const int key : {int(Qt::Key_F10), int(Qt::Key_Menu)}) {
        SCOPED_TRACE(key);
        QTableWidget* table = crossingTable(2);
        QStringList entries;
        const auto seen = whenShown<QMenu>([&](QMenu& menu) {
            for (const QAction* action : menu.actions()) {
                entries << action->text();
            }
            menu.close();
        });
        press(table, key, key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_TRUE(seen->seen) << "no menu";
        EXPECT_TRUE(entries.contains(QString::fromUtf8(kDeletePointText)));
        EXPECT_TRUE(entries.contains(QString::fromUtf8(kManualKeepText)));
        EXPECT_EQ(document.data().shownList()->currentIndex, 2)
            << "the menu is the current point's";
    }
}

TEST_F(KeyboardReach, AListThatHasTheFocusKeepsItsArrowKeys) {
    // More result files in the folder, so that the list has rows to move through.
    for (const char* name : {"SITE2.DPA", "SITE3.DPA"}) {
        std::filesystem::copy_file(dir.path() / "SITE.DPA", dir.path() / name);
    }
    window.infoPanel()->fillFileList();
    QListWidget* list = window.infoPanel()->fileList();
    ASSERT_GE(list->count(), 3);
    document.SelectTab(1);
    ClickTableRow(document, 2);
    settle();
    list->setCurrentRow(0);
    press(list, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 1);
    press(list, Qt::Key_Down);
    press(list, Qt::Key_Up);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(document.data().shownList()->currentIndex, 1) << "the points stay where they were";

    // In the table the arrows still step the points.
    QTableWidget* table = crossingTable(1);
    press(table, Qt::Key_Down);
    EXPECT_EQ(document.data().shownList()->currentIndex, 2);
}

TEST_F(KeyboardReach, EscRunsExitWithItsQuestions) {
    EXPECT_EQ(window.action(Command::Exit)->shortcut(), QKeySequence(Qt::Key_Escape));
    QTableWidget* table = crossingTable(1);
    press(table, Qt::Key_X); // an edit: the document is modified
    ASSERT_TRUE(document.IsModified());
    prompts.answers.push_back(Answer::Cancel);
    press(table, Qt::Key_Escape);
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, "yesNoCancel");
    EXPECT_EQ(prompts.shown.back().text.rfind("是否保存对 ", 0), 0u) << "the save question";
    EXPECT_TRUE(window.isVisible()) << "cancelled: the program goes on";

    document.Undo();
    settle();
    ASSERT_FALSE(document.IsModified());
    const std::size_t asked = prompts.shown.size();
    press(table, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible()) << "nothing unsaved: Esc quits";
    EXPECT_EQ(prompts.shown.size(), asked);
}

TEST_F(KeyboardReach, ALongLineFitsThePlotAndTheCurrentPointStaysInView) {
    // A non-crossing raw file of 1,000 points, 100 … 50,050 mm.
    TestParameters header = crackdepth::testing::makeHeader(kNonCrossingSignature, 64);
    header.pointCount = 1000;
    header.referenceDistance = 50050;
    std::vector<std::uint8_t> bytes;
    WriteLineBlock(bytes, header, crackdepth::testing::makePoints(1000, 64));
    crackdepth::testing::writeBytes(dir.path() / "LONG.DP0", bytes);
    ASSERT_TRUE(window.openFile(path("LONG.DP0")));
    settle();
    DistanceTimeView& view = *window.distanceTimeView();
    view.viewport()->repaint();
    settle();
    const int height = view.viewport()->height();
    draw::PlotInput input = view.plotInput();
    EXPECT_LE(draw::plotContentHeight(input.axis, input.rowHeight), height)
        << "the whole line fits the pane after opening";

    // Zoomed in, the current point stays in view wherever it goes.
    QWheelEvent wheel(QPointF(20, 20), view.mapToGlobal(QPointF(20, 20)), {}, {0, 120 * 10},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    settle();
    ASSERT_GT(draw::plotContentHeight(input.axis, view.rowHeight()), 4 * height);
    for (const std::int32_t point : {999, 0, 500}) {
        SCOPED_TRACE(point);
        document.SelectPoint(kNonCrossingLine, point);
        settle();
        view.viewport()->repaint();
        input = view.plotInput();
        const auto y = draw::plotPointY(input, point);
        ASSERT_TRUE(y.has_value());
        const int scroll = view.verticalScrollBar()->value();
        EXPECT_GE(*y, scroll);
        EXPECT_LE(*y, scroll + height);
    }
}

} // namespace
} // namespace crackdepth::app
