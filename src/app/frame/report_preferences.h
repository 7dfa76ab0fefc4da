// The print settings the settings file has no room for ("报告中列出测量检查"), kept in the
// program's own settings store: read when the program starts, written when the print
// settings dialog closes with OK.
#pragma once

#include "core/data/print_settings.h"

namespace crackdepth::app {

// Stored values replace those of `settings`; a missing or damaged value keeps its default.
void restoreReportPreferences(PrintSettings& settings);
void rememberReportPreferences(const PrintSettings& settings);

} // namespace crackdepth::app
