// `analyze FILE.DPA` · `analyze NC.DP0 [C.DP1]`: the fit of the non-crossing line, every
// crossing point's depth and status, and each crack's depth, as the desktop program shows
// them right after opening the files; `analyze PATH...`: the same of many files at once.
#include "cli/analysis_document.h"
#include "cli/batch_analyze.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "core/analysis/amplitude.h"
#include "core/analysis/crack_evaluation.h"
#include "core/analysis/transit_time.h"
#include "core/common/utf.h"
#include "core/data/measurement_file.h"
#include "core/document/document.h"
#include "core/document/document_analysis.h"
#include "core/document/line_loading.h"
#include "core/document/line_tabs.h"
#include "core/document/merge.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp =
    R"(Usage: crackdepth-cli analyze FILE.DPA [OPTIONS]
       crackdepth-cli analyze NC.DP0 [C.DP1] [OPTIONS]
       crackdepth-cli analyze PATH... [--recursive] [--pair-raw] [--format json|jsonl|csv|text]
                              [--jobs N] [--min-depth MM]

Fits L = A + B*T to the non-crossing line and evaluates every crossing line: the depth of
each point, its status, the crack depth and its spread; one measurement also gets the
measurement checks. Transit times carry no time correction.
  --method regression|two-point   the fit (default: the one stored with the non-crossing line)
  --second-point K                two-point fit: the non-crossing point paired with point 0
                                  (default 1)
  --format json|text              one file: a JSON document (default) or a table
Many files, or folders (their .DPA files, sorted by path):
  --recursive                     folders with their subfolders
  --pair-raw                      a non-crossing raw file (.DP0, also in folders) is analysed
                                  with the crossing raw files (.DP1) beside it named as it is
                                  or as it is followed by _ - . or a space (DEMO.DP0 with
                                  DEMO_C1.DP1 and DEMO_C2.DP1), merged as `merge` merges them
  --format jsonl|csv|json|text    one JSON line per file (default); one CSV row per crack
                                  (UTF-8 with BOM); one JSON array; tables
  --jobs N                        files analysed at once (default: the processor count);
                                  the output keeps the input order
  --min-depth MM                  only the cracks at least MM deep
  --warnings                      the measurement checks too (JSON: "checks"; CSV: a
                                  warnings column); they read every waveform
Both:
  --picks stored|suggested        the stored first arrivals (default), or the suggested ones
                                  where a waveform gives one
A refused file gives its own record and the others go on; the exit status is then 1.
)";

// Two files of which the first is a non-crossing raw file are one measurement (the second
// must then be its crossing raw file); anything else of several paths, or a folder, is a
// batch.
bool isRawPair(const std::vector<std::string>& paths) {
    return paths.size() == 2 && std::filesystem::path(paths[0]).extension() == ".DP0";
}

bool anyFolder(const std::vector<std::string>& paths) {
    std::error_code ignored;
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return std::filesystem::is_directory(path, ignored);
    });
}

} // namespace

int runAnalyze(const Words& words, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto args =
        parseArgs(words,
                  {{"--method", "--second-point", "--format", "--jobs", "--min-depth", "--picks"},
                   {"--recursive", "--pair-raw", "--warnings"}},
                  error);
    if (!args) {
        return usageError(err, "analyze", error);
    }
    if (args->help) {
        out << kHelp;
        return kExitOk;
    }
    if (args->positional.empty()) {
        return usageError(err, "analyze", "expects FILE.DPA, NC.DP0 [C.DP1], or files and folders");
    }
    const std::string format = args->has("--format") ? args->values.at("--format") : "";
    if (!format.empty() && format != "json" && format != "jsonl" && format != "csv" &&
        format != "text") {
        return usageError(err, "analyze",
                          "--format takes json, jsonl, csv or text, not '" + format + "'");
    }
    std::optional<RegressionMethod> method;
    if (args->has("--method")) {
        const std::string& name = args->values.at("--method");
        if (name != "regression" && name != "two-point") {
            return usageError(err, "analyze",
                              "--method takes regression or two-point, not '" + name + "'");
        }
        method = name == "two-point" ? RegressionMethod::TwoPoint : RegressionMethod::Regression;
    }
    const auto secondPoint = integerOption(*args, "--second-point", 1, 1, 65534, error);
    if (!secondPoint) {
        return usageError(err, "analyze", error);
    }
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    const auto jobs = integerOption(*args, "--jobs", processors, 1, 1024, error);
    if (!jobs) {
        return usageError(err, "analyze", error);
    }
    const std::string picks = args->has("--picks") ? args->values.at("--picks") : "stored";
    if (picks != "stored" && picks != "suggested") {
        return usageError(err, "analyze", "--picks takes stored or suggested, not '" + picks + "'");
    }
    std::optional<float> minDepth;
    if (args->has("--min-depth")) {
        const std::string& text = args->values.at("--min-depth");
        float value = 0;
        const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (code != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
            return usageError(err, "analyze",
                              "--min-depth takes a depth in mm, not '" + text + "'");
        }
        minDepth = value;
    }

    const std::vector<std::string>& paths = args->positional;
    const bool pairRaw = args->flags.count("--pair-raw") != 0;
    const bool warnings = args->flags.count("--warnings") != 0;
    const bool batch = format == "jsonl" || format == "csv" || args->flags.count("--recursive") ||
                       pairRaw || warnings || args->has("--min-depth") || anyFolder(paths) ||
                       (paths.size() > 1 && !isRawPair(paths));
    InputOptions input{picks == "suggested", warnings};
    if (batch) {
        const auto inputs =
            batchInputs(paths, args->flags.count("--recursive") != 0, pairRaw, error);
        if (!inputs) {
            return usageError(err, "analyze", error);
        }
        BatchOptions options;
        options.analysis = {
            method,
            args->has("--second-point")
                ? std::optional<std::int32_t>(static_cast<std::int32_t>(*secondPoint))
                : std::nullopt,
            false};
        options.input = input;
        options.minDepth = minDepth;
        options.jobs = static_cast<unsigned>(*jobs);
        // One file (not a folder) gives a document, as it does without the batch options.
        const bool single = paths.size() == 1 && !anyFolder(paths);
        options.format = format == "csv"                ? BatchFormat::Csv
                         : format == "json"             ? BatchFormat::Json
                         : format == "text"             ? BatchFormat::Text
                         : format == "jsonl" || !single ? BatchFormat::JsonLines
                                                        : BatchFormat::Document;
        options.progress = inputs->size() > 1 && ::isatty(STDERR_FILENO) != 0;
        return runBatch(*inputs, options, out, err);
    }

    // One measurement: its document carries the checks.
    input.checks = true;
    AnalysedInput analysed;
    if (const auto refusal = openInput(paths, input, analysed)) {
        return refuse(err, refusal->message, refusal->explanation);
    }
    const PointList& nonCrossing = *analysed.data.nonCrossingList;
    if (args->has("--second-point") && *secondPoint >= static_cast<long>(nonCrossing.size())) {
        return usageError(err, "analyze",
                          "--second-point " + std::to_string(*secondPoint) +
                              " does not exist: the non-crossing line has " +
                              std::to_string(nonCrossing.size()) + " points");
    }
    analyseInput(analysed, {method, static_cast<std::int32_t>(*secondPoint)}, input);
    if (format == "text") {
        printAnalysisText(out, analysed);
    } else {
        JsonWriter writer(out, JsonWriter::Layout::Indented);
        writeAnalysisJson(writer, analysed);
        writer.flush();
        out << '\n';
    }
    return kExitOk;
}

} // namespace crackdepth::cli
