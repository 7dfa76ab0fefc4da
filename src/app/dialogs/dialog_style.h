// The look every dialog of the program shares: slightly translucent, centred over the
// window that opens it, and of the size its controls need.
#pragma once

class QDialog;

namespace crackdepth::app {

inline constexpr double kDialogOpacity = 240 / 255.0;
inline constexpr double kAboutOpacity = 220 / 255.0;

// Call once the dialog's layout is set. Centring needs nothing here: QDialog centres itself
// over its parent window (or the screen, without one) each time it is shown, unless it was
// moved by hand.
void applyDialogStyle(QDialog& dialog, double opacity = kDialogOpacity);

} // namespace crackdepth::app
