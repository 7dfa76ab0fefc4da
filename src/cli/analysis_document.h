// What `analyze` reports of one input: its files opened as the desktop program opens them,
// and the analysis as one JSON document or CSV rows. Shared by the single-file and the batch
// analysis.
#pragma once

#include "cli/json_writer.h"
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

// A non-crossing raw file and its crossing raw files as the result file `merge` would write
// of them (without the saved project information, which the analysis does not show).
std::optional<Refusal> openMergedInput(const std::string& nonCrossing,
                                       const std::vector<std::string>& crossing,
                                       DocumentData& data);

// The cracks an analysis reports: all of them, or only those at least `minDepth` deep.
struct CrackFilter {
    std::optional<float> minDepth; // mm

    bool shows(const CrackResult& crack) const;
};

// The members of the analysis document, written into the open object of `out`.
void writeAnalysisMembers(JsonWriter& out, const DocumentData& data,
                          const DocumentAnalysis& analysis, const CrackFilter& filter = {});

// The whole analysis document, laid out as `printJson` lays out a document.
void writeAnalysisJson(JsonWriter& out, const DocumentData& data, const DocumentAnalysis& analysis,
                       const CrackFilter& filter = {});

// One CSV field: quoted when it holds a comma, a quote or a line break, quotes doubled.
std::string csvField(const std::string& text);

// One CSV row per crack shown: file, line, name, method, A, B, crack depth and its text, kept
// and total points, and an empty refusal cell; each row ends with CR LF.
void appendAnalysisCsvRows(std::string& out, const std::string& file, const DocumentData& data,
                           const DocumentAnalysis& analysis, const CrackFilter& filter);

// The analysis document as a readable table (--format text).
void printAnalysisText(std::ostream& out, const DocumentData& data,
                       const DocumentAnalysis& analysis, const CrackFilter& filter = {});

} // namespace crackdepth::cli
