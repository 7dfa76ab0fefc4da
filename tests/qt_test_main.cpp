// GoogleTest main for the tests that need a Qt application: the offscreen platform, so the
// tests never need a display, and the font substitutions of the program. The widget tests
// also start the application as the program does (its names, Qt's Chinese texts) and keep
// their settings in a folder of their own, never in the user's.
#include <gtest/gtest.h>

#ifdef CRACKDEPTH_WIDGETS_TESTS
#include "app/application_setup.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include "draw/fonts.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication application(argc, argv);
    crackdepth::draw::installFontSubstitutions();
#ifdef CRACKDEPTH_WIDGETS_TESTS
    crackdepth::app::prepareApplication(application);
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
