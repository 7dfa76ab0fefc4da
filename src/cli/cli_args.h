// Command-line parsing for crackdepth-cli: each command declares what it takes (how many
// positional arguments, its options with their kinds, choices and ranges, which options it
// needs and which exclude each other) and one parser checks the words against that, prints
// the help or the usage error, so that every command starts alike and a typo is a usage
// error, not a silent default.
#pragma once

#include <cstddef>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace crackdepth::cli {

using Words = std::vector<std::string>;

struct OptionSpec {
    enum class Kind {
        Flag,    // no value
        Text,    // any value that is not empty (a path)
        Choice,  // one of `choices`
        Integer, // a whole number within [low, high]
        Number,  // a finite number within (low, high], or [low, high] when lowIncluded
    };
    std::string name; // "--line", "-o"
    Kind kind = Kind::Flag;
    std::string valueName; // what the value stands for in messages: "L", "OUT.DPA"
    std::vector<std::string> choices;
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    bool lowIncluded = true;
    std::string takes; // Number: "a depth in mm" in "--min-depth takes a depth in mm, not 'x'"
};

OptionSpec flagOption(std::string name);
OptionSpec textOption(std::string name, std::string valueName);
OptionSpec choiceOption(std::string name, std::vector<std::string> choices);
OptionSpec integerOption(std::string name, std::string valueName, long low, long high);
OptionSpec numberOption(std::string name, std::string valueName, std::string takes, double low,
                        double high, bool lowIncluded);

struct CommandSpec {
    std::string name{}; // "spectrum"
    const char* help = "";
    std::size_t minPositional = 0;
    std::size_t maxPositional = std::numeric_limits<std::size_t>::max();
    std::string positionalText{}; // "exactly one FILE", in "expects exactly one FILE"
    // --format's choices; the first is what the command prints without --format, unless the
    // format is required (then it is one of `required`'s names).
    std::vector<std::string> formats = {"json", "text"};
    std::vector<OptionSpec> options{};
    // Each group's options are needed together: "--line L and --point P are required".
    std::vector<std::vector<std::string>> required{};
    // Pairs of options that cannot be given together.
    std::vector<std::pair<std::string, std::string>> exclusive{};
};

// The words of a command as checked against its spec: every value given is valid.
class Args {
public:
    std::vector<std::string> positional;

    bool has(const std::string& name) const;
    bool flag(const std::string& name) const { return flags_.count(name) != 0; }
    // The value as given; empty when the option was not given.
    std::string text(const std::string& name) const;
    // --format's value, or the command's default format when it was not given.
    const std::string& format() const { return format_; }
    bool textFormat() const { return format_ == "text"; }
    // The value of an Integer option, or `fallback` when it was not given.
    long integer(const std::string& name, long fallback) const;
    std::optional<long> integer(const std::string& name) const;
    // The value of a Number option, or none when it was not given.
    std::optional<float> number(const std::string& name) const;

private:
    template <typename T> std::optional<T> valueAs(const std::string& name) const;

    friend std::optional<Args> parseCommand(const CommandSpec&, const Words&, std::ostream&,
                                            std::ostream&, int&);
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::string format_;
};

// Parses the words after the command's name. Returns the arguments when the command is to
// run; otherwise none, with `status` the exit status: 0 after printing the help (--help,
// -h) on `out`, 2 after printing the usage error on `err`.
std::optional<Args> parseCommand(const CommandSpec& spec, const Words& words, std::ostream& out,
                                 std::ostream& err, int& status);

// "a, b or c"
std::string listedChoices(const std::vector<std::string>& choices);

} // namespace crackdepth::cli
