// `filter FILE --line L --point P [--highpass KHZ] [--lowpass KHZ]`: one point's waveform
// as read, through the program's digital filter.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/line_selection.h"
#include "cli/output.h"
#include "core/data/measurement_file.h"
#include "core/signal/filter.h"

#include <charconv>
#include <cmath>
#include <iomanip>
#include <optional>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp =
    R"(Usage: crackdepth-cli filter FILE --line L --point P [--highpass KHZ] [--lowpass KHZ] [--zero-phase] [--format json|text]

Prints one point's waveform as read (zero line 2048) after the digital filter. A filter is
switched on by giving its cut-off; with neither, the waveform is printed unchanged.
  --line L          line 0 is the non-crossing line, 1, 2, … the crossing lines
  --point P         point number within the line, from 0
  --highpass KHZ    high-pass cut-off in kHz (a positive number)
  --lowpass KHZ     low-pass cut-off in kHz (a positive number); it runs before the high-pass
  --zero-phase      run the filters forward and backward: the waveform is not delayed (the
                    one-way filter delays it by about a quarter period of its cut-off)
)";

constexpr std::size_t kSamplesPerTextLine = 16;

struct Cutoff {
    bool on = false;
    float hz = 0;
};

// The cut-off given as `name` in kHz, in Hz.
Cutoff cutoffOf(const Args& args, const std::string& name) {
    const auto kHz = args.number(name);
    return kHz ? Cutoff{true, *kHz * 1000.0f} : Cutoff{};
}

void printText(std::ostream& out, const std::vector<Sample>& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (i % kSamplesPerTextLine == 0) {
            if (i != 0) {
                out << '\n';
            }
            out << std::setw(6) << i << ':';
        }
        out << std::setw(6) << samples[i];
    }
    out << '\n';
}

} // namespace

int runFilter(const Words& words, std::ostream& out, std::ostream& err) {
    // A cut-off in kHz whose value in Hz is still a finite float.
    const auto cutoff = [](const char* name) {
        return numberOption(name, "KHZ", "a positive cut-off frequency in kHz", 0, 3.4e35, false);
    };
    static const CommandSpec spec{
        .name = "filter",
        .help = kHelp,
        .minPositional = 1,
        .maxPositional = 1,
        .positionalText = "exactly one FILE",
        .options = {pointOptions[0], pointOptions[1], cutoff("--highpass"), cutoff("--lowpass"),
                    flagOption("--zero-phase")},
        .required = {{"--line", "--point"}},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    const Cutoff highPass = cutoffOf(*args, "--highpass");
    const Cutoff lowPass = cutoffOf(*args, "--lowpass");
    MeasurementFile file;
    PointChoice choice;
    if (const int opened = openPointOf(*args, "filter", file, choice, err); opened != kExitOk) {
        return opened;
    }
    const MeasuringPoint& point = choice.line->points[choice.point];
    std::vector<Sample> filtered(point.originalSamples.size());
    FilterWaveform(point.originalSamples, filtered, point.record.samplingInterval(), highPass.on,
                   highPass.hz, lowPass.on, lowPass.hz, args->flag("--zero-phase"));

    if (args->textFormat()) {
        printText(out, filtered);
    } else {
        printJson(out, {{"samples", filtered}});
    }
    return kExitOk;
}

} // namespace crackdepth::cli
