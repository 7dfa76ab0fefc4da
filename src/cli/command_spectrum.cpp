// `spectrum FILE --line L --point P [--refine A]`: the amplitude spectrum of one point's
// working waveform, as the program's spectrum view computes it.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/line_selection.h"
#include "cli/output.h"
#include "core/data/measurement_file.h"
#include "core/signal/spectrum.h"

#include <cmath>
#include <iomanip>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp =
    R"(Usage: crackdepth-cli spectrum FILE --line L --point P [--refine A] [--format json|text]

Prints the spectrum of one point's working waveform: 256 bins scaled so that the largest
reads 466, and the index of that bin.
  --line L     line 0 is the non-crossing line, 1, 2, … the crossing lines
  --point P    point number within the line, from 0
  --refine A   refinement 1 … 32 (default 5): every A-th sample is kept, so bin k stands
               for k · 1e6 / (512 · A · dt) Hz with dt in us
)";

constexpr long kDefaultRefine = 5;

void printText(std::ostream& out, const SpectrumResult& result, std::int32_t refine, float dt) {
    out << "refine " << refine << ", peak at bin " << result.peak << '\n';
    out << std::setw(5) << "bin" << std::setw(14) << "freq(kHz)" << std::setw(14) << "value"
        << '\n';
    for (std::size_t k = 0; k < result.bins.size(); ++k) {
        const double kHz = binFrequencyHz(k, refine, dt) / 1000.0;
        out << std::setw(5) << k << std::setw(14);
        if (std::isfinite(kHz)) {
            out << std::fixed << std::setprecision(3) << kHz;
        } else {
            out << "-";
        }
        out << std::defaultfloat << std::setprecision(6) << std::setw(14) << result.bins[k];
        if (static_cast<std::int32_t>(k) == result.peak) {
            out << "  <- peak";
        }
        out << '\n';
    }
}

} // namespace

int runSpectrum(const Words& words, std::ostream& out, std::ostream& err) {
    static const CommandSpec spec{
        .name = "spectrum",
        .help = kHelp,
        .minPositional = 1,
        .maxPositional = 1,
        .positionalText = "exactly one FILE",
        .options = {pointOptions[0], pointOptions[1],
                    integerOption("--refine", "A", kMinRefine, kMaxRefine)},
        .required = {{"--line", "--point"}},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    const long refine = args->integer("--refine", kDefaultRefine);
    MeasurementFile file;
    PointChoice choice;
    if (const int opened = openPointOf(*args, "spectrum", file, choice, err); opened != kExitOk) {
        return opened;
    }
    const MeasuringPoint& point = choice.line->points[choice.point];
    const float dt = point.record.samplingInterval();
    const auto a = static_cast<std::int32_t>(refine);
    const SpectrumResult result = Spectrum(point.samples, choice.line->header.sampleCount, dt, a);

    if (args->textFormat()) {
        printText(out, result, a, dt);
        return kExitOk;
    }
    nlohmann::json bins = nlohmann::json::array();
    for (const float value : result.bins) {
        bins.push_back(jsonFloat(value));
    }
    printJson(out, {{"refine", a}, {"peak", result.peak}, {"bins", std::move(bins)}});
    return kExitOk;
}

} // namespace crackdepth::cli
