// Reading what the X server holds: window properties and the keyboard's lock modifiers,
// through the program's own connection.
#pragma once

#include <QGuiApplication>
#include <QString>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace crackdepth::app::testing {

inline Display* display() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

// The text property `name` of the window, as other clients (the window manager's title
// bar, a task bar) read it, whatever its encoding (UTF-8, or compound text for WM_NAME);
// empty when it is not set. Everything the program asked the server to do is done first.
inline QString textProperty(unsigned long window, const char* name) {
    Display* x = display();
    XSync(x, False);
    XTextProperty property{};
    if (XGetTextProperty(x, window, &property, XInternAtom(x, name, False)) == 0) {
        return {};
    }
    char** list = nullptr;
    int count = 0;
    QString text;
    if (Xutf8TextPropertyToTextList(x, &property, &list, &count) == Success && count > 0) {
        text = QString::fromUtf8(list[0]);
    }
    if (list != nullptr) {
        XFreeStringList(list);
    }
    XFree(property.value);
    return text;
}

// Locks or unlocks the modifier that `keysym` (Caps_Lock, Num_Lock) is bound to, as pressing
// the key would; false when the keymap binds it to none.
inline bool lockModifierOf(unsigned long keysym, bool locked) {
    Display* x = display();
    const unsigned int mask = XkbKeysymToModifiers(x, keysym);
    if (mask == 0) {
        return false;
    }
    XkbLockModifiers(x, XkbUseCoreKbd, mask, locked ? mask : 0);
    XSync(x, False);
    return true;
}

} // namespace crackdepth::app::testing
