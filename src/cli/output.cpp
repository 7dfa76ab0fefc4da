#include "cli/output.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

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

int runChecked(const std::string& name, const std::function<int()>& command, std::ostream& out,
               std::ostream& err) {
    const auto writeFailed = [&] {
        // The system's reason, as the failed write left it.
        const int reason = errno;
        return refuse(err, "",
                      "cannot write the output of '" + name +
                          "': " + (reason != 0 ? std::strerror(reason) : "write error"));
    };
    // Run with `out` throwing at its first failed write. What it throws is caught by its base:
    // the library throws its own type of std::ios_base::failure, which a catch of that name
    // does not match. Before anything goes to `err`, which flushes `out` first (stderr is
    // tied to stdout), `out` stops throwing.
    int status = kExitOk;
    bool failed = false;
    out.exceptions(std::ios::badbit);
    try {
        status = command();
        errno = 0;
        out.flush();
    } catch (const std::bad_alloc&) {
        out.exceptions(std::ios::goodbit);
        // The readers refuse what cannot be held; whatever still runs out of memory (a huge
        // output, a busy machine) ends the command with a message, not an abort.
        status = refuse(err, "", "out of memory while running '" + name + "'");
        out.flush();
    } catch (const std::exception&) {
        if (!out.bad()) {
            throw;
        }
        failed = true;
    }
    out.exceptions(std::ios::goodbit);
    return failed || out.bad() ? writeFailed() : status;
}

} // namespace crackdepth::cli
