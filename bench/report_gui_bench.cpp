// The standard report of a result file with 10 crossing lines of 100 points each, drawn to a
// PDF file: the time per page and the size of the file; and the wave-train report of the large
// result file as a word-processor document.
#include "../tests/report/report_documents.h"
#include "core/common/atomic_file.h"
#include "core/data/measurement_file.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_loading.h"
#include "gui_bench_main.h"
#include "large_result_file.h"
#include "report/docx_report.h"
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

// The large result file (10 lines × 1000 points × 1024 samples) as the command-line tool
// loads it.
DocumentData largeResultDocument() {
    const QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("LARGE.DPA")).toStdString();
    if (!writeFileAtomically(path, bench::serialise(bench::makeLines())).ok) {
        return {};
    }
    return report::testing::loadResultDocument(path);
}

// The wave-train style of the large result file as a word-processor document: 35 pictures a
// line, 350 in all.
void BM_WaveTrainReportToDocx(benchmark::State& state) {
    const DocumentData data = largeResultDocument();
    const report::ReportContent content = report::BuildReportContent(data, AnalyseDocument(data));
    const PrintSettings settings;
    const QTemporaryDir dir;
    const std::filesystem::path docx = dir.filePath(QStringLiteral("report.docx")).toStdString();
    for (auto _ : state) {
        if (!report::WriteDocxReport(content, settings, ReportStyle::WaveTrain, docx).ok) {
            state.SkipWithError("the document could not be written");
            return;
        }
    }
    state.counters["docx_kib"] = static_cast<double>(std::filesystem::file_size(docx)) / 1024.0;
}
BENCHMARK(BM_WaveTrainReportToDocx)->Unit(benchmark::kMillisecond);

} // namespace

CRACKDEPTH_GUI_BENCHMARK_MAIN()
