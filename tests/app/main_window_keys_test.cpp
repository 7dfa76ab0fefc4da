// The framework's keys and drops at app level: Ctrl+O opens any file through the general open
// dialog, Ctrl+S saves, F6 and Shift+F6 move through the content panes, and files dropped on
// the window open like any other.
#include "app/frame/info_panel.h"
#include "app/views/distance_time_view.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "app/views/waveform_view.h"
#include "core/document/commands/picking.h"
#include "window_fixture.h"

#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

using testing::whenShown;

class MainWindowKeysTest : public testing::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // The recent-file list's spelling of a file.
    QString canonical(const std::string& name) const {
        return QFileInfo(path(name)).canonicalFilePath();
    }
    // Keys go where the operator's focus is, in the active window (a closed dialog may have
    // left none active on the offscreen platform).
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &window, key, modifiers);
        QApplication::processEvents();
    }
};

TEST_F(MainWindowKeysTest, CtrlOOpensTheChosenFileOfAnyKind) {
    const struct {
        const char* chosen; // none: the dialog is cancelled
        std::string title;
    } cases[] = {
        {"SITE.DP0", std::string(kTitlePrefix) + "SITE.DP0"},
        {nullptr, std::string(kTitlePrefix) + "SITE.DP0"},
        {"SITE.DPA", std::string(kTitlePrefix) + "SITE.DPA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen != nullptr ? c.chosen : "cancelled");
        // The general open dialog comes through the document's prompts, like every dialog
        // of the open commands.
        prompts.shown.clear();
        prompts.files = {c.chosen != nullptr ? std::optional(at(c.chosen)) : std::nullopt};
        press(Qt::Key_O, Qt::ControlModifier);
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown[0].kind, "open");
        EXPECT_EQ(qtFilter(prompts.shown[0].text), QStringLiteral("所有文件(*.*)"));
        EXPECT_EQ(document.title(), c.title);
    }
    EXPECT_EQ(window.recentFiles().entries().mid(0, 2),
              QStringList({canonical("SITE.DPA"), canonical("SITE.DP0")}));
}

// Ctrl+O was shown beside "打开不跨裂缝文件", which is disabled while a result file is open
// and opens only .DP0 files, while the key opened the general dialog. The menu item that
// shows the key is the one the key runs, and it is there whatever is open.
TEST_F(MainWindowKeysTest, CtrlOIsShownBesideTheCommandItRuns) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    const QKeySequence ctrlO(Qt::CTRL | Qt::Key_O);
    std::vector<QAction*> showing;
    for (QAction* top : window.menuBar()->actions()) {
        for (QAction* item : top->menu()->actions()) {
            if (item->text().contains(QStringLiteral("Ctrl+O")) || item->shortcut() == ctrlO) {
                showing.push_back(item);
            }
        }
    }
    ASSERT_EQ(showing.size(), 1u);
    QAction& shown = *showing.front();
    EXPECT_EQ(shown.shortcut(), ctrlO) << shown.text().toStdString();
    EXPECT_EQ(shown.text(), QStringLiteral("打开文件..."));
    window.updateActions();
    EXPECT_TRUE(shown.isEnabled());

    // The general open asks through the document's prompts, for a file of any kind.
    prompts.shown.clear();
    prompts.files = {std::nullopt};
    shown.trigger();
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.front().kind, "open");
    EXPECT_EQ(prompts.shown.front().text, kOpenAnyFilter);
}

TEST_F(MainWindowKeysTest, CtrlSSavesTheOpenDocument) {
    // Nothing loaded: the save asks for nothing and says why.
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(prompts.messages(), std::vector<std::string>({kOpenFirstMessage}));

    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    const auto before = testing::readBytes(dir.path() / "SITE.DPA");
    const PointList& line = *document.data().shownList();
    PickArrival(document, line[0].arrivalIndex + 7);
    ASSERT_TRUE(document.IsModified());
    prompts.shown.clear();
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(prompts.shown.empty()) << "saved under its own name, without a question";
    EXPECT_FALSE(document.IsModified());
    EXPECT_NE(testing::readBytes(dir.path() / "SITE.DPA"), before);
}

// F6 steps forward through the content panes, Shift+F6 back, wrapping at the ends; from
// the information panel, F6 brings the focus back to the content.
TEST_F(MainWindowKeysTest, F6AndShiftF6CycleTheContentPanes) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    QApplication::processEvents();
    window.waveformView()->setFocus();
    QWidget* const waveform = window.waveformView();
    QWidget* const plot = window.distanceTimeView();
    QWidget* const tabs = window.lineTabBar();
    QWidget* const table = window.lineView();
    const struct {
        Qt::KeyboardModifiers modifiers;
        QWidget* pane;
    } steps[] = {
        {Qt::NoModifier, plot},     {Qt::NoModifier, tabs},     {Qt::NoModifier, table},
        {Qt::NoModifier, waveform}, {Qt::ShiftModifier, table}, {Qt::ShiftModifier, tabs},
    };
    for (const auto& step : steps) {
        press(Qt::Key_F6, step.modifiers);
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus == step.pane || step.pane->isAncestorOf(focus))
            << (focus != nullptr ? focus->metaObject()->className() : "no focus");
        EXPECT_TRUE(window.isContentViewActive());
    }

    window.infoPanel()->fileList()->setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(window.isContentViewActive());
    press(Qt::Key_F6);
    EXPECT_TRUE(window.isContentViewActive());
}

TEST_F(MainWindowKeysTest, DroppedFilesOpenLikeAnyOther) {
    const auto drop = [this](QMimeData& mime) {
        QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        if (enter.isAccepted()) {
            QDropEvent dropped(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton,
                               Qt::NoModifier);
            QApplication::sendEvent(&window, &dropped);
        }
        return enter.isAccepted();
    };
    const struct {
        const char* what;
        std::function<void(QMimeData&)> fill;
        bool accepted;
        std::string title;
    } cases[] = {
        {"a text", [](QMimeData& m) { m.setText(QStringLiteral("SITE.DPA")); }, false,
         kProgramTitle},
        {"a remote file",
         [](QMimeData& m) { m.setUrls({QUrl(QStringLiteral("https://example.org/SITE.DPA"))}); },
         true, kProgramTitle},
        {"a result file",
         [this](QMimeData& m) { m.setUrls({QUrl::fromLocalFile(path("SITE.DPA"))}); }, true,
         std::string(kTitlePrefix) + "SITE.DPA"},
        {"two raw files",
         [this](QMimeData& m) {
             m.setUrls(
                 {QUrl::fromLocalFile(path("SITE.DP0")), QUrl::fromLocalFile(path("SITE_C1.DP1"))});
         },
         true, std::string(kTitlePrefix) + "SITE_C1.DP1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QMimeData mime;
        c.fill(mime);
        EXPECT_EQ(drop(mime), c.accepted);
        EXPECT_EQ(document.title(), c.title);
    }
    EXPECT_EQ(
        window.recentFiles().entries().mid(0, 3),
        QStringList({canonical("SITE_C1.DP1"), canonical("SITE.DP0"), canonical("SITE.DPA")}));
    EXPECT_TRUE(document.hasNonCrossingLine());
    EXPECT_TRUE(document.hasCrossingLine());
}

} // namespace
} // namespace crackdepth::app
