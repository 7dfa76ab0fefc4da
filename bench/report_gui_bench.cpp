// The standard report of a result file with 10 crossing lines of 100 points each, drawn to a
// PDF file: the time per page and the size of the file.
#include "../tests/report/report_documents.h"
#include "core/data/measurement_file.h"
#include "core/document/document_analysis.h"
#include "core/document/line_loading.h"
#include "gui_bench_main.h"
#include "report/report_content.h"
#include "report/report_pdf.h"
#include "report/report_renderer.h"

#include <QTemporaryDir>
#include <filesystem>

using namespace crackdepth;

namespace {

// Ten cracks of a hundred points each, copies of the demo's first crack.
DocumentData manyCracks(std::size_t cracks, std::size_t points) {
    return report::testing::withManyCracks(
        report::testing::loadResultDocument(std::string(CRACKDEPTH_EXAMPLES_DIR) + "/DEMO.DPA"),
        cracks, points);
}

void BM_StandardReportToPdf(benchmark::State& state) {
    const DocumentData data = manyCracks(10, 100);
    const report::ReportContent content = report::BuildReportContent(data, AnalyseDocument(data));
    const PrintSettings settings;
    const report::ReportRenderer renderer(content, settings, ReportStyle::Standard);
    const QTemporaryDir dir;
    const std::filesystem::path pdf = dir.filePath(QStringLiteral("report.pdf")).toStdString();
    for (auto _ : state) {
        if (!report::WritePdfReport(renderer, settings, pdf).ok) {
            state.SkipWithError("the PDF could not be written");
            return;
        }
    }
    const auto pages = static_cast<double>(renderer.pageCount());
    state.counters["pages"] = pages;
    state.counters["s_per_page"] =
        benchmark::Counter(pages * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["pdf_kib"] = static_cast<double>(std::filesystem::file_size(pdf)) / 1024.0;
}
BENCHMARK(BM_StandardReportToPdf)->Unit(benchmark::kMillisecond);

} // namespace

CRACKDEPTH_GUI_BENCHMARK_MAIN()
