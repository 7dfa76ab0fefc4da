// The desktop program: one document, one main window.
#include "app/application_setup.h"
#include "app/frame/guarded_application.h"
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "app/frame/report_preferences.h"
#include "core/data/settings_location.h"
#include "core/document/document.h"
#include "draw/fonts.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    // Before the application object, which reports through it when a command runs out of
    // memory.
    crackdepth::app::QtPrompts prompts;
    crackdepth::app::GuardedApplication application(argc, argv, prompts);
    crackdepth::app::prepareApplication(application);
    QApplication::setApplicationVersion(QStringLiteral(CRACKDEPTH_VERSION));
    crackdepth::draw::installFontSubstitutions();

    // Declared before the window, so the document (which saves the settings when it goes)
    // outlives every view of it.
    crackdepth::Document document(prompts,
                                  crackdepth::settingsPathsFor(crackdepth::executableFolder()));
    // What the settings file has no room for comes from the program's own settings store.
    crackdepth::app::restoreReportPreferences(document.settings().print);
    crackdepth::app::MainWindow window(document, prompts);
    prompts.setParent(&window);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        crackdepth::app::runGuarded(
            [&] {
                window.openFile(arguments.at(1));
                return true;
            },
            prompts);
    }
    // Without a window manager (a bare X server) maximising does nothing: start at full size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
    const int status = QApplication::exec();
    // The document says so when it cannot save the settings, after the window has gone.
    prompts.setParent(nullptr);
    return status;
}
