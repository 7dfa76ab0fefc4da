#include "cli/commands.h"
#include "cli/output.h"
#include "core/data/settings_location.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace crackdepth::cli {

int runReportProgram(const Words& words, std::ostream& out, std::ostream& err) {
    const std::string program = (executableFolder() / "crackdepth-cli-report").string();
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    out.flush();
    err.flush();
    ::execv(program.c_str(), argv.data());
    // Only reached when the program could not be started.
    return refuse(err, "",
                  "the report program " + program + " cannot be started: " + std::strerror(errno));
}

} // namespace crackdepth::cli
