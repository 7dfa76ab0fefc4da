#include "cli/output.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace crackdepth::cli {

nlohmann::json jsonFloat(float value) {
    if (!std::isfinite(value)) {
        return nullptr;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double shortest = 0;
    std::from_chars(buffer, result.ptr, shortest);
    return shortest;
}

void printJson(std::ostream& out, const nlohmann::json& document) {
    out << document.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

int refuse(std::ostream& err, const std::string& message, const std::string& explanation) {
    if (!message.empty()) {
        err << message << '\n';
    }
    err << "error: " << explanation << '\n';
    return kExitRefused;
}

int usageError(std::ostream& err, const std::string& command, const std::string& reason) {
    err << "crackdepth-cli";
    if (!command.empty()) {
        err << ' ' << command;
    }
    err << ": " << reason << "\nTry 'crackdepth-cli " << (command.empty() ? "" : command + " ")
        << "--help'.\n";
    return kExitUsage;
}

} // namespace crackdepth::cli
