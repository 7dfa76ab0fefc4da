// `analyze PATH...`: many result files in one call, on several threads, written in the order
// of the input as JSON lines, CSV rows (one per crack), one JSON array or text; a refused file
// gives its own record and the run goes on.
#pragma once

#include "core/document/document_analysis.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace crackdepth::cli {

enum class BatchFormat { JsonLines, Csv, Json, Text };

struct BatchOptions {
    AnalysisOptions analysis;
    std::optional<float> minDepth; // only cracks at least this deep, mm
    unsigned jobs = 1;
    BatchFormat format = BatchFormat::JsonLines;
    bool progress = false; // a progress line on stderr
};

// The files of the paths: files as given, the result files (.DPA) of a folder sorted by path,
// of its subfolders too when `recursive`. Fails naming a path that does not exist.
std::optional<std::vector<std::string>> batchFiles(const std::vector<std::string>& paths,
                                                   bool recursive, std::string& error);

// Exit status 1 when any file was refused, else 0.
int runBatch(const std::vector<std::string>& files, const BatchOptions& options, std::ostream& out,
             std::ostream& err);

} // namespace crackdepth::cli
