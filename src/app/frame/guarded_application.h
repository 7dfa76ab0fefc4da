// The application object of the desktop program. Every command runs inside the handling of
// an event, so catching an allocation failure around each event ends that command with a
// message instead of ending the program.
#pragma once

#include "core/document/model/user_prompts.h"

#include <QApplication>
#include <functional>

namespace crackdepth::app {

inline constexpr const char* kOutOfMemoryMessage = "内存不足，无法完成此操作！";

// Runs `handle`; when it runs out of memory, shows kOutOfMemoryMessage and counts the work as
// done (true), so that nothing retries it.
bool runGuarded(const std::function<bool()>& handle, UserPrompts& prompts);

class GuardedApplication final : public QApplication {
public:
    // `prompts` must outlive the application object.
    GuardedApplication(int& argc, char** argv, UserPrompts& prompts);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    UserPrompts& prompts_;
};

} // namespace crackdepth::app
