// GoogleTest main for the checks that need a real X display (run under Xvfb): what the X
// server holds for the program's windows. The application starts as the program's does.
#include "app/application_setup.h"
#include "draw/fonts.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    crackdepth::draw::installFontSubstitutions();
    crackdepth::app::prepareApplication(application);
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
