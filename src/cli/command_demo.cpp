// `demo -o DIR [--seed N]`: writes a synthetic measurement set with known crack depths.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/demo_model.h"
#include "cli/output.h"
#include "core/common/atomic_file.h"
#include "core/document/model/merge.h"
#include "core/document/model/scripted_prompts.h"

#include <filesystem>
#include <iomanip>
#include <system_error>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp = R"(Usage: crackdepth-cli demo -o DIR [--seed N] [--format json|text]

Writes a synthetic measurement set from a physical model into DIR (created if missing;
files of the same name are replaced): the non-crossing line DEMO.DP0, one crossing line
DEMO_C1.DP1, DEMO_C2.DP1, ... per crack, and DEMO.DPA, the result file that merges them;
prints the true depth of every crack.
  -o DIR      the folder to write into
  --seed N    the model's random seed, 0 to 2147483647 (default 1); a seed always gives
              the same files
)";

constexpr long kMaxSeed = 2147483647;

using nlohmann::json;

json summaryJson(const std::string& directory, const DemoSet& set) {
    json cracks = json::array();
    std::string nonCrossing;
    for (const DemoLine& line : set.lines) {
        if (line.crossing) {
            cracks.push_back({{"file", line.fileName}, {"trueDepth", line.trueDepth}});
        } else {
            nonCrossing = line.fileName;
        }
    }
    return {
        {"directory", directory},    {"velocity", set.velocity},    {"nonCrossing", nonCrossing},
        {"result", kDemoResultFile}, {"cracks", std::move(cracks)},
    };
}

void printText(std::ostream& out, const std::string& directory, const DemoSet& set) {
    out << "demo set written to " << directory << " (seed " << set.seed << ")\n"
        << "  velocity " << set.velocity << " km/s, zero offset " << set.zeroOffset << " us, burst "
        << set.frequency << " kHz, noise +-" << set.noiseAmplitude << " counts, sampling "
        << set.samplingInterval << " us x " << kDemoSampleCount << '\n';
    for (const DemoLine& line : set.lines) {
        const auto& points = line.points;
        out << "  " << std::left << std::setw(13) << line.fileName << std::right;
        if (line.crossing) {
            out << "crack depth " << std::setw(6) << line.trueDepth << " mm, ";
        } else {
            out << "non-crossing line,     ";
        }
        out << points.size() << " points at " << points[0].distance << " to "
            << points[points.size() - 1].distance << " mm\n";
    }
}

} // namespace

int runDemo(const Words& words, std::ostream& out, std::ostream& err) {
    static const CommandSpec spec{
        .name = "demo",
        .help = kHelp,
        .maxPositional = 0,
        .options = {textOption("-o", "DIR"), integerOption("--seed", "N", 0, kMaxSeed)},
        .required = {{"-o"}},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    const auto seed = args->integer("--seed", 1);
    const std::string directory = args->text("-o");

    const std::filesystem::path folder(directory);
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure || !std::filesystem::is_directory(folder)) {
        const std::string reason = failure ? failure.message() : "it is not a folder";
        return refuse(err, "", "cannot create the folder " + directory + ": " + reason);
    }

    const DemoSet set = makeDemoSet(static_cast<std::uint32_t>(seed));
    for (const DemoLine& line : set.lines) {
        const std::vector<std::uint8_t> bytes = encodeDemoLine(line);
        const WriteOutcome outcome = writeFileAtomically(folder / line.fileName, bytes);
        if (!outcome.ok) {
            return refuse(err, "", outcome.error);
        }
    }

    // The merged result file, made by the same merge as the desktop program's.
    ScriptedPrompts prompts;
    MergeSession merge(prompts);
    std::vector<std::string> crossing;
    for (const DemoLine& line : set.lines) {
        if (line.crossing) {
            crossing.push_back((folder / line.fileName).string());
        } else {
            merge.addNonCrossingFiles({(folder / line.fileName).string()});
        }
    }
    merge.addCrossingFiles(crossing);
    if (!prompts.shown.empty() ||
        !merge.mergeTo((folder / kDemoResultFile).string(), demoProjectInfo())) {
        return refuse(err, prompts.messages().empty() ? "" : prompts.messages().front(),
                      "cannot write the result file " + (folder / kDemoResultFile).string());
    }

    if (args->textFormat()) {
        printText(out, directory, set);
    } else {
        printJson(out, summaryJson(directory, set));
    }
    return kExitOk;
}

} // namespace crackdepth::cli
