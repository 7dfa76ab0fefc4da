// The raw files of one measurement put into a merge session with the merge dialog's checks:
// shared by `merge`, which writes the result file, and `analyze --pair-raw`, which analyses
// it without writing it.
#pragma once

#include "cli/analysis_document.h"
#include "core/document/model/merge.h"
#include "core/document/model/scripted_prompts.h"

#include <optional>
#include <string>
#include <vector>

namespace crackdepth::cli {

// The program's messages so far, one per line.
std::string joinedMessages(const ScriptedPrompts& prompts);

// Adds the non-crossing file and then the crossing files; the refusal of the first that the
// session does not take.
std::optional<Refusal> addMergeSources(MergeSession& session, const ScriptedPrompts& prompts,
                                       const std::string& nonCrossing,
                                       const std::vector<std::string>& crossing);

} // namespace crackdepth::cli
