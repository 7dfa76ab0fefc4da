// Line and point numbering of the command-line tool: line 0 is the non-crossing line, line
// k ≥ 1 the k-th crossing line in file order (the one line of a lone crossing raw file is
// line 1); points are numbered from 0.
#pragma once

#include "cli/cli_args.h"
#include "core/data/measurement_file.h"

#include <ostream>
#include <string>

namespace crackdepth::cli {

// The line numbered `number` in `file`, or none with a reason.
const LineData* lineNumbered(const MeasurementFile& file, long number, std::string& error);

// --line L and --point P as the commands that work on one point take them.
inline const OptionSpec pointOptions[] = {integerOption("--line", "L", 0, 65535),
                                          integerOption("--point", "P", 0, 65535)};

struct PointChoice {
    const LineData* line = nullptr;
    std::size_t point = 0;
};

// Checks --line L and --point P (both given) against the file; false with a reason for the
// user when either does not exist in it.
bool choosePoint(const Args& args, const MeasurementFile& file, PointChoice& choice,
                 std::string& error);

// Opens the command's one FILE and chooses its --line/--point: kExitOk, or the exit status
// after reporting why not (a refused file, or a usage error of `command`).
int openPointOf(const Args& args, const std::string& command, MeasurementFile& file,
                PointChoice& choice, std::ostream& err);

} // namespace crackdepth::cli
