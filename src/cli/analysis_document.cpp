#include "cli/analysis_document.h"

#include "cli/output.h"
#include "core/analysis/amplitude.h"
#include "core/analysis/crack_evaluation.h"
#include "core/analysis/transit_time.h"
#include "core/common/utf.h"
#include "core/data/measurement_file.h"
#include "core/document/document.h"
#include "core/document/line_loading.h"
#include "core/document/line_tabs.h"
#include "core/document/merge.h"

#include <iomanip>

namespace crackdepth::cli {
namespace {

using nlohmann::json;

json lineName(const TestParameters& header) {
    return withoutLastUnits(header.note, 4);
}

json optionalFloat(const std::optional<float>& value) {
    return value ? jsonFloat(*value) : json(nullptr);
}

json crackJson(int number, const PointList& points, const TestParameters& header,
               const CrackResult& result) {
    const ReversalPoint reversal = reversalOf(header);
    json rows = json::array();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PointEvaluation& evaluation = result.points[i];
        rows.push_back({
            {"distance", jsonFloat(points[i].distance)},
            {"transitTime", jsonFloat(evaluation.transitTime)},
            {"depth", optionalFloat(evaluation.depth)},
            {"depthText", evaluation.depthText},
            {"status", statusText(evaluation.status)},
            {"kept", evaluation.kept ? 1 : 0},
            {"amplitudeDb", optionalFloat(amplitudeDb(points[i], header.sampleCount))},
        });
    }
    return {
        {"line", number},
        {"name", lineName(header)},
        {"reversalIndex", reversal.set ? json(reversal.index) : json(nullptr)},
        {"points", std::move(rows)},
        {"crackDepth", optionalFloat(result.crackDepth)},
        {"crackDepthText", result.crackDepthText},
    };
}

std::string fixed(const json& value) {
    return value.is_null() ? std::string(kNoValueText) : formatFixed2(value.get<float>());
}

} // namespace

// The files as the desktop program holds them after opening them in the same order; the
// refusal (the program's message and an English explanation) when it would not.
std::optional<Refusal> openInput(const std::vector<std::string>& paths, DocumentData& data) {
    OpenFailure failure;
    const std::string& first = paths[0];
    MeasurementFile file;
    // The analysis needs no waveform but each point's amplitude sample.
    if (!openMeasurementFile(first, file, failure, SampleDetail::AmplitudeOnly)) {
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
    if (!openMeasurementFile(second, crossing, failure, SampleDetail::AmplitudeOnly)) {
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

json analysisJson(const DocumentData& data, const DocumentAnalysis& analysis) {
    const PointList& nonCrossing = *data.nonCrossingList;
    json nonCrossingPoints = json::array();
    for (std::size_t i = 0; i < nonCrossing.size(); ++i) {
        nonCrossingPoints.push_back(
            {{"distance", jsonFloat(nonCrossing[i].distance)},
             {"transitTime", jsonFloat(transitTime(nonCrossing[i], 0, 0).time)}});
    }
    json cracks = json::array();
    for (std::size_t k = 0; k < analysis.cracks.size(); ++k) {
        const LineId id = crossingLineOfTab(data, static_cast<std::int32_t>(k + 1));
        cracks.push_back(crackJson(static_cast<int>(k + 1), *data.line(id), *data.header(id),
                                   analysis.cracks[k]));
    }
    const std::optional<LineFit>& fit = analysis.fit;
    return {
        {"method", analysis.method == RegressionMethod::TwoPoint ? "two-point" : "regression"},
        {"A", fit ? jsonFloat(fit->A) : json(nullptr)},
        {"B", fit ? jsonFloat(fit->B) : json(nullptr)},
        {"AText", analysis.interceptText},
        {"BText", analysis.velocityText},
        {"nonCrossing",
         {{"name", lineName(data.nonCrossingParameters)}, {"points", nonCrossingPoints}}},
        {"cracks", std::move(cracks)},
    };
}

void printAnalysisText(std::ostream& out, const json& document) {
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
        out << "  crack depth " << crack["crackDepthText"].get<std::string>() << '\n';
    }
}

} // namespace crackdepth::cli
