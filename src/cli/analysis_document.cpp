#include "cli/analysis_document.h"

#include "cli/merge_sources.h"
#include "cli/output.h"
#include "core/analysis/crack_evaluation.h"
#include "core/analysis/transit_time.h"
#include "core/common/byte_source.h"
#include "core/common/utf.h"
#include "core/data/amplitude.h"
#include "core/data/measurement_file.h"
#include "core/data/result_file.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/model/document.h"
#include "core/document/model/line_loading.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/merge.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <nlohmann/json.hpp>

namespace crackdepth::cli {
namespace {

using nlohmann::json;

std::string lineName(const TestParameters& header) {
    return withoutLastUnits(header.note, 4);
}

// The crack's members in the order a reader scans them: which line, then its points, then
// the result.
void writeCrack(JsonWriter& out, int number, const PointList& points, const TestParameters& header,
                const CrackResult& result) {
    const ReversalPoint reversal = reversalOf(header);
    out.beginObject();
    out.key("line").value(number);
    out.key("name").value(lineName(header));
    if (reversal.set) {
        out.key("reversalIndex").value(reversal.index);
    } else {
        out.key("reversalIndex").null();
    }
    out.key("points").beginArray();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PointEvaluation& evaluation = result.points[i];
        out.beginObject();
        out.key("distance").value(points[i].distance);
        out.key("transitTime").value(evaluation.transitTime);
        out.key("depth").value(evaluation.depth);
        out.key("depthText").value(evaluation.depthText);
        out.key("status").value(statusText(evaluation.status));
        out.key("kept").value(evaluation.kept ? 1 : 0);
        out.key("amplitudeDb").value(amplitudeDb(points[i], header.sampleCount));
        out.endObject();
    }
    out.endArray();
    out.key("crackDepth").value(result.crackDepth);
    out.key("crackDepthText").value(result.crackDepthText);
    const CrackDepthSpread spread = spreadOf(result);
    out.key("crackDepthSpread").beginObject();
    out.key("kept").value(static_cast<std::int64_t>(spread.kept));
    out.key("std").value(spread.std);
    out.key("min").value(spread.min);
    out.key("max").value(spread.max);
    out.endObject();
    out.endObject();
}

// The checks of the non-crossing line and of the cracks the filter shows.
std::vector<const MeasurementCheck*> shownChecks(const AnalysedInput& input,
                                                 const CrackFilter& filter) {
    std::vector<const MeasurementCheck*> shown;
    for (const MeasurementCheck& check : *input.checks) {
        const auto crack = static_cast<std::size_t>(check.line);
        if (check.line == 0 || (crack <= input.analysis.cracks.size() &&
                                filter.shows(input.analysis.cracks[crack - 1]))) {
            shown.push_back(&check);
        }
    }
    return shown;
}

std::string numberCell(std::optional<float> value) {
    std::string text;
    if (value && std::isfinite(*value)) {
        appendJsonNumber(text, *value);
    }
    return text;
}

std::string fixed(const json& value) {
    return value.is_null() ? std::string(kNoValueText) : formatFixed2(value.get<float>());
}

} // namespace

