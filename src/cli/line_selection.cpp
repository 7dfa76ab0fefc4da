#include "cli/line_selection.h"

#include "cli/output.h"

namespace crackdepth::cli {

const LineData* lineNumbered(const MeasurementFile& file, long number, std::string& error) {
    const long first = file.kind == FileKind::CrossingRaw ? 1 : 0;
    const long index = number - first;
    if (index < 0 || index >= static_cast<long>(file.lines.size())) {
        const long last = first + static_cast<long>(file.lines.size()) - 1;
        error = "--line " + std::to_string(number) + " does not exist: this file has line" +
                (first == last ? " " + std::to_string(first)
                               : "s " + std::to_string(first) + " to " + std::to_string(last));
        return nullptr;
    }
    return &file.lines[static_cast<std::size_t>(index)];
}

bool choosePoint(const Args& args, const MeasurementFile& file, PointChoice& choice,
                 std::string& error) {
    const auto line = args.integer("--line");
    const auto point = args.integer("--point");
    if (!line || !point) {
        error = "--line L and --point P are required";
        return false;
    }
    const LineData* chosen = lineNumbered(file, *line, error);
    if (chosen == nullptr) {
        return false;
    }
    if (static_cast<std::size_t>(*point) >= chosen->points.size()) {
        error = "--point " + std::to_string(*point) + " does not exist: line " +
                std::to_string(*line) + " has " + std::to_string(chosen->points.size()) + " points";
        return false;
    }
    choice = {chosen, static_cast<std::size_t>(*point)};
    return true;
}

int openPointOf(const Args& args, const std::string& command, MeasurementFile& file,
                PointChoice& choice, std::ostream& err) {
    const std::string& path = args.positional.front();
    OpenFailure failure;
    if (!openMeasurementFile(path, file, failure)) {
        return refuse(err, failure.message, path + ": " + failure.explanation);
    }
    std::string error;
    if (!choosePoint(args, file, choice, error)) {
        return usageError(err, command, error);
    }
    return kExitOk;
}

} // namespace crackdepth::cli
