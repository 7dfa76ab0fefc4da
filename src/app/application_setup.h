// What the desktop program sets on its application object before any window exists: the
// names its settings are kept under, and Qt's own texts (message-box buttons, file dialogs)
// in Chinese. The program and its tests both start through prepareApplication, so the tests
// see the texts the operator sees.
#pragma once

class QCoreApplication;

namespace crackdepth::app {

// The program's name, in message-box captions and the About box. It is deliberately not
// Qt's application display name: the window system would append that to every title.
inline constexpr const char* kProgramName = "ULK浅裂缝分析软件";

// The QSettings folder and file: ~/.config/crackdepth/crackdepth.conf on Linux, beside the
// user's settings file.
inline constexpr const char* kSettingsOrganisation = "crackdepth";
inline constexpr const char* kSettingsApplication = "crackdepth";

// Loads Qt's own Simplified Chinese translations from Qt's translations folder; false when
// they are not installed, and Qt's texts stay English.
bool installQtTranslations(QCoreApplication& application);

// The names, Chinese as Qt's default locale, and the translations.
void prepareApplication(QCoreApplication& application);

} // namespace crackdepth::app
