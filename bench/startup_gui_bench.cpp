// Time from creating the document and the main window to the first painted window with the
// demo result file open (the application object exists already), on the offscreen platform.
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "draw/fonts.h"
#include "gui_bench_main.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void BM_StartToFirstPaint(benchmark::State& state) {
    const QString demo = QStringLiteral(CRACKDEPTH_EXAMPLES_DIR "/DEMO.DPA");
    for (auto _ : state) {
        crackdepth::ScriptedPrompts prompts;
        crackdepth::app::QtPrompts qtPrompts;
        crackdepth::Document document(prompts, {});
        crackdepth::app::MainWindow window(document, qtPrompts);
        window.resize(1600, 900);
        window.show();
        if (!window.openFile(demo)) {
            state.SkipWithError("the demo file did not open");
            break;
        }
        QImage picture = window.grab().toImage();
        benchmark::DoNotOptimize(picture.bits());
    }
}
BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

CRACKDEPTH_GUI_BENCHMARK_MAIN()
