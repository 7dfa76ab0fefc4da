#include "app/frame/guarded_application.h"

#include <new>

namespace crackdepth::app {

bool runGuarded(const std::function<bool()>& handle, UserPrompts& prompts) {
    try {
        return handle();
    } catch (const std::bad_alloc&) {
        prompts.message(kOutOfMemoryMessage, MessageIcon::Error);
        return true;
    }
}

GuardedApplication::GuardedApplication(int& argc, char** argv, UserPrompts& prompts)
    : QApplication(argc, argv), prompts_(prompts) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return runGuarded([&] { return QApplication::notify(receiver, event); }, prompts_);
}

} // namespace crackdepth::app
