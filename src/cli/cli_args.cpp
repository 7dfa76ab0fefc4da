#include "cli/cli_args.h"

#include "cli/output.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace crackdepth::cli {
namespace {

const OptionSpec* find(const CommandSpec& spec, const std::string& name) {
    const auto found = std::find_if(spec.options.begin(), spec.options.end(),
                                    [&](const OptionSpec& option) { return option.name == name; });
    return found == spec.options.end() ? nullptr : &*found;
}

std::string usageOf(const OptionSpec& option) {
    if (option.kind == OptionSpec::Kind::Flag) {
        return option.name;
    }
    if (option.kind == OptionSpec::Kind::Choice) {
        std::string joined;
        for (const std::string& choice : option.choices) {
            joined += (joined.empty() ? "" : "|") + choice;
        }
        return option.name + " " + joined;
    }
    return option.name + " " + option.valueName;
}

std::string wholeNumber(double value) {
    return std::to_string(static_cast<long>(value));
}

// Why `value` is not a valid value of `option`, or empty when it is.
std::string invalidValue(const OptionSpec& option, const std::string& value) {
    const auto takes = [&](const std::string& what) {
        return option.name + " takes " + what + ", not '" + value + "'";
    };
    const char* const begin = value.data();
    const char* const end = value.data() + value.size();
    switch (option.kind) {
    case OptionSpec::Kind::Flag:
        return {};
    case OptionSpec::Kind::Text:
        return value.empty() ? option.name + " needs " + option.valueName : std::string();
    case OptionSpec::Kind::Choice:
        return std::find(option.choices.begin(), option.choices.end(), value) !=
                       option.choices.end()
                   ? std::string()
                   : takes(listedChoices(option.choices));
    case OptionSpec::Kind::Integer: {
        long number = 0;
        const auto [stop, status] = std::from_chars(begin, end, number);
        const bool valid = status == std::errc{} && stop == end &&
                           static_cast<double>(number) >= option.low &&
                           static_cast<double>(number) <= option.high;
        return valid ? std::string()
                     : takes("a whole number from " + wholeNumber(option.low) + " to " +
                             wholeNumber(option.high));
    }
    case OptionSpec::Kind::Number: {
        float number = 0;
        const auto [stop, status] = std::from_chars(begin, end, number);
        const double x = number;
        const bool valid = status == std::errc{} && stop == end && std::isfinite(number) &&
                           (option.lowIncluded ? x >= option.low : x > option.low) &&
                           x <= option.high;
        return valid ? std::string() : takes(option.takes);
    }
    }
    return {};
}

OptionSpec optionOf(std::string name, OptionSpec::Kind kind) {
    OptionSpec option;
    option.name = std::move(name);
    option.kind = kind;
    return option;
}

} // namespace

OptionSpec flagOption(std::string name) {
    return optionOf(std::move(name), OptionSpec::Kind::Flag);
}

OptionSpec textOption(std::string name, std::string valueName) {
    OptionSpec option = optionOf(std::move(name), OptionSpec::Kind::Text);
    option.valueName = std::move(valueName);
    return option;
}

OptionSpec choiceOption(std::string name, std::vector<std::string> choices) {
    OptionSpec option = optionOf(std::move(name), OptionSpec::Kind::Choice);
    option.choices = std::move(choices);
    return option;
}

OptionSpec integerOption(std::string name, std::string valueName, long low, long high) {
    OptionSpec option = optionOf(std::move(name), OptionSpec::Kind::Integer);
    option.valueName = std::move(valueName);
    option.low = static_cast<double>(low);
    option.high = static_cast<double>(high);
    return option;
}

OptionSpec numberOption(std::string name, std::string valueName, std::string takes, double low,
                        double high, bool lowIncluded) {
    OptionSpec option = optionOf(std::move(name), OptionSpec::Kind::Number);
    option.valueName = std::move(valueName);
    option.takes = std::move(takes);
    option.low = low;
    option.high = high;
    option.lowIncluded = lowIncluded;
    return option;
}

std::string listedChoices(const std::vector<std::string>& choices) {
    std::string listed;
    for (std::size_t k = 0; k < choices.size(); ++k) {
        listed += (k == 0 ? "" : k + 1 == choices.size() ? " or " : ", ") + choices[k];
    }
    return listed;
}

bool Args::has(const std::string& name) const {
    return values_.count(name) != 0 || flags_.count(name) != 0;
}

std::string Args::text(const std::string& name) const {
    const auto found = values_.find(name);
    return found == values_.end() ? std::string() : found->second;
}

long Args::integer(const std::string& name, long fallback) const {
    return integer(name).value_or(fallback);
}

// The option's value as read by from_chars, which the parser has already checked it reads
// whole; none when the option was not given.
template <typename T> std::optional<T> Args::valueAs(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        return std::nullopt;
    }
    T value{};
    std::from_chars(found->second.data(), found->second.data() + found->second.size(), value);
    return value;
}

std::optional<long> Args::integer(const std::string& name) const {
    return valueAs<long>(name);
}

std::optional<float> Args::number(const std::string& name) const {
    return valueAs<float>(name);
}

std::optional<Args> parseCommand(const CommandSpec& spec, const Words& words, std::ostream& out,
                                 std::ostream& err, int& status) {
    const auto usage = [&](const std::string& reason) {
        status = usageError(err, spec.name, reason);
        return std::nullopt;
    };
    // Every command takes --format with its own choices.
    OptionSpec format = choiceOption("--format", spec.formats);
    Args args;
    bool help = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            help = true;
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
        const OptionSpec* option = name == "--format" ? &format : find(spec, name);
        if (option == nullptr || (option->kind == OptionSpec::Kind::Flag && inlineValue)) {
            return usage("unknown option " + word);
        }
        if (args.has(name)) {
            return usage("option " + name + " given twice");
        }
        if (option->kind == OptionSpec::Kind::Flag) {
            args.flags_.insert(name);
            continue;
        }
        if (!inlineValue && i + 1 >= words.size()) {
            return usage("option " + name + " needs a value");
        }
        args.values_[name] = inlineValue ? *inlineValue : words[++i];
    }
    if (help) {
        out << spec.help;
        status = kExitOk;
        return std::nullopt;
    }
    // The values first, then what is missing, then what is too much: the most telling
    // reason first.
    for (const auto& [name, value] : args.values_) {
        const OptionSpec& option = name == "--format" ? format : *find(spec, name);
        if (const std::string reason = invalidValue(option, value); !reason.empty()) {
            return usage(reason);
        }
    }
    for (const auto& group : spec.required) {
        if (std::all_of(group.begin(), group.end(),
                        [&](const std::string& name) { return args.has(name); })) {
            continue;
        }
        std::string names;
        for (std::size_t k = 0; k < group.size(); ++k) {
            const OptionSpec& option = group[k] == "--format" ? format : *find(spec, group[k]);
            names += (k == 0 ? "" : " and ") + usageOf(option);
        }
        return usage(names + (group.size() > 1 ? " are required" : " is required"));
    }
    for (const auto& [first, second] : spec.exclusive) {
        if (args.has(first) && args.has(second)) {
            return usage(first + " and " + second + " cannot be given together");
        }
    }
    if (args.positional.size() < spec.minPositional ||
        args.positional.size() > spec.maxPositional) {
        return usage(spec.maxPositional == 0
                         ? "takes no positional arguments, got '" + args.positional.front() + "'"
                         : "expects " + spec.positionalText);
    }
    args.format_ = args.has("--format") ? args.text("--format") : spec.formats.front();
    return args;
}

} // namespace crackdepth::cli
