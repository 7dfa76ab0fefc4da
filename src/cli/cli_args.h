// Command-line parsing for crackdepth-cli: positional arguments and --options, checked
// against what each command accepts so that a typo is a usage error, not a silent default.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace crackdepth::cli {

struct OptionSpec {
    std::set<std::string> withValue; // e.g. "--line", "-o"
    std::set<std::string> flags;     // e.g. "--samples"
};

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;
    bool text = false; // --format text

    bool has(const std::string& name) const { return values.count(name) != 0; }
};

// Parses argv[first …]; on a usage error returns none and puts the reason in `error`.
// Every command accepts --help and --format json|text.
std::optional<Args> parseArgs(const std::vector<std::string>& argv, const OptionSpec& spec,
                              std::string& error);

// Whole-number option values within [low, high]; none with a reason when malformed.
std::optional<long> integerOption(const Args& args, const std::string& name, long fallback,
                                  long low, long high, std::string& error);

} // namespace crackdepth::cli
