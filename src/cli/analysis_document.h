// What `analyze` reports of one input: its files opened as the desktop program opens them,
// and the analysis as one JSON document. Shared by the single-file and the batch analysis.
#pragma once

#include "core/document/document_analysis.h"
#include "core/document/document_data.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace crackdepth::cli {

// Why an input was refused: the program's own message (may be empty) and an English
// explanation naming the file.
struct Refusal {
    std::string message;
    std::string explanation;
};

// A result file on its own, or a non-crossing raw file and optionally a crossing raw file.
std::optional<Refusal> openInput(const std::vector<std::string>& paths, DocumentData& data);

nlohmann::json analysisJson(const DocumentData& data, const DocumentAnalysis& analysis);

// The analysis document as a readable table (--format text).
void printAnalysisText(std::ostream& out, const nlohmann::json& document);

} // namespace crackdepth::cli
