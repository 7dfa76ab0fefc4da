// `analyze PATH...`: many result files in one call, on several threads, written in the order
// of the input as JSON lines, CSV rows (one per crack), one JSON array or text; a refused file
// gives its own record and the run goes on.
#pragma once

#include "cli/analysis_document.h"
#include "core/document/model/document_analysis.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace crackdepth::cli {

enum class BatchFormat { JsonLines, Csv, Json, Text };

struct BatchOptions {
    AnalysisOptions analysis;
    InputOptions input;            // with the checks, CSV rows get a column "warnings"
    std::optional<float> minDepth; // only cracks at least this deep, mm
    unsigned jobs = 1;
    BatchFormat format = BatchFormat::JsonLines;
    bool progress = false; // a progress line on stderr
};

// One measurement of a batch: a file, and for a non-crossing raw file paired with its
// crossing raw files, those files.
struct BatchInput {
    std::string path;
    std::optional<std::vector<std::string>> crossing;
    // Why a folder entry with a measurement file's name cannot be read as one (a FIFO, a
    // dangling link, a loop of links); such an entry gets a refused record, not silence.
    std::string unreadable;
};

// The measurements of the paths: files as given, the result files (.DPA) of a folder sorted by
// path, of its subfolders too when `recursive`. With `pairRaw`, a folder's non-crossing raw
// files (.DP0) count too, and each non-crossing raw file comes with the crossing raw files
// (.DP1) beside it whose name is its own, or its own followed by "_", "-", "." or a space and
// more (DEMO.DP0: DEMO.DP1, DEMO_C1.DP1), sorted by name. Fails naming a path that does not
// exist.
std::optional<std::vector<BatchInput>> batchInputs(const std::vector<std::string>& paths,
                                                   bool recursive, bool pairRaw,
                                                   std::string& error);

// The crossing raw files that pair with a non-crossing raw file (see batchInputs).
std::vector<std::string> crossingPartners(const std::string& nonCrossing);

// Exit status 1 when any file was refused, else 0.
int runBatch(const std::vector<BatchInput>& inputs, const BatchOptions& options, std::ostream& out,
             std::ostream& err);

} // namespace crackdepth::cli
