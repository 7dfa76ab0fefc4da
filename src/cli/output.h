// Output helpers shared by the commands: floats that print as their shortest exact decimal,
// the JSON document on stdout, and refusals on stderr.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

namespace crackdepth::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// A float as the double with the same shortest decimal form (4.8f prints as 4.8, not
// 4.800000190734863), so that every printed value reads back as the same float; a value
// that is not finite is null.
nlohmann::json jsonFloat(float value);

void printJson(std::ostream& out, const nlohmann::json& document);

// Prints the program's message text (when there is one) and an English explanation.
int refuse(std::ostream& err, const std::string& message, const std::string& explanation);
int usageError(std::ostream& err, const std::string& command, const std::string& reason);

// Runs the command `name` with its output checked: `out` throws at the first write that fails,
// which ends the command, and its last output is flushed before it counts as done. A failed
// write (a full disk, a closed pipe's end) exits 1 with a message on `err`, never 0; so does
// running out of memory.
int runChecked(const std::string& name, const std::function<int()>& command, std::ostream& out,
               std::ostream& err);

} // namespace crackdepth::cli
