#include "app/application_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace crackdepth::app {

bool installQtTranslations(QCoreApplication& application) {
    // The program speaks Simplified Chinese whatever the desktop's language, so Qt's texts
    // follow the program, not the system locale.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void prepareApplication(QCoreApplication& application) {
    QCoreApplication::setOrganizationName(QString::fromUtf8(kSettingsOrganisation));
    QCoreApplication::setApplicationName(QString::fromUtf8(kSettingsApplication));
    // Qt describes files (the file dialog's type column) in the default locale's language.
    // Chinese writes the decimal point as C does, and the program formats and reads its
    // numbers itself, so nothing numeric changes.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    installQtTranslations(application);
}

} // namespace crackdepth::app
