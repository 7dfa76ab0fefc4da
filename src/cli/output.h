// Output helpers shared by the commands: floats that print as their shortest exact decimal,
// the JSON document on stdout, and refusals on stderr.
#pragma once

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

} // namespace crackdepth::cli
