// `info FILE [--samples]`: the headers and points of a measurement file as read.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/output.h"
#include "cli/text_columns.h"
#include "core/common/utf.h"
#include "core/data/measurement_file.h"

#include <iomanip>
#include <map>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp = R"(Usage: crackdepth-cli info FILE [--samples] [--format json|text]

Prints the headers and points of a .DP0, .DP1 or .DPA file as the program reads them.
  --samples   include every point's working waveform (samples, zero line 2048)
)";

struct NumberedLine {
    int number;
    bool crossing;
    const LineData* line;
};

std::vector<NumberedLine> numberLines(const MeasurementFile& file) {
    std::vector<NumberedLine> numbered;
    for (std::size_t k = 0; k < file.lines.size(); ++k) {
        const bool crossing = file.kind == FileKind::CrossingRaw || k > 0;
        const int number = file.kind == FileKind::CrossingRaw ? 1 : static_cast<int>(k);
        numbered.push_back({number, crossing, &file.lines[k]});
    }
    return numbered;
}

void writeHeader(JsonWriter& out, const TestParameters& h) {
    out.beginObject();
    out.key("fileId").value(h.fileId);
    out.key("firstSpacing").value(h.firstSpacing);
    out.key("lineCount").value(h.lineCount);
    out.key("lineFlag").value(h.lineFlag);
    out.key("note").value(h.note);
    out.key("operatorName").value(h.operatorName);
    out.key("organisation").value(h.organisation);
    out.key("originOffset").value(h.originOffset);
    out.key("pointCount").value(h.pointCount);
    out.key("projectName").value(h.projectName);
    out.key("referenceDistance").value(h.referenceDistance);
    out.key("referencePoint").value(h.referencePoint);
    out.key("reversalIndex").value(h.reversalIndex);
    out.key("sampleCount").value(h.sampleCount);
    out.key("signature").value(h.signature);
    out.key("step").value(h.step);
    out.key("stepPartA").value(h.stepPartA);
    out.key("stepPartB").value(h.stepPartB);
    out.key("testDate").value(h.testDate);
    out.key("zeroCalibration").value(h.zeroCalibration);
    out.endObject();
}

// Members in the order of their names, as the JSON library printed them before.
void writePoint(JsonWriter& out, const MeasuringPoint& p, bool withSamples) {
    out.beginObject();
    out.key("amplitudeIndex").value(p.amplitudeIndex);
    out.key("arrivalIndex").value(p.arrivalIndex);
    out.key("delay").value(p.delay);
    out.key("distance").value(p.distance);
    out.key("gain").value(p.gain);
    out.key("kept").value(p.kept);
    out.key("manualMark").value(p.record.manualMark());
    if (withSamples) {
        out.key("samples").beginArray();
        for (const Sample sample : p.samples) {
            out.value(static_cast<std::int64_t>(sample));
        }
        out.endArray();
    }
    out.key("samplingInterval").value(p.record.samplingInterval());
    out.endObject();
}

// Written as it is produced: the samples of a large file never lie in memory as a tree.
void writeInfo(JsonWriter& out, const std::string& path, const MeasurementFile& file,
               bool withSamples) {
    out.beginObject();
    out.key("file").value(path);
    out.key("kind").value(fileKindName(file.kind));
    out.key("lines").beginArray();
    for (const NumberedLine& entry : numberLines(file)) {
        out.beginObject();
        out.key("header");
        writeHeader(out, entry.line->header);
        out.key("line").value(entry.number);
        out.key("name").value(withoutLastUnits(entry.line->header.note, 4));
        out.key("points").beginArray();
        for (std::size_t k = 0; k < entry.line->points.size(); ++k) {
            writePoint(out, entry.line->points[k], withSamples);
        }
        out.endArray();
        out.key("role").value(entry.crossing ? "crossing" : "nonCrossing");
        out.endObject();
    }
    out.endArray();
    if (file.kind == FileKind::Result) {
        ProjectInfo info;
        file.projectBlock.copyInto(info);
        std::map<std::string, const std::string*> texts; // "0", "1", "10", … in name order
        for (const auto& field : ProjectBlock::kMapped) {
            texts[std::to_string(field.projectIndex)] = &info.texts[field.projectIndex];
        }
        out.key("project").beginObject();
        for (const auto& [index, text] : texts) {
            out.key(index).value(*text);
        }
        out.endObject();
    }
    out.endObject();
}

void printText(std::ostream& out, const std::string& path, const MeasurementFile& file,
               bool withSamples) {
    out << path << " (" << fileKindName(file.kind) << ")\n";
    for (const NumberedLine& entry : numberLines(file)) {
        const TestParameters& h = entry.line->header;
        out << "\nline " << entry.number << ' ' << (entry.crossing ? "crossing" : "non-crossing")
            << " \"" << withoutLastUnits(h.note, 4) << "\"\n"
            << "  project " << h.projectName << " | organisation " << h.organisation
            << " | operator " << h.operatorName << " | date " << h.testDate << '\n'
            << "  points " << h.pointCount << ", samples " << h.sampleCount << ", first spacing "
            << shortestText(h.firstSpacing) << " mm, step " << shortestText(h.step)
            << " mm, reference point " << h.referencePoint << " at "
            << shortestText(h.referenceDistance) << " mm, line flag " << h.lineFlag
            << ", reversal index " << h.reversalIndex << ", line count " << h.lineCount << '\n';
        TextColumns table({"#", "L(mm)", "delay(us)", "gain", "dt(us)", "arrival", "kept", "mark"});
        for (std::size_t k = 0; k < entry.line->points.size(); ++k) {
            const MeasuringPoint& p = entry.line->points[k];
            table.addRow({std::to_string(k), shortestText(p.distance), shortestText(p.delay),
                          shortestText(p.gain), shortestText(p.record.samplingInterval()),
                          std::to_string(p.arrivalIndex), std::to_string(p.kept),
                          shortestText(p.record.manualMark())});
        }
        table.printHeadings(out, 2);
        for (std::size_t k = 0; k < table.rows(); ++k) {
            table.printRow(out, k, 2);
            if (withSamples) {
                out << "        samples";
                for (const Sample s : entry.line->points[k].samples) {
                    out << ' ' << s;
                }
                out << '\n';
            }
        }
    }
    if (file.kind == FileKind::Result) {
        ProjectInfo info;
        file.projectBlock.copyInto(info);
        out << "\nproject information\n";
        for (const auto& field : ProjectBlock::kMapped) {
            out << "  " << std::setw(2) << field.projectIndex << "  "
                << info.texts[field.projectIndex] << '\n';
        }
    }
}

} // namespace

int runInfo(const Words& words, std::ostream& out, std::ostream& err) {
    static const CommandSpec spec{
        .name = "info",
        .help = kHelp,
        .minPositional = 1,
        .maxPositional = 1,
        .positionalText = "exactly one FILE",
        .options = {flagOption("--samples")},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    const std::string& path = args->positional.front();
    const bool withSamples = args->flag("--samples");
    MeasurementFile file;
    OpenFailure failure;
    // The waveforms are read only when they are printed.
    if (!openMeasurementFile(path, file, failure,
                             withSamples ? SampleDetail::All : SampleDetail::AmplitudeOnly)) {
        return refuse(err, failure.message, path + ": " + failure.explanation);
    }
    if (args->textFormat()) {
        printText(out, path, file, withSamples);
    } else {
        JsonWriter writer(out, JsonWriter::Layout::Indented);
        writeInfo(writer, path, file, withSamples);
        writer.flush();
        out << '\n';
    }
    return kExitOk;
}

} // namespace crackdepth::cli
