// The titles as the window system receives them: the window manager and the task bar show
// the X properties, not QWidget::windowTitle(), and Qt may add to the text on its way there.
#include "../window_fixture.h"
#include "app/dialogs/test_parameters_dialog.h"
#include "app/frame/lock_key_indicators.h"
#include "app/frame/qt_prompts.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

// X11 last: its macros would rename Qt's identifiers.
#include "x11_support.h"

// Readable failure messages for the titles.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace crackdepth::app {
namespace {

using testing::textProperty;
using testing::whenShown;

class X11WindowTest : public testing::WindowFixture {
protected:
    // Both title properties of a shown window.
    static std::pair<QString, QString> titles(const QWidget& widget) {
        const unsigned long id = widget.winId();
        return {textProperty(id, "_NET_WM_NAME"), textProperty(id, "WM_NAME")};
    }
};

TEST_F(X11WindowTest, TheMainWindowTitleCarriesTheProgramNameOnce) {
    const QString start = QStringLiteral("ULK浅裂缝分析软件   Dalmora");
    EXPECT_EQ(titles(window), std::make_pair(start, start));

    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    QApplication::processEvents();
    const QString opened = QStringLiteral("ULK浅裂缝分析软件   Dalmora - SITE.DPA");
    EXPECT_EQ(titles(window), std::make_pair(opened, opened));

    // The modified mark, from the first edit until an undo back to the saved state.
    window.action(Command::Invert)->trigger();
    QApplication::processEvents();
    const QString modified = opened + QStringLiteral("*");
    EXPECT_EQ(titles(window), std::make_pair(modified, modified));
    window.action(Command::Undo)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(titles(window), std::make_pair(opened, opened));

    // After "关闭当前文档" the program's name alone, as at the start.
    window.action(Command::Close)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(titles(window), std::make_pair(start, start));
}

TEST_F(X11WindowTest, DialogTitlesAreTheirOwn) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    QApplication::processEvents();
    struct Case {
        const char* dialog;
        std::function<std::shared_ptr<testing::Watch>(std::pair<QString, QString>&)> watch;
        std::function<void()> open;
        QString title;
    };
    const Case cases[] = {
        {"检测参数",
         [](auto& seen) {
             return whenShown<TestParametersDialog>([&seen](TestParametersDialog& dialog) {
                 seen = titles(dialog);
                 dialog.reject();
             });
         },
         [this] { TestParametersDialog::run(document, &window); }, QStringLiteral("检测参数")},
        {"file dialog",
         [](auto& seen) {
             return whenShown<QFileDialog>([&seen](QFileDialog& dialog) {
                 seen = titles(dialog);
                 dialog.reject();
             });
         },
         [this] {
             qtPrompts.setParent(&window);
             qtPrompts.chooseOpenFile("声波结果文件 (*.DPA)|*.DPA||", {});
         },
         QStringLiteral("打开")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        std::pair<QString, QString> seen;
        const auto shown = c.watch(seen);
        c.open();
        ASSERT_TRUE(shown->seen);
        EXPECT_EQ(seen, std::make_pair(c.title, c.title));
    }
}

// The indicators read the keyboard as the server has it: a lock set from outside the
// program shows after the next lock-key event reaches it.
TEST_F(X11WindowTest, LockIndicatorsFollowTheServersLocks) {
    auto* indicators = window.statusBar()->findChild<LockKeyIndicators*>();
    ASSERT_NE(indicators, nullptr);
    struct Case {
        unsigned long keysym;
        std::size_t indicator;
        const char* text;
    };
    const Case cases[] = {{XK_Caps_Lock, 0, "CAP"}, {XK_Num_Lock, 1, "NUM"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(testing::lockModifierOf(c.keysym, true));
        QTest::keyClick(&window, c.indicator == 0 ? Qt::Key_CapsLock : Qt::Key_NumLock);
        EXPECT_EQ(indicators->indicator(c.indicator)->text(), QString::fromLatin1(c.text));
        ASSERT_TRUE(testing::lockModifierOf(c.keysym, false));
        QTest::keyClick(&window, c.indicator == 0 ? Qt::Key_CapsLock : Qt::Key_NumLock);
        EXPECT_EQ(indicators->indicator(c.indicator)->text(), QString());
    }
}

} // namespace
} // namespace crackdepth::app
