// The standard report of a result file with 10 crossing lines of 100 points each, drawn to a
// PDF file: the time per page and the size of the file.
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

// The demo measurement with its crossing lines replaced by `cracks` lines of `points` points,
// each a copy of the demo's first crossing line repeated at ever larger distances.
DocumentData manyCracks(std::size_t cracks, std::size_t points) {
    MeasurementFile file;
    OpenFailure failure;
    const std::string path = std::string(CRACKDEPTH_EXAMPLES_DIR) + "/DEMO.DPA";
    if (!openMeasurementFile(path, file, failure)) {
        return {};
    }
    DocumentData data;
    LoadResultLines(data, {std::move(file.lines), std::move(file.projectBlock)}, path);
    const PointList& model = *data.crossingLists.front();
    std::vector<std::unique_ptr<PointList>> lines;
    for (std::size_t c = 0; c < cracks; ++c) {
        auto line = std::make_unique<PointList>();
        line->sampleCount = model.sampleCount;
        for (std::size_t k = 0; k < points; ++k) {
            const MeasuringPoint& source = model[k % model.size()];
            line->Append(source.samples, 50.0f * static_cast<float>(k + 1));
            MeasuringPoint& copy = *line->cursor();
            const float distance = copy.distance;
            copy = source;
            copy.distance = distance;
        }
        lines.push_back(std::move(line));
    }
    const TestParameters header = data.crossingParameters.front();
    data.crossingLists = std::move(lines);
    data.crossingParameters.assign(cracks, header);
    data.crossingCorrections.assign(cracks, 0.0f);
    return data;
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
