// `report FILE.DPA --format pdf|bmp [--style standard|simple|wavetrain] -o OUT`: the report of
// the desktop program's report commands, drawn offscreen without a display.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/saved_settings.h"
#include "core/data/measurement_file.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_loading.h"
#include "core/document/model/merge.h"
#include "draw/fonts.h"
#include "report/docx_report.h"
#include "report/mono_bmp.h"
#include "report/page_sink.h"
#include "report/report_content.h"
#include "report/report_exports.h"
#include "report/report_pdf.h"
#include "report/report_renderer.h"
#include "report/xlsx_report.h"

#include <QGuiApplication>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp =
    R"(Usage: crackdepth-cli report FILE.DPA --format pdf|bmp|xlsx|docx [--style STYLE] -o OUT

Draws the analysis report of a result file as the desktop program prints it, without a
display.
  --format pdf        one PDF file OUT (vector pages, selectable text)
  --format bmp        one black-and-white bitmap per page: OUT1.bmp, OUT2.bmp, ...
  --format xlsx       a spreadsheet workbook OUT, one sheet per crack
  --format docx       a word-processor document OUT
  --style standard|simple|wavetrain
                      the report style (default: the style of the saved print settings)
  -o OUT              the file, or the stem of the bitmap files (a .bmp ending is left
                      out: -o page.bmp writes page1.bmp, page2.bmp, ...)
Prints { "files": [...], "pages": N } (pdf, bmp), { "files": [...], "sheets": N } (xlsx) or
{ "files": [...] } (docx: its pages are the word processor's to lay out).
)";

const std::map<std::string, ReportStyle> kStyles = {
    {"standard", ReportStyle::Standard},
    {"simple", ReportStyle::Simple},
    {"wavetrain", ReportStyle::WaveTrain},
};

// Text rendering needs a GUI application; the offscreen platform needs no display.
std::unique_ptr<QGuiApplication> offscreenApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return nullptr;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the environment (no runtime folder, say) are not the command's
    // diagnostics; its errors still are.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        }
    });
    static int argc = 1;
    static char name[] = "crackdepth-cli";
    static char* argv[] = {name, nullptr};
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    draw::installFontSubstitutions(); // the faces the desktop program draws with
    return application;
}

// The bitmap pages' file-name stem: OUT as given, without a ".bmp" of its own, so that
// "-o page.bmp" names the pages page1.bmp, page2.bmp, …
std::string bitmapStem(const std::string& target) {
    const std::filesystem::path path(target);
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".bmp" ? target.substr(0, target.size() - extension.size()) : target;
}

} // namespace

int runReport(const Words& words, std::ostream& out, std::ostream& err) {
    static const CommandSpec spec{
        .name = "report",
        .help = kHelp,
        .minPositional = 1,
        .maxPositional = 1,
        .positionalText = "one result file (.DPA)",
        .formats = {"pdf", "bmp", "xlsx", "docx"},
        .options = {choiceOption("--style", {"standard", "simple", "wavetrain"}),
                    textOption("-o", "OUT")},
        .required = {{"--format"}, {"-o"}},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    const std::string format = args->format();
    const std::string target = args->text("-o");

    const Settings settings = savedSettings();
    const PrintSettings& print = settings.print;
    ReportStyle style = report::reportStyleOf(print);
    if (args->has("--style")) {
        style = kStyles.at(args->text("--style"));
    }

    const std::string& input = args->positional[0];
    OpenFailure failure;
    MeasurementFile file;
    if (!openMeasurementFile(input, file, failure)) {
        return refuse(err, failure.message, input + ": " + failure.explanation);
    }
    if (file.kind != FileKind::Result) {
        return refuse(err, kUnrecognisedFileMessage,
                      input + ": the report is drawn from a result file (.DPA)");
    }
    DocumentData data;
    LoadResultLines(data, {std::move(file.lines), std::move(file.projectBlock)}, input);
    const DocumentAnalysis analysis = AnalyseDocument(data);
    const report::ReportContent content = report::BuildReportContent(data, analysis);

    const auto application = offscreenApplication();
    const report::ReportRenderer renderer(content, print, style);
    if (renderer.pageCount() == 0) {
        return refuse(err, "", input + ": the report has no pages (no crossing line to report)");
    }

    nlohmann::json files = nlohmann::json::array();
    if (format == "xlsx" || format == "docx") {
        const WriteOutcome written = format == "xlsx"
                                         ? report::WriteXlsxReport(content, print, target)
                                         : report::WriteDocxReport(content, print, style, target);
        if (!written.ok) {
            return refuse(err, "", written.error);
        }
        files.push_back(target);
    } else if (format == "pdf") {
        const WriteOutcome written = report::WritePdfReport(renderer, print, target);
        if (!written.ok) {
            return refuse(err, "", written.error);
        }
        files.push_back(target);
    } else {
        std::string failed;
        const std::string stem = bitmapStem(target);
        report::BitmapPageSink sink(
            [&](std::int32_t page) {
                return std::filesystem::path(stem + std::to_string(page) + ".bmp");
            },
            [&](std::int32_t, const std::filesystem::path& path, const WriteOutcome& outcome) {
                if (outcome.ok) {
                    files.push_back(path.string());
                } else if (failed.empty()) {
                    failed = path.string() + ": " + outcome.error;
                }
            });
        report::RenderPages(renderer, print, sink);
        if (!failed.empty()) {
            return refuse(err, report::kBmpWriteFailedMessage, failed);
        }
    }
    // Pages only where the file has pages of ours; a workbook has a sheet per crack and
    // Sheet1, and a document's pages are the word processor's to lay out.
    nlohmann::json printed = {{"files", files}};
    if (format == "pdf" || format == "bmp") {
        printed["pages"] = renderer.pageCount();
    } else if (format == "xlsx") {
        printed["sheets"] = content.cracks.size() + 1;
    }
    printJson(out, printed);
    return kExitOk;
}

} // namespace crackdepth::cli
