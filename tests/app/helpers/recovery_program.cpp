// The desktop program as the recovery test runs it: the program's own start with its settings
// (and so its recovery copies) in a folder of the test's, a recovery check every 100 ms, and
// the operator's part given by the first argument:
//   recovery_program edit <folder> <file>     opens <file>, makes the edits of
//       editLikeAnOperator, prints "READY" once the copy holds them all and runs until killed;
//   recovery_program restore <folder> <file>  answers "恢复" to every recovery question, prints
//       what it saw ("ASKED n", "MODIFIED", "PATH", "TITLE"); after a restore saves as Ctrl+S
//       does and prints "COPY-AFTER-SAVE 0|1"; then closes its window (a clean end).
#include "../../core/recovery_edits.h"
#include "app/desktop_program.h"
#include "app/frame/main_window.h"
#include "app/frame/recovery_guard.h"

#include <QString>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: recovery_program edit|restore FOLDER FILE\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::filesystem::path folder = argv[2];
    // The recent-file list too stays in the test's folder.
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    static char* programArguments[] = {argv[0], argv[3], nullptr};
    static int programCount = 2;

    using namespace crackdepth;
    app::ProgramSetup setup;
    setup.settings = SettingsPaths(folder / "tessvel.ini");
    setup.recoveryInterval = std::chrono::milliseconds(100);
    int asked = 0;
    bool pathShown = false;
    setup.askRecovery = [&](const QString& question) {
        ++asked;
        pathShown = question.contains(QString::fromLocal8Bit(argv[3]));
        if (mode != "restore") {
            say("UNEXPECTED QUESTION");
        }
        return true;
    };
    setup.started = [&](Document& document, app::MainWindow& window, app::RecoveryGuard& recovery) {
        if (mode == "edit") {
            testing::editLikeAnOperator(document);
            auto* poll = new QTimer(&window);
            QObject::connect(poll, &QTimer::timeout, &window, [poll, &recovery] {
                if (recovery.upToDate()) {
                    poll->stop();
                    say("READY " + recovery.file().string());
                }
            });
            poll->start(20);
            return;
        }
        say("ASKED " + std::to_string(asked));
        if (asked > 0) {
            say(std::string("QUESTION-NAMES-FILE ") + (pathShown ? "1" : "0"));
            say(std::string("MODIFIED ") + (document.IsModified() ? "1" : "0"));
            say("PATH " + document.path());
            // As the window system shows it: the modified mark in place of its placeholder.
            QString title = window.windowTitle();
            title.replace(QStringLiteral("[*]"),
                          window.isWindowModified() ? QStringLiteral("*") : QString());
            say("TITLE " + title.toStdString());
            const std::filesystem::path copy = recovery.file();
            document.SaveDocument(document.path()); // Ctrl+S
            say(std::string("COPY-AFTER-SAVE ") + (std::filesystem::exists(copy) ? "1" : "0"));
        }
        QTimer::singleShot(0, &window, [&window] { window.close(); });
    };
    return app::runDesktopProgram(programCount, programArguments, setup);
}
