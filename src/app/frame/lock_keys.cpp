#include "app/frame/lock_keys.h"

#include <QGuiApplication>

#ifdef CRACKDEPTH_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace crackdepth::app {

#ifdef CRACKDEPTH_HAVE_X11
namespace {

// Unknown indicator names (a keymap without Scroll Lock, say) read as off.
bool indicatorOn(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, False);
    Bool on = False;
    return atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) &&
           on;
}

} // namespace

std::optional<LockKeys> readLockKeys() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 == nullptr ? nullptr : x11->display();
    if (display == nullptr) {
        return std::nullopt;
    }
    return LockKeys{indicatorOn(display, "Caps Lock"), indicatorOn(display, "Num Lock"),
                    indicatorOn(display, "Scroll Lock")};
}
#else
std::optional<LockKeys> readLockKeys() {
    return std::nullopt;
}
#endif

} // namespace crackdepth::app
