// The desktop program from start to end: the application object, the one document, the main
// window, the recovery copy, the file named on the command line, the event loop. `main` runs
// it as it is; a test program runs the very same start with its own folder and scripted
// answers, and acts on the running program through `started`.
#pragma once

#include "core/data/settings_location.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

class QString;

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

class MainWindow;
class RecoveryGuard;

struct ProgramSetup {
    // Where the settings are read and written; none: the rule for this machine.
    std::optional<SettingsPaths> settings;
    // How often the recovery copy is brought up to date.
    std::chrono::milliseconds recoveryInterval{std::chrono::seconds(60)};
    // Answers the recovery question instead of a message box ("恢复" true).
    std::function<bool(const QString& question)> askRecovery;
    // Called once everything has started, before the event loop runs.
    std::function<void(Document&, MainWindow&, RecoveryGuard&)> started;
};

int runDesktopProgram(int argc, char** argv, const ProgramSetup& setup = {});

} // namespace crackdepth::app
