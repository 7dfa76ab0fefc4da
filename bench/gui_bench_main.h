// The main of the drawing and desktop benchmarks: a Qt application on the offscreen platform
// with the program's font substitutions, then Google Benchmark; the macro's argument runs
// after the benchmarks, while the application object still exists.
#pragma once

#include "draw/fonts.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#define CRACKDEPTH_GUI_BENCHMARK_MAIN(...)                                                         \
    int main(int argc, char** argv) {                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        QApplication application(argc, argv);                                                      \
        crackdepth::draw::installFontSubstitutions();                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) {                                  \
            return 1;                                                                              \
        }                                                                                          \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        __VA_ARGS__; /* what must end before the application object */                             \
        return 0;                                                                                  \
    }
