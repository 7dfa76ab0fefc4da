// `analyze FILE.DPA` · `analyze NC.DP0 [C.DP1]`: the fit of the non-crossing line, every
// crossing point's depth and status, and each crack's depth, as the desktop program shows
// them right after opening the files.
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

#include <iomanip>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp =
    R"(Usage: crackdepth-cli analyze FILE.DPA [OPTIONS]
       crackdepth-cli analyze NC.DP0 [C.DP1] [OPTIONS]

Fits L = A + B*T to the non-crossing line and evaluates every crossing line: the depth of
each point, its status and the crack depth. Transit times carry no time correction.
  --method regression|two-point   the fit (default: the one stored with the non-crossing line)
  --second-point K                two-point fit: the non-crossing point paired with point 0
                                  (default 1)
)";

using nlohmann::json;

// The files as the desktop program holds them after opening them in the same order.
int openInput(const Args& args, DocumentData& data, std::ostream& err) {
    OpenFailure failure;
    const std::string& first = args.positional[0];
    MeasurementFile file;
    if (!openMeasurementFile(first, file, failure)) {
        return refuse(err, failure.message, first + ": " + failure.explanation);
    }
    if (file.kind == FileKind::CrossingRaw) {
        return refuse(err, kNeedNonCrossingMessage,
                      first + ": a crossing raw file needs the non-crossing file before it");
    }
    if (file.kind == FileKind::Result) {
        if (args.positional.size() > 1) {
            return usageError(err, "analyze", "a result file is analysed on its own");
        }
        LoadResultLines(data, {std::move(file.lines), std::move(file.projectBlock)}, first);
        return kExitOk;
    }
    LoadNonCrossingLine(data, std::move(file.lines[0]), first);
    if (args.positional.size() < 2) {
        return kExitOk;
    }
    const std::string& second = args.positional[1];
    MeasurementFile crossing;
    if (!openMeasurementFile(second, crossing, failure)) {
        return refuse(err, failure.message, second + ": " + failure.explanation);
    }
    if (crossing.kind != FileKind::CrossingRaw) {
        return refuse(err, kUnrecognisedFileMessage, second + ": not a crossing raw file");
    }
    LineData& line = crossing.lines[0];
    if (!sameLineGeometry(data.nonCrossingParameters, *data.nonCrossingList, line.header,
                          line.points)) {
        return refuse(err, kParameterMismatchMessage,
                      second + ": its test parameters differ from the non-crossing file's");
    }
    LoadRawCrossingLine(data, std::move(line), second);
    return kExitOk;
}

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

void printText(std::ostream& out, const json& document) {
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

} // namespace

int runAnalyze(const Words& words, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto args = parseArgs(words, {{"--method", "--second-point"}, {}}, error);
    if (!args) {
        return usageError(err, "analyze", error);
    }
    if (args->help) {
        out << kHelp;
        return kExitOk;
    }
    if (args->positional.empty() || args->positional.size() > 2) {
        return usageError(err, "analyze", "expects FILE.DPA, or NC.DP0 and optionally C.DP1");
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

    DocumentData data;
    if (const int status = openInput(*args, data, err); status != kExitOk) {
        return status;
    }
    const PointList& nonCrossing = *data.nonCrossingList;
    if (args->has("--second-point") && *secondPoint >= static_cast<long>(nonCrossing.size())) {
        return usageError(err, "analyze",
                          "--second-point " + std::to_string(*secondPoint) +
                              " does not exist: the non-crossing line has " +
                              std::to_string(nonCrossing.size()) + " points");
    }
    const DocumentAnalysis analysis =
        AnalyseDocument(data, {method, static_cast<std::int32_t>(*secondPoint)});

    json nonCrossingPoints = json::array();
    for (std::size_t i = 0; i < nonCrossing.size(); ++i) {
        nonCrossingPoints.push_back(
            {{"distance", jsonFloat(nonCrossing[i].distance)},
             {"transitTime", jsonFloat(transitTime(nonCrossing[i], 0, 0).time)}});
    }
    json cracks = json::array();
    for (std::size_t k = 0; k < analysis.cracks.size(); ++k) {
        const LineId id = data.crossingLists.empty() ? LineId{LineKind::RawCrossing, 0}
                                                     : LineId{LineKind::Crossing, k};
        cracks.push_back(crackJson(static_cast<int>(k + 1), *data.line(id), *data.header(id),
                                   analysis.cracks[k]));
    }
    const std::optional<LineFit>& fit = analysis.fit;
    const json document = {
        {"method", analysis.method == RegressionMethod::TwoPoint ? "two-point" : "regression"},
        {"A", fit ? jsonFloat(fit->A) : json(nullptr)},
        {"B", fit ? jsonFloat(fit->B) : json(nullptr)},
        {"AText", analysis.interceptText},
        {"BText", analysis.velocityText},
        {"nonCrossing",
         {{"name", lineName(data.nonCrossingParameters)}, {"points", nonCrossingPoints}}},
        {"cracks", std::move(cracks)},
    };
    if (args->text) {
        printText(out, document);
    } else {
        printJson(out, document);
    }
    return kExitOk;
}

} // namespace crackdepth::cli
