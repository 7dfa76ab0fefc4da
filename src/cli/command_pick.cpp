// `pick FILE [--line L]`: every point's stored first arrival beside the suggested one, so that
// an engineer sees where the instrument's pick and the waveform disagree.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/line_selection.h"
#include "cli/output.h"
#include "core/analysis/fit.h"
#include "core/analysis/transit_time.h"
#include "core/common/utf.h"
#include "core/document/commands/suggested_picks.h"

#include <iomanip>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp = R"(Usage: crackdepth-cli pick FILE [--line L] [--format json|text]

Lists every point's stored first arrival and the one suggested from its waveform (sample
index and transit time in us without corrections), their difference in samples and the
suggestion's quality (0 to 1; at least 0.5 is a confident suggestion). A point without a
clear first arrival has no suggestion.
  --line L   only line L (0 the non-crossing line, 1, 2, ... the crossing lines)
)";

// The transit time the point would have with its first arrival at `index`.
float timeAt(const MeasuringPoint& point, std::int32_t index) {
    return transitTime(point, index, 0, 0).time;
}

struct PickRow {
    std::size_t point;
    const MeasuringPoint* measured;
    std::optional<OnsetSuggestion> suggestion;
};

std::vector<PickRow> rowsOf(const LineData& line) {
    std::vector<PickRow> rows;
    for (std::size_t i = 0; i < line.points.size(); ++i) {
        rows.push_back({i, &line.points[i], suggestionFor(line.points[i])});
    }
    return rows;
}

void writeLine(JsonWriter& out, long number, const LineData& line) {
    out.beginObject();
    out.key("line").value(static_cast<std::int64_t>(number));
    out.key("name").value(withoutLastUnits(line.header.note, 4));
    out.key("points").beginArray();
    for (const PickRow& row : rowsOf(line)) {
        const MeasuringPoint& point = *row.measured;
        out.beginObject();
        out.key("point").value(static_cast<std::int64_t>(row.point));
        out.key("distance").value(point.distance);
        out.key("storedIndex").value(point.arrivalIndex);
        out.key("storedTime").value(timeAt(point, point.arrivalIndex));
        if (row.suggestion) {
            out.key("suggestedIndex").value(row.suggestion->index);
            out.key("suggestedTime").value(timeAt(point, row.suggestion->index));
            out.key("difference").value(row.suggestion->index - point.arrivalIndex);
            out.key("quality").value(static_cast<float>(row.suggestion->quality));
        } else {
            for (const char* name : {"suggestedIndex", "suggestedTime", "difference", "quality"}) {
                out.key(name).null();
            }
        }
        out.endObject();
    }
    out.endArray();
    out.endObject();
}

void printLine(std::ostream& out, long number, const LineData& line) {
    out << "line " << number << " \"" << withoutLastUnits(line.header.note, 4) << "\"\n  "
        << std::setw(4) << "#" << std::setw(10) << "L(mm)" << std::setw(8) << "stored"
        << std::setw(10) << "T(us)" << std::setw(11) << "suggested" << std::setw(10) << "T(us)"
        << std::setw(6) << "diff" << std::setw(9) << "quality" << '\n';
    for (const PickRow& row : rowsOf(line)) {
        const MeasuringPoint& point = *row.measured;
        out << "  " << std::setw(4) << row.point << std::setw(10) << formatFixed2(point.distance)
            << std::setw(8) << point.arrivalIndex << std::setw(10)
            << formatFixed2(timeAt(point, point.arrivalIndex));
        if (row.suggestion) {
            out << std::setw(11) << row.suggestion->index << std::setw(10)
                << formatFixed2(timeAt(point, row.suggestion->index)) << std::setw(6)
                << row.suggestion->index - point.arrivalIndex << std::setw(9) << std::fixed
                << std::setprecision(2) << row.suggestion->quality;
        } else {
            out << std::setw(11) << "none";
        }
        out << '\n';
    }
}

} // namespace

int runPick(const Words& words, std::ostream& out, std::ostream& err) {
    static const CommandSpec spec{
        .name = "pick",
        .help = kHelp,
        .minPositional = 1,
        .maxPositional = 1,
        .positionalText = "exactly one FILE",
        .options = {integerOption("--line", "L", 0, 65535)},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    const std::string& path = args->positional.front();
    MeasurementFile file;
    OpenFailure failure;
    if (!openMeasurementFile(path, file, failure)) {
        return refuse(err, failure.message, path + ": " + failure.explanation);
    }
    const long first = file.kind == FileKind::CrossingRaw ? 1 : 0;
    std::vector<std::pair<long, const LineData*>> lines;
    if (const auto number = args->integer("--line")) {
        std::string error;
        const LineData* line = lineNumbered(file, *number, error);
        if (line == nullptr) {
            return usageError(err, "pick", error);
        }
        lines.emplace_back(*number, line);
    } else {
        for (std::size_t k = 0; k < file.lines.size(); ++k) {
            lines.emplace_back(first + static_cast<long>(k), &file.lines[k]);
        }
    }
    if (args->textFormat()) {
        for (const auto& [number, line] : lines) {
            printLine(out, number, *line);
        }
        return kExitOk;
    }
    JsonWriter writer(out, JsonWriter::Layout::Indented);
    writer.beginObject();
    writer.key("lines").beginArray();
    for (const auto& [number, line] : lines) {
        writeLine(writer, number, *line);
    }
    writer.endArray();
    writer.endObject();
    writer.flush();
    out << '\n';
    return kExitOk;
}

} // namespace crackdepth::cli
