// The report as a PDF file: vector pages, selectable text with embedded fonts, A4 unless told
// otherwise, written whole or not at all.
#pragma once

#include "core/common/atomic_file.h"
#include "core/data/print_settings.h"
#include "report/report_progress.h"
#include "report/report_renderer.h"

#include <QPageSize>
#include <filesystem>

namespace crackdepth::report {

inline constexpr int kPdfResolution = 600; // dots per inch, as a printer's

WriteOutcome WritePdfReport(const ReportRenderer& renderer, const PrintSettings& settings,
                            const std::filesystem::path& path,
                            const QPageSize& pageSize = QPageSize(QPageSize::A4),
                            const ReportProgress& progress = {});

} // namespace crackdepth::report
