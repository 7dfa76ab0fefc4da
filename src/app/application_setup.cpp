#include "app/application_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
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
    installQtTranslations(application);
}

} // namespace crackdepth::app
