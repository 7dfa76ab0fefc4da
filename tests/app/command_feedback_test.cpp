// Commands that write files say what they did: "合并" names the result file, offers to open
// it and closes; the office reports name their file and say when no program could open it;
// the bitmap report asks once and writes every page.
#include "app/dialogs/merge_dialog.h"
#include "app/frame/main_window.h"
#include "core/document/model/merge.h"
#include "report/mono_bmp.h"
#include "window_fixture.h"

#include <QPushButton>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

using testing::whenShown;

class CommandFeedbackTest : public testing::WindowFixture {};

TEST_F(CommandFeedbackTest, MergeNamesTheResultFileOffersToOpenItAndCloses) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::Yes ? "open it" : "leave it");
        ASSERT_TRUE(window.openFile(path("SITE.DP0")));
        prompts.shown.clear();
        const std::string target = at(answer == Answer::Yes ? "OPENED.DPA" : "LEFT.DPA");
        prompts.files = {target};
        prompts.answers = {answer};
        bool closed = false;
        const auto watch = whenShown<MergeDialog>([&](MergeDialog& dialog) {
            std::deque<std::vector<std::string>> chosen{{at("SITE.DP0")}, {at("SITE_C1.DP1")}};
            dialog.setFileChooser([&chosen](const std::string&) {
                auto next = chosen.front();
                chosen.pop_front();
                return next;
            });
            dialog.addNonCrossingButton()->click();
            dialog.addCrossingButton()->click();
            dialog.mergeButton()->click();
            closed = !dialog.isVisible();
            if (!closed) {
                dialog.reject(); // the test fails below; the modal loop must still end
            }
        });
        window.action(Command::Merge)->trigger();
        ASSERT_TRUE(watch->seen);
        EXPECT_TRUE(closed) << "the dialog closes after a merge";
        EXPECT_TRUE(std::filesystem::exists(target));
        ASSERT_EQ(prompts.shown.size(), 2u);
        EXPECT_EQ(prompts.shown[1].kind, "yesNo");
        EXPECT_EQ(prompts.shown[1].text, mergedQuestion(target));
        EXPECT_NE(prompts.shown[1].text.find(target), std::string::npos) << "says where";
        EXPECT_EQ(document.path(), answer == Answer::Yes ? target : at("SITE.DP0"));
        EXPECT_EQ(document.resultLoaded(), answer == Answer::Yes);
    }
}

TEST_F(CommandFeedbackTest, OfficeReportsNameTheirFileAndSayWhenNoProgramCouldOpenIt) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    const struct {
        Command command;
        const char* file;
        bool opens;
    } cases[] = {
        {Command::WordReport, "report.docx", false},
        {Command::SpreadsheetReport, "report.xlsx", false},
        {Command::WordReport, "shown.docx", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        prompts.shown.clear();
        prompts.files = {at(c.file)};
        QStringList asked;
        window.setFileOpener([&](const QString& file) {
            asked << file;
            return c.opens;
        });
        window.action(c.command)->trigger();
        ASSERT_TRUE(std::filesystem::exists(at(c.file)));
        EXPECT_EQ(asked, QStringList{path(c.file)});
        EXPECT_EQ(window.statusBar()->currentMessage(), "报告已保存到：" + path(c.file));
        if (c.opens) {
            EXPECT_TRUE(prompts.messages().empty()) << "the office program shows the report";
        } else {
            ASSERT_EQ(prompts.messages().size(), 1u);
            EXPECT_EQ(prompts.messages().front(),
                      "报告已保存到：\n" + at(c.file) + "\n\n" + kReportNotOpenedText);
            EXPECT_EQ(prompts.shown.back().icon, MessageIcon::Warning);
        }
    }
}

TEST_F(CommandFeedbackTest, TheBitmapReportAsksOnceAndWritesEveryPage) {
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    prompts.shown.clear();
    prompts.files = {at("pages.bmp")};
    window.action(Command::BitmapReport)->trigger();
    std::size_t dialogs = 0;
    for (const auto& shown : prompts.shown) {
        dialogs += shown.kind == "save" ? 1u : 0u;
    }
    EXPECT_EQ(dialogs, 1u);
    for (const char* page : {"pages_1.bmp", "pages_2.bmp", "pages_3.bmp"}) {
        EXPECT_TRUE(std::filesystem::exists(at(page))) << page;
    }
    EXPECT_FALSE(std::filesystem::exists(at("pages_4.bmp")));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().starts_with(report::kBmpPageWrittenMessage));
}

} // namespace
} // namespace crackdepth::app
