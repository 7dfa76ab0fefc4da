// What `analyze` reports of one input: its files opened as the desktop program opens them,
// and the analysis as one JSON document or CSV rows. Shared by the single-file and the batch
// analysis.
#pragma once

#include "cli/json_writer.h"
#include "core/document/checks/measurement_checks.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/document_data.h"

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

// What an analysis asks of its input besides the files. The suggestions and the checks look
// at every waveform, one at a time in a second pass over the file, so that a large file is
// never held whole.
struct InputOptions {
    bool suggestedPicks = false; // the suggested first arrivals in place of the stored picks
    bool checks = false;         // the measurement checks

    bool needsWaveforms() const { return suggestedPicks || checks; }
};

// One input as analysed: the files as the desktop program holds them, the analysis and, when
// asked for, the measurement checks.
struct AnalysedInput {
    DocumentData data;
    WaveformFactsTable facts; // what the checks need of the waveforms
    DocumentAnalysis analysis;
    std::optional<std::vector<MeasurementCheck>> checks;
};

// A result file on its own, or a non-crossing raw file and optionally a crossing raw file.
std::optional<Refusal> openInput(const std::vector<std::string>& paths, const InputOptions& options,
                                 AnalysedInput& input);

// A non-crossing raw file and its crossing raw files as the result file `merge` would write
// of them (without the saved project information, which the analysis does not show).
std::optional<Refusal> openMergedInput(const std::string& nonCrossing,
                                       const std::vector<std::string>& crossing,
                                       const InputOptions& options, AnalysedInput& input);

// The analysis of the opened input, with the checks when they are asked for.
void analyseInput(AnalysedInput& input, const AnalysisOptions& analysis,
                  const InputOptions& options);

// The cracks an analysis reports: all of them, or only those at least `minDepth` deep.
struct CrackFilter {
    std::optional<float> minDepth; // mm

    bool shows(const CrackResult& crack) const;
};

// The members of the analysis document, written into the open object of `out`: the checks of
// the non-crossing line and of the cracks shown, when there are checks.
void writeAnalysisMembers(JsonWriter& out, const AnalysedInput& input,
                          const CrackFilter& filter = {});

// The whole analysis document, laid out as `printJson` lays out a document.
void writeAnalysisJson(JsonWriter& out, const AnalysedInput& input, const CrackFilter& filter = {});

// One CSV field: quoted when it holds a comma, a quote or a line break, quotes doubled.
std::string csvField(const std::string& text);

// The CSV header row, with the warnings column when there are checks.
std::string analysisCsvHeader(bool warnings);

// One CSV row per crack shown: file, line, name, method, A, B, crack depth and its text, kept
// and total points, an empty refusal cell and, with checks, the messages of the checks of the
// non-crossing line and of the crack; each row ends with CR LF.
void appendAnalysisCsvRows(std::string& out, const std::string& file, const AnalysedInput& input,
                           const CrackFilter& filter);

// The analysis document as a readable table (--format text).
void printAnalysisText(std::ostream& out, const AnalysedInput& input,
                       const CrackFilter& filter = {});

} // namespace crackdepth::cli
