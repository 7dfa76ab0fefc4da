// The main window's frame: the prompts the status bar shows for menu commands, the lock-key
// indicators, and how the content panes share the window when it is resized.
#include "app/frame/lock_key_indicators.h"
#include "window_fixture.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

// The menu and action of the menu item with the caption `caption`.
std::pair<QMenu*, QAction*> menuItem(const MainWindow& window, const QString& caption) {
    for (QAction* top : window.menuBar()->actions()) {
        for (QAction* item : top->menu()->actions()) {
            if (item->text() == caption) {
                return {top->menu(), item};
            }
        }
    }
    return {nullptr, nullptr};
}

class FrameChromeTest : public testing::WindowFixture {};

// The pointer over a menu item shows its prompt; the program's own commands have none, and
// the status bar shows the idle message.
TEST_F(FrameChromeTest, MenuItemsShowTheirPromptsInTheStatusBar) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    QApplication::processEvents();
    const struct {
        QString caption;
        const char* prompt;
    } cases[] = {
        {"打印预览(&V)", "显示整页"},
        {"打印", "打印活动文档"},
        {"状态栏(&S)", "显示或隐藏状态栏"},
        {"关于 ULK浅裂缝分析软件(&A)...", "显示程序信息、版本号和版权"},
        {recentEntryText(1, path("SITE.DPA")), "打开此文档"},
        {"合并文件", "就绪"},
        {"滤波", "就绪"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        const auto [menu, item] = menuItem(window, c.caption);
        ASSERT_NE(item, nullptr);
        // Opened from the menu bar, as the operator opens it.
        QMenuBar& bar = *window.menuBar();
        QTest::mouseClick(&bar, Qt::LeftButton, {},
                          bar.actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseMove(menu, menu->actionGeometry(item).center());
        QApplication::processEvents();
        EXPECT_EQ(window.statusBar()->currentMessage(), QString::fromUtf8(c.prompt));
        menu->close();
        QApplication::processEvents();
    }
}

// The indicators show the lock keys as the platform reports them, read again on every
// lock-key press wherever the focus is; where the platform cannot tell, they stay blank.
TEST(LockKeyIndicatorsTest, ShowTheLockKeysAfterEachLockKeyPress) {
    QStatusBar bar;
    std::optional<LockKeys> keys = LockKeys{};
    int reads = 0;
    auto* indicators = new LockKeyIndicators(bar, [&] {
        ++reads;
        return keys;
    });
    bar.resize(600, 24);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const auto texts = [&] {
        return QStringList{indicators->indicator(0)->text(), indicators->indicator(1)->text(),
                           indicators->indicator(2)->text()};
    };
    EXPECT_EQ(texts(), QStringList({"", "", ""}));
    EXPECT_LT(indicators->indicator(0)->x(), indicators->indicator(1)->x());
    EXPECT_LT(indicators->indicator(1)->x(), indicators->indicator(2)->x());

    const struct {
        std::optional<LockKeys> keys;
        Qt::Key pressed;
        QStringList shown;
    } cases[] = {
        {LockKeys{true, false, false}, Qt::Key_CapsLock, {"CAP", "", ""}},
        {LockKeys{true, true, false}, Qt::Key_NumLock, {"CAP", "NUM", ""}},
        {LockKeys{false, true, true}, Qt::Key_ScrollLock, {"", "NUM", "SCRL"}},
        {std::nullopt, Qt::Key_CapsLock, {"", "", ""}},
    };
    for (const auto& c : cases) {
        keys = c.keys;
        QTest::keyClick(&bar, c.pressed);
        EXPECT_EQ(texts(), c.shown);
    }
    // Other keys leave the indicators as they are.
    keys = LockKeys{true, true, true};
    const int readsBefore = reads;
    QTest::keyClick(&bar, Qt::Key_A);
    EXPECT_EQ(reads, readsBefore);
    EXPECT_EQ(texts(), QStringList({"", "", ""}));
}

TEST_F(FrameChromeTest, TheMainWindowCarriesTheIndicatorsRightOfTheMessage) {
    auto* indicators = window.statusBar()->findChild<LockKeyIndicators*>();
    ASSERT_NE(indicators, nullptr);
    EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("就绪"));
    EXPECT_GT(indicators->indicator(0)->x(), window.statusBar()->width() / 2);
}

// The waveform row takes three eighths of the height on every resize; the plot and the
// crossing pane start at halves, and the plot then keeps the width the operator gave it.
TEST_F(FrameChromeTest, ResizingKeepsTheOperatorsColumnsAndReappliesTheRowRule) {
    auto* rows = qobject_cast<QSplitter*>(window.centralWidget());
    ASSERT_NE(rows, nullptr);
    auto* columns = qobject_cast<QSplitter*>(rows->widget(1));
    ASSERT_NE(columns, nullptr);
    const QList<int> start = columns->sizes();
    EXPECT_EQ(start[0], columns->width() / 2) << "halves at first";

    columns->setSizes({300, columns->width() - 300});
    rows->setSizes({100, rows->height() - 100});
    for (const QSize size : {QSize(1200, 800), QSize(1500, 950)}) {
        SCOPED_TRACE(size.width());
        window.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(columns->sizes()[0], 300);
        const int height = rows->height();
        EXPECT_EQ(rows->sizes()[0], 3 * height / 8);
    }
}

} // namespace
} // namespace crackdepth::app
