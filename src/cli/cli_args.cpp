#include "cli/cli_args.h"

#include <charconv>

namespace crackdepth::cli {

std::optional<Args> parseArgs(const std::vector<std::string>& argv, const OptionSpec& spec,
                              std::string& error) {
    Args args;
    bool formatSeen = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& word = argv[i];
        if (word == "--help" || word == "-h") {
            args.help = true;
            continue;
        }
        if (word.size() < 2 || word[0] != '-') {
            args.positional.push_back(word);
            continue;
        }
        std::string name = word;
        std::optional<std::string> inlineValue;
        if (const auto eq = word.find('='); eq != std::string::npos && word.rfind("--", 0) == 0) {
            name = word.substr(0, eq);
            inlineValue = word.substr(eq + 1);
        }
        if (name == "--format" || spec.withValue.count(name) != 0) {
            std::string value;
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < argv.size()) {
                value = argv[++i];
            } else {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
            // A command that names --format itself (the report) checks its value.
            if (name == "--format" && spec.withValue.count(name) == 0) {
                if (value != "json" && value != "text") {
                    error = "--format takes json or text, not '" + value + "'";
                    return std::nullopt;
                }
                if (formatSeen) {
                    error = "--format given twice";
                    return std::nullopt;
                }
                formatSeen = true;
                args.text = value == "text";
                continue;
            }
            if (args.values.count(name) != 0) {
                error = "option " + name + " given twice";
                return std::nullopt;
            }
            args.values[name] = value;
        } else if (spec.flags.count(name) != 0 && !inlineValue) {
            args.flags.insert(name);
        } else {
            error = "unknown option " + word;
            return std::nullopt;
        }
    }
    return args;
}

std::optional<long> integerOption(const Args& args, const std::string& name, long fallback,
                                  long low, long high, std::string& error) {
    const auto found = args.values.find(name);
    if (found == args.values.end()) {
        return fallback;
    }
    const std::string& text = found->second;
    long value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
        error = name + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not '" + text + "'";
        return std::nullopt;
    }
    return value;
}

} // namespace crackdepth::cli
