// "打印" and "打印预览(&V)": the report on the printer the user chooses (the page range preset
// to every page), and its preview with the same pages. Paper size and orientation are the
// printer's; the margins those of the print settings, never inside the printer's
// unprintable edge.
#pragma once

#include "core/data/print_settings.h"
#include "core/document/model/document.h"

class QWidget;

namespace crackdepth::app {

inline constexpr const char* kPrintFailedMessage = "打印失败：打印机无法开始打印。";

// The pages the print dialog sent to the printer; 0 when it was cancelled.
int PrintReport(Document& document, const PrintSettings& settings, QWidget* parent);

// Folds the pending corrections first, as the exports do.
void PreviewReport(Document& document, const PrintSettings& settings, QWidget* parent);

} // namespace crackdepth::app
