#include "app/desktop_program.h"

#include "app/application_setup.h"
#include "app/frame/guarded_application.h"
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "app/frame/recovery_guard.h"
#include "app/frame/report_preferences.h"
#include "core/document/model/document.h"
#include "draw/fonts.h"

#include <QApplication>
#include <QScreen>

namespace crackdepth::app {

int runDesktopProgram(int argc, char** argv, const ProgramSetup& setup) {
    // Before the application object, which reports through it when a command runs out of
    // memory.
    QtPrompts prompts;
    GuardedApplication application(argc, argv, prompts);
    prepareApplication(application);
    QApplication::setApplicationVersion(QStringLiteral(CRACKDEPTH_VERSION));
    draw::installFontSubstitutions();

    const SettingsPaths settings =
        setup.settings ? *setup.settings : settingsPathsFor(executableFolder());
    // Declared before the window, so the document (which saves the settings when it goes)
    // outlives every view of it.
    Document document(prompts, settings);
    // What the settings file has no room for comes from the program's own settings store.
    PrintSettings print = document.settings().print;
    restoreReportPreferences(print);
    document.setPrintSettings(print);
    MainWindow window(document, prompts);
    prompts.setParent(&window);
    // The recovery copy lives beside the settings; it goes before the window and the
    // document, which is the clean end that removes it.
    RecoveryGuard recovery(document, settings.write.parent_path(), &window, setup.recoveryInterval);
    if (setup.askRecovery) {
        recovery.setAsk(setup.askRecovery);
    }
    // Without a window manager (a bare X server) maximising does nothing: start at full size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
    // Work lost to a crash comes first; once restored it is not replaced by the file named on
    // the command line (which the operator can open next, with the save question).
    const bool restored = recovery.offerLeftovers();
    const QStringList arguments = QApplication::arguments();
    if (!restored && arguments.size() > 1) {
        runGuarded(
            [&] {
                window.openFile(arguments.at(1));
                return true;
            },
            prompts);
    }
    if (setup.started) {
        setup.started(document, window, recovery);
    }
    const int status = QApplication::exec();
    // The document says so when it cannot save the settings, after the window has gone.
    prompts.setParent(nullptr);
    return status;
}

} // namespace crackdepth::app