// The files as the desktop program holds them after opening them in the same order; the
// refusal (the program's message and an English explanation) when it would not.
static std::optional<Refusal> openFiles(const std::vector<std::string>& paths, DocumentData& data) {
    // The analysis needs no waveform but each point's amplitude sample; what looks at the
    // waveforms takes them in a pass of its own (takeWaveforms).
    const SampleDetail detail = SampleDetail::AmplitudeOnly;
    OpenFailure failure;
    const std::string& first = paths[0];
    MeasurementFile file;
    if (!openMeasurementFile(first, file, failure, detail)) {
        return Refusal{failure.message, first + ": " + failure.explanation};
    }
    if (file.kind == FileKind::CrossingRaw) {
        return Refusal{kNeedNonCrossingMessage,
                       first + ": a crossing raw file needs the non-crossing file before it"};
    }
    if (file.kind == FileKind::Result) {
        LoadResultLines(data, {std::move(file.lines), std::move(file.projectBlock)}, first);
        return std::nullopt;
    }
    LoadNonCrossingLine(data, std::move(file.lines[0]), first);
    if (paths.size() < 2) {
        return std::nullopt;
    }
    const std::string& second = paths[1];
    MeasurementFile crossing;
    if (!openMeasurementFile(second, crossing, failure, detail)) {
        return Refusal{failure.message, second + ": " + failure.explanation};
    }
    if (crossing.kind != FileKind::CrossingRaw) {
        return Refusal{kUnrecognisedFileMessage, second + ": not a crossing raw file"};
    }
    LineData& line = crossing.lines[0];
    if (!sameLineGeometry(data.nonCrossingParameters, *data.nonCrossingList, line.header,
                          line.points)) {
        return Refusal{kParameterMismatchMessage,
                       second + ": its test parameters differ from the non-crossing file's"};
    }
    LoadRawCrossingLine(data, std::move(line), second);
    return std::nullopt;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

// The waveforms of `source` (`blocks` lines, the first of them check line `firstLine`), one
// point at a time: the suggested picks taken when asked for, and the facts the checks need.
static std::optional<Refusal> takeWaveforms(ByteSource& source, std::size_t blocks,
                                            std::int32_t firstLine, const std::string& path,
                                            const InputOptions& options, AnalysedInput& input) {
    DocumentData& data = input.data;
    std::vector<PointList*> lines;
    for (std::size_t k = 0; k < blocks; ++k) {
        const auto line = firstLine + static_cast<std::int32_t>(k);
        lines.push_back(checkedLine(data, line));
        if (input.facts.size() <= static_cast<std::size_t>(line)) {
            input.facts.resize(static_cast<std::size_t>(line) + 1);
        }
        input.facts[static_cast<std::size_t>(line)].resize(lines.back() ? lines.back()->size() : 0);
    }
    const BlockResult status = VisitWaveforms(
        source, blocks, [&](std::size_t line, std::size_t index, std::span<const Sample> samples) {
            PointList* list = lines[line];
            if (list == nullptr || index >= list->size()) {
                return;
            }
            MeasuringPoint& point = (*list)[index];
            // One search per waveform serves both the pick taken over and the checks.
            const auto suggestion = SuggestOnset(samples);
            if (options.suggestedPicks && suggestion) {
                takeSuggestion(point, *suggestion);
            }
            if (options.checks) {
                input.facts[static_cast<std::size_t>(firstLine) + line][index] =
                    WaveformFacts{suggestion, clippedNearArrival(samples, point.arrivalIndex)};
            }
        });
    if (!status.ok()) {
        return Refusal{kUnrecognisedFileMessage,
                       path + ": the waveforms could not be read again: " + status.reason};
    }
    return std::nullopt;
}

static std::optional<Refusal> takeWaveformsOf(const std::string& path, std::size_t blocks,
                                              std::int32_t firstLine, const InputOptions& options,
                                              AnalysedInput& input) {
    FileSource source(path);
    return takeWaveforms(source, blocks, firstLine, path, options, input);
}

std::optional<Refusal> openInput(const std::vector<std::string>& paths, const InputOptions& options,
                                 AnalysedInput& input) {
    if (auto refusal = openFiles(paths, input.data)) {
        return refusal;
    }
    if (!options.needsWaveforms()) {
        return std::nullopt;
    }
    if (paths.size() == 1) { // a result or non-crossing raw file: its lines are the check lines
        return takeWaveformsOf(paths[0], input.data.crossingLists.size() + 1, 0, options, input);
    }
    if (auto refusal = takeWaveformsOf(paths[0], 1, 0, options, input)) {
        return refusal;
    }
    return takeWaveformsOf(paths[1], 1, 1, options, input);
}

std::optional<Refusal> openMergedInput(const std::string& nonCrossing,
                                       const std::vector<std::string>& crossing,
                                       const InputOptions& options, AnalysedInput& input) {
    ScriptedPrompts prompts;
    MergeSession session(prompts);
    if (auto refusal = addMergeSources(session, prompts, nonCrossing, crossing)) {
        return refusal;
    }
    std::vector<std::uint8_t> bytes;
    if (!session.mergedBytes({}, bytes)) {
        return Refusal{joinedMessages(prompts), nonCrossing + ": a raw file changed while read"};
    }
    MemorySource source(bytes);
    ResultFileContents contents;
    if (ReadResultFile(source, contents, SampleDetail::AmplitudeOnly) != BlockStatus::Ok) {
        return Refusal{kUnrecognisedFileMessage,
                       nonCrossing + ": the merged lines do not read back"};
    }
    const std::size_t blocks = contents.lines.size();
    LoadResultLines(input.data, {std::move(contents.lines), std::move(contents.projectBlock)},
                    nonCrossing);
    if (!options.needsWaveforms()) {
        return std::nullopt;
    }
    return takeWaveforms(source, blocks, 0, nonCrossing, options, input);
}

void analyseInput(AnalysedInput& input, const AnalysisOptions& analysis,
                  const InputOptions& options) {
    AnalysisOptions withoutTables = analysis;
    withoutTables.tables = false;
    input.analysis = AnalyseDocument(input.data, withoutTables);
    if (options.checks) {
        input.checks = CheckMeasurement(input.data, input.analysis, input.facts);
    }
}

bool CrackFilter::shows(const CrackResult& crack) const {
    return !minDepth || (crack.crackDepth && *crack.crackDepth >= *minDepth);
}

void writeAnalysisMembers(JsonWriter& out, const AnalysedInput& input, const CrackFilter& filter) {
    const DocumentData& data = input.data;
    const DocumentAnalysis& analysis = input.analysis;
    const std::optional<LineFit>& fit = analysis.fit;
    out.key("method").value(analysis.method == RegressionMethod::TwoPoint ? "two-point"
                                                                          : "regression");
    out.key("A").value(fit ? std::optional(fit->A) : std::nullopt);
    out.key("B").value(fit ? std::optional(fit->B) : std::nullopt);
    out.key("AText").value(analysis.interceptText);
    out.key("BText").value(analysis.velocityText);

    const PointList& nonCrossing = *data.nonCrossingList;
    out.key("nonCrossing").beginObject();
    out.key("name").value(lineName(data.nonCrossingParameters));
    out.key("points").beginArray();
    for (std::size_t i = 0; i < nonCrossing.size(); ++i) {
        out.beginObject();
        out.key("distance").value(nonCrossing[i].distance);
        out.key("transitTime").value(transitTime(nonCrossing[i], 0, 0).time);
        out.endObject();
    }
    out.endArray();
    out.endObject();

    out.key("cracks").beginArray();
    for (std::size_t k = 0; k < analysis.cracks.size(); ++k) {
        if (!filter.shows(analysis.cracks[k])) {
            continue;
        }
        const LineId id = crossingLineOfTab(data, static_cast<std::int32_t>(k + 1));
        writeCrack(out, static_cast<int>(k + 1), *data.line(id), *data.header(id),
                   analysis.cracks[k]);
    }
    out.endArray();
    if (input.checks) {
        out.key("checks").beginArray();
        for (const MeasurementCheck* check : shownChecks(input, filter)) {
            out.beginObject();
            out.key("line").value(check->line);
            if (check->point) {
                out.key("point").value(*check->point);
            } else {
                out.key("point").null();
            }
            out.key("kind").value(checkKindName(check->kind));
            out.key("message").value(check->message);
            out.endObject();
        }
        out.endArray();
    }
}

void writeAnalysisJson(JsonWriter& out, const AnalysedInput& input, const CrackFilter& filter) {
    out.beginObject();
    writeAnalysisMembers(out, input, filter);
    out.endObject();
}

std::string analysisCsvHeader(bool warnings) {
    return std::string("\xEF\xBB\xBF") + // a byte order mark: spreadsheets then read UTF-8
           "file,line,name,method,A,B,crackDepth,crackDepthText,kept,points,error" +
           (warnings ? ",warnings" : "") + "\r\n";
}

void appendAnalysisCsvRows(std::string& out, const std::string& file, const AnalysedInput& input,
                           const CrackFilter& filter) {
    const DocumentData& data = input.data;
    const DocumentAnalysis& analysis = input.analysis;
    const std::optional<LineFit>& fit = analysis.fit;
    const std::string fitCells =
        std::string(analysis.method == RegressionMethod::TwoPoint ? "two-point" : "regression") +
        ',' + numberCell(fit ? std::optional(fit->A) : std::nullopt) + ',' +
        numberCell(fit ? std::optional(fit->B) : std::nullopt);
    for (std::size_t k = 0; k < analysis.cracks.size(); ++k) {
        const CrackResult& crack = analysis.cracks[k];
        if (!filter.shows(crack)) {
            continue;
        }
        const LineId id = crossingLineOfTab(data, static_cast<std::int32_t>(k + 1));
        const auto kept = std::count_if(crack.points.begin(), crack.points.end(),
                                        [](const PointEvaluation& point) { return point.kept; });
        out += csvField(file) + ',' + std::to_string(k + 1) + ',' +
               csvField(lineName(*data.header(id))) + ',' + fitCells + ',' +
               numberCell(crack.crackDepth) + ',' + csvField(crack.crackDepthText) + ',' +
               std::to_string(kept) + ',' + std::to_string(crack.points.size()) + ',';
        if (input.checks) {
            std::string warnings;
            for (const MeasurementCheck& check : *input.checks) {
                if (check.line == 0 || check.line == static_cast<std::int32_t>(k + 1)) {
                    warnings += (warnings.empty() ? "" : "\n") + check.message;
                }
            }
            out += ',' + csvField(warnings);
        }
        out += "\r\n";
    }
}

void printAnalysisText(std::ostream& out, const AnalysedInput& input, const CrackFilter& filter) {
    // The table reads the document the JSON format prints, so both always agree.
    std::string text;
    {
        JsonWriter writer(text, JsonWriter::Layout::Compact);
        writeAnalysisJson(writer, input, filter);
    }
    const json document = json::parse(text);
    out << "method " << document["method"].get<std::string>() << "   A "
        << document["AText"].get<std::string>() << "   B " << document["BText"].get<std::string>()
        << "\n\nnon-crossing line \"" << document["nonCrossing"]["name"].get<std::string>()
        << "\"\n  " << std::setw(10) << "L(mm)" << std::setw(10) << "T(us)" << '\n';
    for (const auto& point : document["nonCrossing"]["points"]) {
        out << "  " << std::setw(10) << fixed(point["distance"]) << std::setw(10)
            << fixed(point["transitTime"]) << '\n';
    }
    for (const auto& crack : document["cracks"]) {
        out << "\ncrossing line " << crack["line"].dump() << " \""
            << crack["name"].get<std::string>() << "\"";
        if (!crack["reversalIndex"].is_null()) {
            out << ", phase reversal at point " << crack["reversalIndex"].dump();
        }
        out << "\n  " << std::setw(4) << "#" << std::setw(10) << "L(mm)" << std::setw(10) << "T(us)"
            << "  status      " << std::setw(10) << "h(mm)" << std::setw(10) << "dB" << '\n';
        int index = 0;
        for (const auto& point : crack["points"]) {
            const json& db = point["amplitudeDb"];
            out << "  " << std::setw(4) << index++ << std::setw(10) << fixed(point["distance"])
                << std::setw(10) << fixed(point["transitTime"]) << "  "
                << point["status"].get<std::string>() << "  " << std::setw(10)
                << point["depthText"].get<std::string>() << std::setw(10) << fixed(db) << '\n';
        }
        out << "  crack depth " << crack["crackDepthText"].get<std::string>();
        const json& spread = crack["crackDepthSpread"];
        out << "   " << spread["kept"].dump() << " estimates";
        if (!spread["std"].is_null()) {
            out << ", std " << fixed(spread["std"]) << ", min " << fixed(spread["min"]) << ", max "
                << fixed(spread["max"]);
        }
        out << '\n';
    }
    if (document.contains("checks")) {
        out << "\nchecks";
        if (document["checks"].empty()) {
            out << ": none";
        }
        out << '\n';
        for (const auto& check : document["checks"]) {
            out << "  [" << check["kind"].get<std::string>() << "] "
                << check["message"].get<std::string>() << '\n';
        }
    }
}

} // namespace crackdepth::cli
