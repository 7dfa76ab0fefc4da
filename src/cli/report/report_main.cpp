// crackdepth-cli-report: the `report` command of crackdepth-cli in a program of its own, so
// that the drawing libraries load only when a report is drawn and every other command starts
// and runs as lean as before. crackdepth-cli hands `report` over to it.
#include "cli/commands.h"
#include "cli/output.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const crackdepth::cli::Words words(argv + 1, argv + argc);
    return crackdepth::cli::runChecked(
        "report", [&] { return crackdepth::cli::runReport(words, std::cout, std::cerr); },
        std::cout, std::cerr);
}
