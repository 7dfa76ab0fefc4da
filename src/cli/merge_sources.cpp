#include "cli/merge_sources.h"

namespace crackdepth::cli {

std::string joinedMessages(const ScriptedPrompts& prompts) {
    std::string text;
    for (const std::string& message : prompts.messages()) {
        text += (text.empty() ? "" : "\n") + message;
    }
    return text;
}

std::optional<Refusal> addMergeSources(MergeSession& session, const ScriptedPrompts& prompts,
                                       const std::string& nonCrossing,
                                       const std::vector<std::string>& crossing) {
    session.addNonCrossingFiles({nonCrossing});
    if (session.nonCrossingPath().empty()) {
        return Refusal{joinedMessages(prompts),
                       nonCrossing + ": not a usable non-crossing raw file"};
    }
    session.addCrossingFiles(crossing);
    if (session.rows().size() != crossing.size()) {
        return Refusal{joinedMessages(prompts),
                       crossing[session.rows().size()] +
                           ": not a crossing raw file of the same test parameters, or one given "
                           "twice"};
    }
    return std::nullopt;
}

} // namespace crackdepth::cli
