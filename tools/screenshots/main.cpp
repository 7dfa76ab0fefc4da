// Developer tool: renders the main window with the demo measurement in its typical states
// into PNG files, for the README and for looking at the program without a display.
// Usage: crackdepth-screenshots DEMO.DPA OUTPUT_FOLDER
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/filter_dialog.h"
#include "app/dialogs/print_settings_dialog.h"
#include "app/dialogs/test_parameters_dialog.h"
#include "app/dialogs/time_correction_dialog.h"
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "core/analysis/transit_time.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/scripted_prompts.h"
#include "draw/fonts.h"

#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QTableWidget>
#include <QTimer>

using namespace crackdepth;

namespace {

constexpr std::int32_t kLatePick = 30; // samples the disturbed pick lies after the suggestion

// Grabs the first visible dialog of type T into `path` once a modal loop has shown it and
// given it `settle` ms to draw, then closes it.
template <typename T> void grabWhenShown(const QString& path, int settle) {
    auto* timer = new QTimer;
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, path, settle] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<T*>(widget);
            if (dialog == nullptr || !dialog->isVisible()) {
                continue;
            }
            timer->stop();
            timer->deleteLater();
            QTimer::singleShot(settle, dialog, [dialog, path] {
                dialog->grab().save(path);
                dialog->reject();
            });
            return;
        }
    });
    timer->start();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 3) {
        qWarning("usage: crackdepth-screenshots DEMO.DPA OUTPUT_FOLDER");
        return 2;
    }
    draw::installFontSubstitutions();
    ScriptedPrompts prompts;
    app::QtPrompts qtPrompts;
    Document document(prompts, {});
    app::MainWindow window(document, qtPrompts);
    window.resize(1600, 900);
    window.show();
    if (!window.openFile(QString::fromLocal8Bit(argv[1]))) {
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    const auto shoot = [&](const char* name) {
        QApplication::processEvents();
        window.repaint();
        QApplication::processEvents();
        window.grab().save(output.filePath(QString::fromUtf8(name)));
    };
    window.lineTabBar()->setCurrentIndex(1);
    document.SelectPoint(*document.data().shownId(), 3);
    shoot("main_time_table.png");
    window.action(Command::TimeFrequency)->trigger();
    shoot("main_spectrum_table.png");
    window.action(Command::TimeFrequency)->trigger();
    window.action(Command::WaveTrain)->trigger();
    shoot("main_wave_train.png");
    window.action(Command::WaveTrain)->trigger();
    QApplication::processEvents();

    // A pick set late by a slip of the hand: the suggestion dashed beside it and the finding in
    // the checks list. Undone afterwards, so the later shots show the demo as it is.
    const MeasuringPoint& point = *currentPoint(document.data());
    if (const auto suggestion = suggestionFor(point)) {
        const DocumentData& data = document.data();
        const std::int32_t shift =
            transitTime(point, data.lineCorrection(), data.correctionAll).shift;
        PickArrival(document, suggestion->index + kLatePick + shift);
        shoot("suggested_pick.png");
        document.Undo();
        QApplication::processEvents();
    }

    // The dialogs, each over the demo's current point, closed with Cancel. The merge dialog is
    // shot by hand, with raw files chosen, which an empty dialog would not show.
    grabWhenShown<app::FilterDialog>(output.filePath("dialog_filter.png"), 300);
    window.action(Command::Filter)->trigger();
    grabWhenShown<app::TimeCorrectionDialog>(output.filePath("dialog_time_correction.png"), 200);
    window.action(Command::TimeCorrection)->trigger();
    grabWhenShown<app::TestParametersDialog>(output.filePath("dialog_test_parameters.png"), 200);
    window.action(Command::TestParameters)->trigger();
    grabWhenShown<app::AboutDialog>(output.filePath("dialog_about.png"), 200);
    window.action(Command::About)->trigger();
    grabWhenShown<app::PrintSettingsDialog>(output.filePath("dialog_print_settings.png"), 200);
    window.action(Command::PrintSettings)->trigger();
    grabWhenShown<QPrintPreviewDialog>(output.filePath("dialog_print_preview.png"), 500);
    window.action(Command::PrintPreview)->trigger();
    return 0;
}
