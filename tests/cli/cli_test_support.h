// Runs the built crackdepth-cli as a user would and captures what it prints.
#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace crackdepth::testing {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs the tool with `args` in the folder `cwd` (the current folder when empty), after the
// shell command `before` (a ulimit, say) when one is given.
inline CliRun runCli(const std::vector<std::string>& args, const std::filesystem::path& cwd = {},
                     const std::string& before = {}) {
    static int counter = 0;
    const auto errPath =
        std::filesystem::temp_directory_path() /
        ("crackdepth-cli-err-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::string command;
    if (!before.empty()) {
        command = before + " && ";
    }
    if (!cwd.empty()) {
        command += "cd " + shellQuote(cwd.string()) + " && ";
    }
    command += shellQuote(CRACKDEPTH_CLI);
    for (const auto& arg : args) {
        command += " " + shellQuote(arg);
    }
    command += " 2>" + shellQuote(errPath.string());
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 65536> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), got);
    }
    const int status = ::pclose(pipe);
    // The shell reports a tool killed by a signal as 128 + the signal.
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errFile(errPath);
    std::stringstream err;
    err << errFile.rdbuf();
    run.err = err.str();
    std::filesystem::remove(errPath);
    return run;
}

} // namespace crackdepth::testing
