#include "app/frame/report_progress_dialog.h"

#include <algorithm>

namespace crackdepth::app {

ReportProgressDialog::ReportProgressDialog(QWidget* parent, int showAfterMs)
    : dialog_(QStringLiteral("正在生成报告…"), QStringLiteral("取消"), 0, 1, parent) {
    dialog_.setWindowTitle(QStringLiteral("生成报告"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(showAfterMs);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setValue(0); // the second counts from here
}

report::ReportProgress ReportProgressDialog::progress() {
    return [this](std::int64_t done, std::int64_t total) {
        const int maximum = static_cast<int>(std::clamp<std::int64_t>(total, 1, 1 << 30));
        dialog_.setMaximum(maximum);
        // A modal dialog's setValue lets the events in, "取消" among them.
        dialog_.setValue(static_cast<int>(std::clamp<std::int64_t>(done, 0, maximum)));
        return !dialog_.wasCanceled();
    };
}

} // namespace crackdepth::app
