// `info FILE [--samples]`: the headers and points of a measurement file as read.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "core/common/utf.h"
#include "core/data/measurement_file.h"

#include <iomanip>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp = R"(Usage: crackdepth-cli info FILE [--samples] [--format json|text]

Prints the headers and points of a .DP0, .DP1 or .DPA file as the program reads them.
  --samples   include every point's working waveform (samples, zero line 2048)
)";

using nlohmann::json;

json headerJson(const TestParameters& h) {
    return {
        {"fileId", h.fileId},
        {"signature", h.signature},
        {"projectName", h.projectName},
        {"organisation", h.organisation},
        {"operatorName", h.operatorName},
        {"testDate", h.testDate},
        {"note", h.note},
        {"pointCount", h.pointCount},
        {"sampleCount", h.sampleCount},
        {"originOffset", jsonFloat(h.originOffset)},
        {"firstSpacing", jsonFloat(h.firstSpacing)},
        {"stepPartA", jsonFloat(h.stepPartA)},
        {"stepPartB", jsonFloat(h.stepPartB)},
        {"referenceDistance", jsonFloat(h.referenceDistance)},
        {"referencePoint", h.referencePoint},
        {"zeroCalibration", jsonFloat(h.zeroCalibration)},
        {"step", jsonFloat(h.step)},
        {"lineFlag", h.lineFlag},
        {"reversalIndex", h.reversalIndex},
        {"lineCount", h.lineCount},
    };
}

json pointJson(const MeasuringPoint& p, bool withSamples) {
    json point = {
        {"distance", jsonFloat(p.distance)},
        {"delay", jsonFloat(p.delay)},
        {"gain", jsonFloat(p.gain)},
        {"samplingInterval", jsonFloat(p.record.samplingInterval())},
        {"arrivalIndex", p.arrivalIndex},
        {"amplitudeIndex", p.amplitudeIndex},
        {"kept", p.kept},
        {"manualMark", jsonFloat(p.record.manualMark())},
    };
    if (withSamples) {
        point["samples"] = p.samples;
    }
    return point;
}

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

json infoJson(const std::string& path, const MeasurementFile& file, bool withSamples) {
    json document = {{"file", path}, {"kind", fileKindName(file.kind)}};
    json lines = json::array();
    for (const NumberedLine& entry : numberLines(file)) {
        json points = json::array();
        for (std::size_t k = 0; k < entry.line->points.size(); ++k) {
            points.push_back(pointJson(entry.line->points[k], withSamples));
        }
        lines.push_back({
            {"line", entry.number},
            {"role", entry.crossing ? "crossing" : "nonCrossing"},
            {"name", withoutLastUnits(entry.line->header.note, 4)},
            {"header", headerJson(entry.line->header)},
            {"points", std::move(points)},
        });
    }
    document["lines"] = std::move(lines);
    if (file.kind == FileKind::Result) {
        ProjectInfo info;
        file.projectBlock.copyInto(info);
        json project = json::object();
        for (const auto& field : ProjectBlock::kMapped) {
            project[std::to_string(field.projectIndex)] = info.texts[field.projectIndex];
        }
        document["project"] = std::move(project);
    }
    return document;
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
            << h.firstSpacing << " mm, step " << h.step << " mm, reference point "
            << h.referencePoint << " at " << h.referenceDistance << " mm, line flag " << h.lineFlag
            << ", reversal index " << h.reversalIndex << ", line count " << h.lineCount << '\n';
        out << "  " << std::setw(5) << "#" << std::setw(10) << "L(mm)" << std::setw(10)
            << "delay(us)" << std::setw(8) << "gain" << std::setw(8) << "dt(us)" << std::setw(9)
            << "arrival" << std::setw(6) << "kept" << std::setw(8) << "mark" << '\n';
        for (std::size_t k = 0; k < entry.line->points.size(); ++k) {
            const MeasuringPoint& p = entry.line->points[k];
            out << "  " << std::setw(5) << k << std::setw(10) << p.distance << std::setw(10)
                << p.delay << std::setw(8) << p.gain << std::setw(8) << p.record.samplingInterval()
                << std::setw(9) << p.arrivalIndex << std::setw(6) << p.kept << std::setw(8)
                << p.record.manualMark() << '\n';
            if (withSamples) {
                out << "        samples";
                for (const Sample s : p.samples) {
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
    std::string error;
    const auto args = parseArgs(words, {{}, {"--samples"}}, error);
    if (!args) {
        return usageError(err, "info", error);
    }
    if (args->help) {
        out << kHelp;
        return kExitOk;
    }
    if (args->positional.size() != 1) {
        return usageError(err, "info", "expects exactly one FILE");
    }
    const std::string& path = args->positional.front();
    const bool withSamples = args->flags.count("--samples") != 0;
    MeasurementFile file;
    OpenFailure failure;
    // The waveforms are read only when they are printed.
    if (!openMeasurementFile(path, file, failure,
                             withSamples ? SampleDetail::All : SampleDetail::AmplitudeOnly)) {
        return refuse(err, failure.message, path + ": " + failure.explanation);
    }
    if (args->text) {
        printText(out, path, file, withSamples);
    } else {
        printJson(out, infoJson(path, file, withSamples));
    }
    return kExitOk;
}

} // namespace crackdepth::cli
