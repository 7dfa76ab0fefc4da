// The report commands as the operator meets them: where they sit in the menu and the
// toolbar, the preview's pages, Ctrl+P printing the pages a PDF reader then counts, and the
// greyed state while wave-train mode is on.
#include "app/frame/main_window.h"
#include "app/frame/report_printing.h"
#include "window_fixture.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <cstdio>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

using testing::whenShown;

class ReportCommandsTest : public testing::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(window.openFile(path("SITE.DPA")));
        QApplication::processEvents();
    }
};

QStringList captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    return texts;
}

TEST_F(ReportCommandsTest, ThePdfReportFollowsTheBitmapReportInTheMenuAndTheToolbar) {
    QMenu* reports = nullptr;
    for (QAction* top : window.menuBar()->actions()) {
        if (top->text() == QStringLiteral("生成报告(&R)")) {
            reports = top->menu();
        }
    }
    ASSERT_NE(reports, nullptr);
    EXPECT_EQ(captions(reports->actions()),
              QStringList({"输出到word", "输出到excel", "输出到BMP", "输出到PDF"}));
    const auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("toolbar"));
    ASSERT_NE(toolbar, nullptr);
    const QList<QAction*> buttons = toolbar->actions();
    const auto bitmap = buttons.indexOf(window.action(Command::BitmapReport));
    ASSERT_GE(bitmap, 0);
    EXPECT_EQ(buttons.value(bitmap + 1), window.action(Command::PdfReport));
    EXPECT_EQ(window.action(Command::PdfReport)->toolTip(), QStringLiteral("输出报告到PDF"));
    EXPECT_EQ(window.action(Command::Print)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
}

TEST_F(ReportCommandsTest, ThePreviewShowsEveryPage) {
    int pages = -1;
    const auto seen = whenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
        if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
            pages = preview->pageCount();
        }
        dialog.reject();
    });
    window.action(Command::PrintPreview)->trigger();
    ASSERT_TRUE(seen->seen);
    EXPECT_EQ(pages, 3) << "two cracks of the standard style, one over two pages";
}

TEST_F(ReportCommandsTest, CtrlPPrintsThePagesAPdfReaderCounts) {
    const std::string out = at("printed.pdf");
    const auto seen = whenShown<QPrintDialog>([&](QPrintDialog& dialog) {
        EXPECT_EQ(dialog.printer()->fromPage(), 1);
        EXPECT_EQ(dialog.printer()->toPage(), 3);
        // Printed to a file, as the operator chooses it in the dialog (a machine without
        // printers offers only that).
        auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
        ASSERT_NE(file, nullptr);
        file->setText(QString::fromStdString(out));
        dialog.accept();
    });
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(seen->seen);
    ASSERT_TRUE(std::filesystem::exists(out));
    std::string info;
    if (FILE* pipe = ::popen(("pdfinfo '" + out + "'").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            info += buffer;
        }
        ::pclose(pipe);
    }
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    EXPECT_TRUE(prompts.messages().empty());

    // A file the printer cannot create is no print.
    const auto again = whenShown<QPrintDialog>([&](QPrintDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("filename"))
            ->setText(QString::fromStdString(at("missing/printed.pdf")));
        dialog.accept();
    });
    window.action(Command::Print)->trigger();
    ASSERT_TRUE(again->seen);
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{kPrintFailedMessage});
}

// Records the files the desktop would open, instead of opening them.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(ReportCommandsTest, OfficeReportsOpenInTheOfficeProgram) {
    OpenedFiles opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    const struct {
        Command command;
        const char* file;
    } cases[] = {{Command::WordReport, "report.docx"}, {Command::SpreadsheetReport, "report.xlsx"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        document.SelectTab(1);
        prompts.files = {at(c.file)};
        window.action(c.command)->trigger();
        EXPECT_TRUE(std::filesystem::exists(at(c.file)));
        ASSERT_FALSE(opened.urls.isEmpty());
        EXPECT_EQ(opened.urls.back(), QUrl::fromLocalFile(path(c.file)));
        EXPECT_EQ(document.data().currentTab, 2) << "the last crack's tab";
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor ended";
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST_F(ReportCommandsTest, GreyedInWaveTrainMode) {
    window.action(Command::WaveTrain)->trigger();
    QApplication::processEvents();
    for (const Command command :
         {Command::Print, Command::PrintPreview, Command::BitmapReport, Command::PdfReport}) {
        EXPECT_FALSE(window.action(command)->isEnabled()) << static_cast<int>(command);
    }
    window.action(Command::WaveTrain)->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(window.action(Command::PdfReport)->isEnabled());
}

} // namespace
} // namespace crackdepth::app

#include "report_commands_test.moc"
