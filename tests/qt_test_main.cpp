// GoogleTest main for the tests that need a Qt application: the offscreen platform, so the
// tests never need a display, and the font substitutions of the program.
#include <gtest/gtest.h>

#ifdef CRACKDEPTH_WIDGETS_TESTS
#include <QApplication>
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
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
