// The desktop program: one document, one main window.
#include "app/desktop_program.h"

int main(int argc, char** argv) {
    return crackdepth::app::runDesktopProgram(argc, argv);
}
