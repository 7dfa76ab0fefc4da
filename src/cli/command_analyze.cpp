// `analyze FILE.DPA` · `analyze NC.DP0 [C.DP1]`: the fit of the non-crossing line, every
// crossing point's depth and status, and each crack's depth, as the desktop program shows
// them right after opening the files; `analyze PATH...`: the same of many files at once.
#include "cli/analysis_document.h"
#include "cli/batch_analyze.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "core/analysis/crack_evaluation.h"
#include "core/analysis/transit_time.h"
#include "core/common/utf.h"
#include "core/data/amplitude.h"
#include "core/data/measurement_file.h"
#include "core/document/model/document.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_loading.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/merge.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <thread>
#include <unistd.h>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp =
    R"(Usage: crackdepth-cli analyze FILE.DPA [OPTIONS]
       crackdepth-cli analyze NC.DP0 [C.DP1] [OPTIONS]
       crackdepth-cli analyze PATH... [OPTIONS]

Fits L = A + B*T to the non-crossing line and evaluates every crossing line: the depth of
each point, its status, the crack depth and its spread. Transit times carry no time
correction.

One measurement (a result file, or a non-crossing raw file with or without its crossing raw
file) gives the analysis document; more files, or a folder (its .DPA files, sorted by path),
give one record per file, { "file": PATH, ...the analysis document... }, and a refused file
gives its own record while the others go on (the exit status is then 1).

The measurement checks: every analysis document carries them ("checks"), of one file or of
many, unless --no-checks is given; the CSV rows carry them in a last column "warnings" only
with --warnings. They read every waveform.

  --method regression|two-point   the fit (default: the one stored with the non-crossing line)
  --second-point K                two-point fit: the non-crossing point paired with point 0
                                  (default 1)
  --picks stored|suggested        the stored first arrivals (default), or the suggested ones
                                  where a waveform gives one
  --min-depth MM                  only the cracks at least MM deep
  --no-checks                     leave the measurement checks out
  --warnings                      CSV: the checks' messages in a last column "warnings"
  --format json|jsonl|csv|text    one measurement: a JSON document (default) or a table;
                                  several: one JSON line per file (default), one CSV row per
                                  crack (UTF-8 with BOM), one JSON array, or tables
  --recursive                     folders with their subfolders
  --pair-raw                      a non-crossing raw file (.DP0, also in folders) is analysed
                                  with the crossing raw files (.DP1) beside it named as it is
                                  or as it is followed by _ - . or a space (DEMO.DP0 with
                                  DEMO_C1.DP1 and DEMO_C2.DP1), merged as `merge` merges them
  --jobs N                        files analysed at once (default: the processor count);
                                  the output keeps the input order
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
    static const CommandSpec spec{
        .name = "analyze",
        .help = kHelp,
        .minPositional = 1,
        .positionalText = "FILE.DPA, NC.DP0 [C.DP1], or files and folders",
        .formats = {"json", "jsonl", "csv", "text"},
        .options = {choiceOption("--method", {"regression", "two-point"}),
                    integerOption("--second-point", "K", 1, 65534),
                    choiceOption("--picks", {"stored", "suggested"}),
                    numberOption("--min-depth", "MM", "a depth in mm",
                                 -std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::infinity(), true),
                    flagOption("--no-checks"), flagOption("--warnings"), flagOption("--recursive"),
                    flagOption("--pair-raw"), integerOption("--jobs", "N", 1, 1024)},
        .exclusive = {{"--no-checks", "--warnings"}},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    std::optional<RegressionMethod> method;
    if (args->has("--method")) {
        method = args->text("--method") == "two-point" ? RegressionMethod::TwoPoint
                                                       : RegressionMethod::Regression;
    }
    const std::vector<std::string>& paths = args->positional;
    const bool pairRaw = args->flag("--pair-raw");
    const std::string format = args->has("--format") ? args->format() : "";
    // The one rule of the checks; a CSV row has a column for them only when it is asked for.
    InputOptions input{args->text("--picks") == "suggested",
                       format == "csv" ? args->flag("--warnings") : !args->flag("--no-checks")};
    const CrackFilter filter{args->number("--min-depth")};
    const bool oneMeasurement = !anyFolder(paths) && (paths.size() == 1 || isRawPair(paths));

    if (!oneMeasurement || format == "jsonl" || format == "csv") {
        std::string error;
        const auto inputs = batchInputs(paths, args->flag("--recursive"), pairRaw, error);
        if (!inputs) {
            return usageError(err, "analyze", error);
        }
        BatchOptions options;
        const auto secondPoint = args->integer("--second-point");
        options.analysis = {method,
                            secondPoint ? std::optional(static_cast<std::int32_t>(*secondPoint))
                                        : std::nullopt,
                            false};
        options.input = input;
        options.minDepth = filter.minDepth;
        const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
        options.jobs = static_cast<unsigned>(args->integer("--jobs", processors));
        options.format = format == "csv"    ? BatchFormat::Csv
                         : format == "json" ? BatchFormat::Json
                         : format == "text" ? BatchFormat::Text
                                            : BatchFormat::JsonLines;
        options.progress = inputs->size() > 1 && ::isatty(STDERR_FILENO) != 0;
        return runBatch(*inputs, options, out, err);
    }

    // One measurement: its analysis document, or the reason on stderr.
    AnalysedInput analysed;
    std::optional<std::vector<std::string>> crossing;
    if (pairRaw && paths.size() == 1 && std::filesystem::path(paths[0]).extension() == ".DP0") {
        crossing = crossingPartners(paths[0]);
    }
    const auto refusal = crossing && !crossing->empty()
                             ? openMergedInput(paths[0], *crossing, input, analysed)
                             : openInput(paths, input, analysed);
    if (refusal) {
        return refuse(err, refusal->message, refusal->explanation);
    }
    const PointList& nonCrossing = *analysed.data.nonCrossingList;
    const long secondPoint = args->integer("--second-point", 1);
    if (args->has("--second-point") && secondPoint >= static_cast<long>(nonCrossing.size())) {
        return usageError(err, "analyze",
                          "--second-point " + std::to_string(secondPoint) +
                              " does not exist: the non-crossing line has " +
                              std::to_string(nonCrossing.size()) + " points");
    }
    analyseInput(analysed, {method, static_cast<std::int32_t>(secondPoint)}, input);
    if (format == "text") {
        printAnalysisText(out, analysed, filter);
    } else {
        JsonWriter writer(out, JsonWriter::Layout::Indented);
        writer.beginObject();
        if (crossing) {
            writer.key("crossingFiles").beginArray();
            for (const std::string& file : *crossing) {
                writer.value(file);
            }
            writer.endArray();
        }
        writeAnalysisMembers(writer, analysed, filter);
        writer.endObject();
        writer.flush();
        out << '\n';
    }
    return kExitOk;
}

} // namespace crackdepth::cli
