// The recent files at app level: every successful open puts its file first in the "文件(&F)"
// menu, in place of the placeholder "最近的文件", at most four; the list outlives the window
// in crackdepth's own settings; an entry opens its file, and one that no longer opens goes.
#include "app/frame/recent_files.h"
#include "window_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

// Constructed before the window, whose recent-file list is read when it is built.
struct EmptySettings {
    EmptySettings() { QSettings().clear(); }
};

class RecentFilesTest : protected EmptySettings, public testing::WindowFixture {
protected:
    // The texts of the "文件(&F)" menu from the separator after "打印" to "退出", the
    // separators as "-" and hidden items left out.
    static QStringList recentSection(const MainWindow& window) {
        QStringList texts;
        bool inside = false;
        for (QAction* item : window.menuBar()->actions().front()->menu()->actions()) {
            if (item->text() == QStringLiteral("打印")) {
                inside = true;
                continue;
            }
            if (!inside || !item->isVisible()) {
                continue;
            }
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
            if (item->text().startsWith(QStringLiteral("退出"))) {
                break;
            }
        }
        return texts;
    }
    QAction* entry(int number) const {
        for (QAction* item : window.menuBar()->actions().front()->menu()->actions()) {
            if (item->isVisible() && item->text().startsWith(QStringLiteral("&%1 ").arg(number))) {
                return item;
            }
        }
        return nullptr;
    }
    QString shown(int number, const std::string& name) const {
        return recentEntryText(number, path(name));
    }
};

TEST_F(RecentFilesTest, OpensFillTheMenuNewestFirstAndAtMostFour) {
    const QString exit = QStringLiteral("退出"); // its key, Esc, is the action's shortcut
    EXPECT_EQ(recentSection(window), QStringList({"-", "最近的文件", "-", exit}));
    const auto placeholder = [this] {
        for (QAction* item : window.menuBar()->actions().front()->menu()->actions()) {
            if (item->text() == QStringLiteral("最近的文件")) {
                return item;
            }
        }
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(placeholder(), nullptr);
    EXPECT_FALSE(placeholder()->isEnabled());

    testing::writeBytes(dir.path() / "OTHER.DPA",
                        testing::readBytes(testing::kFixtures / "SITE.DPA"));
    for (const char* name : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA", "OTHER.DPA"}) {
        ASSERT_TRUE(window.openFile(path(name))) << name;
    }
    EXPECT_EQ(recentSection(window),
              QStringList({"-", shown(1, "OTHER.DPA"), shown(2, "SITE.DPA"),
                           shown(3, "SITE_C2.DP1"), shown(4, "SITE_C1.DP1"), "-", exit}));
    EXPECT_FALSE(placeholder()->isVisible());

    // Opening a listed file again moves it first.
    ASSERT_TRUE(window.openFile(path("SITE_C2.DP1")));
    EXPECT_EQ(entry(1)->text(), shown(1, "SITE_C2.DP1"));
    EXPECT_EQ(entry(2)->text(), shown(2, "OTHER.DPA"));
}

TEST_F(RecentFilesTest, TheListIsKeptInCrackdepthsOwnSettings) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    const QFileInfo file(QSettings().fileName());
    EXPECT_EQ(file.fileName(), QStringLiteral("crackdepth.conf"));
    EXPECT_EQ(file.dir().dirName(), QStringLiteral("crackdepth"));
    EXPECT_EQ(QSettings().value(QStringLiteral("recentFiles")).toStringList(),
              QStringList({path("SITE.DPA")}));

    // The next run of the program shows it.
    ScriptedPrompts otherPrompts;
    QtPrompts otherQtPrompts;
    Document other(otherPrompts, {});
    MainWindow next(other, otherQtPrompts);
    EXPECT_EQ(recentSection(next).mid(1, 1), QStringList({shown(1, "SITE.DPA")}));
}

TEST_F(RecentFilesTest, AnEntryOpensItsFileAndAVanishedOneLeavesTheList) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    ASSERT_TRUE(window.openFile(path("SITE.DP0")));
    entry(2)->trigger();
    EXPECT_EQ(document.title(), std::string(kTitlePrefix) + "SITE.DPA");
    EXPECT_EQ(entry(1)->text(), shown(1, "SITE.DPA"));

    std::filesystem::remove(dir.path() / "SITE.DP0");
    prompts.shown.clear();
    entry(2)->trigger();
    EXPECT_FALSE(prompts.messages().empty()) << "the failed open says why";
    EXPECT_EQ(recentSection(window).mid(1, 2), QStringList({shown(1, "SITE.DPA"), "-"}));
    EXPECT_EQ(window.recentFiles().entries(), QStringList({path("SITE.DPA")}));
}

// A file opened by a relative path, through "./" or by its absolute path is one entry, under
// its canonical absolute path. Before, the list held the path as given: "./SITE.DPA" (which
// names another file once the working folder changes) beside "/…/SITE.DPA".
TEST_F(RecentFilesTest, EntriesAreCanonicalAbsolutePathsWithoutDuplicates) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path().string())));
    std::filesystem::create_directories(dir.path() / "sub");
    for (const char* given : {"SITE.DPA", "./SITE.DPA", "sub/../SITE.DPA", "SITE.DP0"}) {
        EXPECT_TRUE(window.openFile(QString::fromUtf8(given))) << given;
    }
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    QDir::setCurrent(previous);
    const QString site = QFileInfo(path("SITE.DPA")).canonicalFilePath();
    const QString nonCrossing = QFileInfo(path("SITE.DP0")).canonicalFilePath();
    EXPECT_EQ(window.recentFiles().entries(), QStringList({site, nonCrossing}));
    EXPECT_EQ(QSettings().value(QStringLiteral("recentFiles")).toStringList(),
              QStringList({site, nonCrossing}));
    EXPECT_EQ(entry(1)->text(), recentEntryText(1, site));
}

TEST(RecentEntryTextTest, NumbersTheEntryAndKeepsAmpersandsVisible) {
    const struct {
        int number;
        const char* path;
        const char* text;
    } cases[] = {
        {1, "/data/A.DPA", "&1 /data/A.DPA"},
        {4, "/data/R&D/B.DP0", "&4 /data/R&&D/B.DP0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(recentEntryText(c.number, QString::fromUtf8(c.path)), QString::fromUtf8(c.text));
    }
}

} // namespace
} // namespace crackdepth::app
