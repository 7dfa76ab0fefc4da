// crackdepth-cli: the headless twin of the desktop program for batch work and checks.
#include "cli/commands.h"
#include "cli/memory_reserve.h"
#include "cli/output.h"

#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage = R"(Usage: crackdepth-cli COMMAND [ARGS] [OPTIONS]

Crack depth of concrete by the single-sided flat ultrasonic method, without a window.

Commands:
  info FILE [--samples]     headers and points of a .DP0, .DP1 or .DPA file
  analyze FILE.DPA | NC.DP0 [C.DP1] [--method regression|two-point] [--second-point K]
          [--picks stored|suggested] [--no-checks]
                            fit, per-point depths, statuses, the crack depth, its spread
                            and the measurement checks (in every analysis document)
  analyze PATH... [--recursive] [--pair-raw] [--format jsonl|csv|json|text] [--warnings]
                            many files and folders: one JSON line per file or CSV row per
                            crack
  pick FILE [--line L]      stored and suggested first arrival of every point
  spectrum FILE --line L --point P [--refine A]
                            refined power spectrum of one point's waveform
  filter FILE --line L --point P [--highpass KHZ] [--lowpass KHZ] [--zero-phase]
                            one point's waveform through the digital filter
  merge NC.DP0 C1.DP1 [C2.DP1 ...] -o OUT.DPA
                            merge raw files into a result file
  demo -o DIR [--seed N]    write a synthetic measurement set from a physical model
  report FILE.DPA --format pdf|bmp|xlsx|docx [--style standard|simple|wavetrain] -o OUT
                            the analysis report as a PDF file, bitmap pages, a workbook
                            or a word-processor document

Options for every command:
  --format json|text        output format (default json; report: pdf|bmp)
  --help                    usage of the command

Exit status: 0 success, 1 input refused, 2 usage error.
)";

struct Command {
    const char* name;
    int (*run)(const crackdepth::cli::Words&, std::ostream&, std::ostream&);
};

constexpr Command kCommands[] = {
    {"info", crackdepth::cli::runInfo},       {"demo", crackdepth::cli::runDemo},
    {"analyze", crackdepth::cli::runAnalyze}, {"spectrum", crackdepth::cli::runSpectrum},
    {"filter", crackdepth::cli::runFilter},   {"merge", crackdepth::cli::runMerge},
    {"pick", crackdepth::cli::runPick},       {"report", crackdepth::cli::runReportProgram},
};

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Enough for unwinding out of the largest output a command builds (a JSON array of a
    // 1,048,576-sample waveform is flattened onto a 16 MiB stack when it is destroyed).
    const crackdepth::cli::MemoryReserve reserve(std::size_t{64} << 20);
    if (argc < 2) {
        std::cerr << kUsage;
        return crackdepth::cli::kExitUsage;
    }
    const std::string name = argv[1];
    const crackdepth::cli::Words words(argv + 2, argv + argc);
    for (const Command& command : kCommands) {
        if (name == command.name) {
            return crackdepth::cli::runChecked(
                name, [&] { return command.run(words, std::cout, std::cerr); }, std::cout,
                std::cerr);
        }
    }
    if (name == "--help" || name == "-h" || name == "help") {
        return crackdepth::cli::runChecked(
            "--help",
            [] {
                std::cout << kUsage;
                return crackdepth::cli::kExitOk;
            },
            std::cout, std::cerr);
    }
    return crackdepth::cli::usageError(std::cerr, "", "unknown command '" + name + "'");
}
