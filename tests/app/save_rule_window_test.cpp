// The save rule on the paths only the window has: a recent-file entry, Ctrl+O, a dropped file,
// a double-click in the information panel's file list, "关闭当前文档" and closing the window.
// Each asks one question for a modified document and none otherwise; Cancel leaves the
// document, the window and the recent-file list as they were. And the title's modified mark.
#include "app/frame/info_panel.h"
#include "window_fixture.h"

#include <QAction>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

// Constructed before the window, whose recent-file list is read when it is built.
struct EmptySettings {
    EmptySettings() { QSettings().clear(); }
};

class SaveRuleWindowTest : protected EmptySettings, public testing::WindowFixture {
public:
    // For the table's steps.
    using testing::WindowFixture::at;
    using testing::WindowFixture::document;
    using testing::WindowFixture::path;
    using testing::WindowFixture::prompts;
    using testing::WindowFixture::window;

    // The document on SITE.DPA, with OTHER.DPA beside it and second in the recent files.
    void openSite() {
        testing::writeBytes(dir.path() / "OTHER.DPA",
                            testing::readBytes(testing::kFixtures / "SITE.DPA"));
        ASSERT_TRUE(window.openFile(path("OTHER.DPA")));
        ASSERT_TRUE(window.openFile(path("SITE.DPA")));
        QApplication::processEvents();
        prompts.shown.clear();
    }
    QAction* recentEntry(int number) const {
        for (QAction* item : window.menuBar()->actions().front()->menu()->actions()) {
            if (item->isVisible() && item->text().startsWith(QStringLiteral("&%1 ").arg(number))) {
                return item;
            }
        }
        return nullptr;
    }
    void drop(const QString& file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        // The drop reaches the window that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    }
    void doubleClickInFileList(const QString& name) {
        QListWidget& list = *window.infoPanel()->fileList();
        const QList<QListWidgetItem*> found = list.findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        emit list.itemDoubleClicked(found.front());
    }
    bool showsOther() const { return document.title() == std::string(kTitlePrefix) + "OTHER.DPA"; }
};

TEST_F(SaveRuleWindowTest, EveryWindowPathAsksOnceForAModifiedDocumentAndCancelKeepsAll) {
    struct Path {
        const char* name;
        std::function<void(SaveRuleWindowTest&)> run;
        std::function<bool(SaveRuleWindowTest&)> done;
    };
    const auto opened = [](SaveRuleWindowTest& t) { return t.showsOther(); };
    const Path paths[] = {
        {"recent file", [](SaveRuleWindowTest& t) { t.recentEntry(2)->trigger(); }, opened},
        {"Ctrl+O",
         [](SaveRuleWindowTest& t) {
             t.prompts.files.push_front(t.at("OTHER.DPA"));
             QTest::keyClick(&t.window, Qt::Key_O, Qt::ControlModifier);
         },
         opened},
        {"dropped file", [](SaveRuleWindowTest& t) { t.drop(t.path("OTHER.DPA")); }, opened},
        {"file list", [](SaveRuleWindowTest& t) { t.doubleClickInFileList("OTHER.DPA"); }, opened},
        {"关闭当前文档", [](SaveRuleWindowTest& t) { t.window.action(Command::Close)->trigger(); },
         [](SaveRuleWindowTest& t) { return !t.document.hasNonCrossingLine(); }},
        {"closing the window", [](SaveRuleWindowTest& t) { t.window.close(); },
         [](SaveRuleWindowTest& t) { return !t.window.isVisible(); }},
    };
    struct Answered {
        const char* name;
        bool modified;
        std::optional<Answer> answer;
    };
    const Answered answers[] = {
        {"unmodified", false, std::nullopt},
        {"Cancel", true, Answer::Cancel},
        {"No", true, Answer::No},
    };
    for (const Path& p : paths) {
        for (const Answered& a : answers) {
            SCOPED_TRACE(std::string(p.name) + ", " + a.name);
            window.show();
            openSite();
            if (a.modified) {
                window.action(Command::Invert)->trigger();
                ASSERT_TRUE(document.IsModified());
            }
            const QStringList recent = window.recentFiles().entries();
            prompts.shown.clear();
            if (a.answer) {
                prompts.answers = {*a.answer};
            }
            p.run(*this);
            QApplication::processEvents();

            std::vector<std::string> asked;
            for (const auto& shown : prompts.shown) {
                if (shown.kind != "open") {
                    asked.push_back(shown.kind);
                }
            }
            EXPECT_EQ(asked, a.answer ? std::vector<std::string>{"yesNoCancel"}
                                      : std::vector<std::string>{});
            EXPECT_EQ(p.done(*this), a.answer != Answer::Cancel);
            if (a.answer == Answer::Cancel) {
                EXPECT_EQ(document.title(), std::string(kTitlePrefix) + "SITE.DPA");
                EXPECT_TRUE(document.IsModified());
                EXPECT_TRUE(window.isVisible());
                EXPECT_EQ(window.recentFiles().entries(), recent)
                    << "a cancelled open stays listed";
            }
            prompts.answers.clear();
            prompts.files.clear();
        }
    }
}

// The title carries Qt's modified mark from the first edit until a save or an undo back to
// the saved state.
TEST_F(SaveRuleWindowTest, TheTitleMarksTheDocumentModifiedUntilSavedOrUndone) {
    openSite();
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("SITE.DPA[*]")));
    EXPECT_FALSE(window.isWindowModified());
    window.action(Command::Invert)->trigger();
    EXPECT_TRUE(window.isWindowModified()) << "the first edit";
    window.action(Command::Undo)->trigger();
    EXPECT_FALSE(window.isWindowModified()) << "undone back to the saved state";
    window.action(Command::Redo)->trigger();
    EXPECT_TRUE(window.isWindowModified());
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window.isWindowModified()) << "saved";
    window.action(Command::Undo)->trigger();
    EXPECT_TRUE(window.isWindowModified()) << "undone past the save";
    window.action(Command::Close)->trigger(); // answered "Yes" by the scripted prompts
    EXPECT_FALSE(window.isWindowModified());
}

} // namespace
} // namespace crackdepth::app
