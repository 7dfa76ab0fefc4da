// `merge NC.DP0 C1.DP1 [C2.DP1 ...] -o OUT.DPA`: the merge dialog's checks and write,
// without the dialog.
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/merge_sources.h"
#include "cli/output.h"
#include "cli/saved_settings.h"
#include "core/document/model/merge.h"
#include "core/document/model/scripted_prompts.h"

#include <system_error>

namespace crackdepth::cli {
namespace {

constexpr const char* kHelp =
    R"(Usage: crackdepth-cli merge NC.DP0 C1.DP1 [C2.DP1 ...] -o OUT.DPA [--format json|text]

Merges one non-crossing raw file and one or more crossing raw files (one per crack) into a
result file, with the checks of the desktop program's merge. The project information comes
from the desktop program's saved settings (empty when there are none).
  -o OUT.DPA   the result file to write (an existing one is replaced)
)";

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

} // namespace

int runMerge(const Words& words, std::ostream& out, std::ostream& err) {
    static const CommandSpec spec{
        .name = "merge",
        .help = kHelp,
        .minPositional = 2,
        .positionalText = "NC.DP0 and at least one C.DP1",
        .options = {textOption("-o", "OUT.DPA")},
        .required = {{"-o"}},
    };
    int status = kExitOk;
    const auto args = parseCommand(spec, words, out, err, status);
    if (!args) {
        return status;
    }
    const std::string target = args->text("-o");
    for (const std::string& source : args->positional) {
        if (sameFile(source, target)) {
            return usageError(err, "merge", "the result file would overwrite the input " + source);
        }
    }

    ScriptedPrompts prompts;
    MergeSession session(prompts);
    const std::vector<std::string> crossing(args->positional.begin() + 1, args->positional.end());
    if (const auto refusal =
            addMergeSources(session, prompts, args->positional.front(), crossing)) {
        return refuse(err, refusal->message, refusal->explanation);
    }
    if (!session.mergeTo(target, savedSettings().project)) {
        return refuse(err, joinedMessages(prompts), "cannot write " + target);
    }
    const int lines = static_cast<int>(crossing.size() + 1);
    if (args->textFormat()) {
        out << "merged " << lines << " lines into " << target << '\n';
    } else {
        printJson(out, {{"output", target}, {"lines", lines}});
    }
    return kExitOk;
}

} // namespace crackdepth::cli
