// The progress of a report that takes a while, with "取消": a modal dialog that shows itself
// only once the writing has lasted a second, so short reports do not flash it.
#pragma once

#include "report/report_progress.h"

#include <QProgressDialog>

namespace crackdepth::app {

class ReportProgressDialog {
public:
    explicit ReportProgressDialog(QWidget* parent, int showAfterMs = 1000);

    // Moves the bar (and lets the window answer); false once "取消" was pressed.
    report::ReportProgress progress();
    QProgressDialog& dialog() { return dialog_; }

private:
    QProgressDialog dialog_;
};

} // namespace crackdepth::app
