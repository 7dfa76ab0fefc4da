// The main window on the large result file (10 lines × 1000 points × 1024 samples): a key
// press, from the key event to the end of the repaint it causes. Down moves to the next
// point (a selection), Right moves the first arrival (an edit); each alternates with its
// opposite so that the window stays in the middle of the line.
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "core/common/atomic_file.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "gui_bench_main.h"
#include "large_result_file.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

using namespace crackdepth;

namespace {

// A window with the large file open on its second tab, at point 500, painted once.
struct LargeWindow {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    app::QtPrompts qtPrompts;
    Document document{prompts, {}};
    app::MainWindow window{document, qtPrompts};
    bool ready = false;

    LargeWindow() {
        const QString path = dir.filePath(QStringLiteral("LARGE.DPA"));
        if (!writeFileAtomically(path.toStdString(), bench::serialise(bench::makeLines())).ok) {
            return;
        }
        window.resize(1600, 900);
        window.show();
        if (!window.openFile(path)) {
            return;
        }
        document.SelectTab(1);
        document.SelectPoint(*document.data().shownId(), 500);
        settle();
        ready = true;
    }

    // Every pending refresh and repaint done.
    static void settle() {
        for (int k = 0; k < 3; ++k) {
            QApplication::processEvents();
        }
    }
};

// Made once for every benchmark and closed before the application object goes.
std::unique_ptr<LargeWindow> large;

void pressKeys(benchmark::State& state, Qt::Key forward, Qt::Key back) {
    if (!large) {
        large = std::make_unique<LargeWindow>();
    }
    if (!large->ready) {
        state.SkipWithError("the large file did not open");
        return;
    }
    bool ahead = false;
    for (auto _ : state) {
        QTest::keyClick(&large->window, ahead ? back : forward);
        LargeWindow::settle();
        ahead = !ahead;
    }
}

void BM_MainWindowDownKey(benchmark::State& state) {
    pressKeys(state, Qt::Key_Down, Qt::Key_Up);
}
BENCHMARK(BM_MainWindowDownKey)->Unit(benchmark::kMillisecond);

void BM_MainWindowRightKey(benchmark::State& state) {
    pressKeys(state, Qt::Key_Right, Qt::Key_Left);
}
BENCHMARK(BM_MainWindowRightKey)->Unit(benchmark::kMillisecond);

} // namespace

CRACKDEPTH_GUI_BENCHMARK_MAIN(large.reset())
