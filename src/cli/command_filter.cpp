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

// The cut-off given as `name` in kHz, converted to Hz; none with a reason when it is
// malformed, not positive or not finite.
std::optional<Cutoff> cutoffOption(const Args& args, const std::string& name, std::string& error) {
    const auto found = args.values.find(name);
    if (found == args.values.end()) {
        return Cutoff{};
    }
    const std::string& text = found->second;
    float kHz = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), kHz);
    const float hz = kHz * 1000.0f;
    if (status != std::errc{} || end != text.data() + text.size() || !std::isfinite(hz) ||
        !(kHz > 0)) {
        error = name + " takes a positive cut-off frequency in kHz, not '" + text + "'";
        return std::nullopt;
    }
    return Cutoff{true, hz};
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
    std::string error;
    const auto args = parseArgs(
        words, {{"--line", "--point", "--highpass", "--lowpass"}, {"--zero-phase"}}, error);
    if (!args) {
        return usageError(err, "filter", error);
    }
    if (args->help) {
        out << kHelp;
        return kExitOk;
    }
    if (args->positional.size() != 1) {
        return usageError(err, "filter", "expects exactly one FILE");
    }
    const auto highPass = cutoffOption(*args, "--highpass", error);
    if (!highPass) {
        return usageError(err, "filter", error);
    }
    const auto lowPass = cutoffOption(*args, "--lowpass", error);
    if (!lowPass) {
        return usageError(err, "filter", error);
    }
    MeasurementFile file;
    PointChoice choice;
    if (const int status = openPointOf(*args, "filter", file, choice, err); status != kExitOk) {
        return status;
    }
    const MeasuringPoint& point = choice.line->points[choice.point];
    std::vector<Sample> filtered(point.originalSamples.size());
    FilterWaveform(point.originalSamples, filtered, point.record.samplingInterval(), highPass->on,
                   highPass->hz, lowPass->on, lowPass->hz, args->flags.count("--zero-phase") != 0);

    if (args->text) {
        printText(out, filtered);
    } else {
        printJson(out, {{"samples", filtered}});
    }
    return kExitOk;
}

} // namespace crackdepth::cli
