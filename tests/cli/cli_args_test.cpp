// The one argument parser of every command: what a command declares is what it takes, and
// every mistake is a usage error (exit status 2) that names the option and what it takes.
#include "cli/cli_args.h"

#include <gtest/gtest.h>
#include <sstream>

namespace crackdepth::cli {
namespace {

const CommandSpec kSpec{
    .name = "try",
    .help = "Usage: crackdepth-cli try FILE\n",
    .minPositional = 1,
    .maxPositional = 2,
    .positionalText = "one or two FILEs",
    .formats = {"json", "csv"},
    .options = {choiceOption("--method", {"a", "b", "c"}), integerOption("--line", "L", 0, 9),
                integerOption("--point", "P", 0, 9),
                numberOption("--cut", "KHZ", "a positive cut-off", 0, 100, false),
                textOption("-o", "OUT"), flagOption("--quiet"), flagOption("--loud")},
    .required = {{"--line", "--point"}},
    .exclusive = {{"--quiet", "--loud"}},
};

struct Outcome {
    bool runs;
    int status;
    std::string out;
    std::string err;
};

Outcome parse(const Words& words) {
    std::ostringstream out;
    std::ostringstream err;
    int status = -1;
    const bool runs = parseCommand(kSpec, words, out, err, status).has_value();
    return {runs, status, out.str(), err.str()};
}

TEST(CommandArgs, MistakesAreUsageErrorsThatSayWhatIsTaken) {
    const Words point{"F", "--line", "1", "--point", "2"};
    const auto with = [&](Words more) {
        Words words = point;
        words.insert(words.end(), more.begin(), more.end());
        return words;
    };
    const struct {
        Words words;
        const char* reason; // in the usage error
    } cases[] = {
        {with({"--method", "d"}), "--method takes a, b or c, not 'd'"},
        {with({"--line", "1"}), "option --line given twice"},
        {{"F", "--line", "10", "--point", "2"},
         "--line takes a whole number from 0 to 9, not '10'"},
        {{"F", "--line", "1x", "--point", "2"},
         "--line takes a whole number from 0 to 9, not '1x'"},
        {{"F", "--line", "1"}, "--line L and --point P are required"},
        {with({"--cut", "0"}), "--cut takes a positive cut-off, not '0'"},
        {with({"--cut", "nan"}), "--cut takes a positive cut-off, not 'nan'"},
        {with({"--cut", "100.5"}), "--cut takes a positive cut-off, not '100.5'"},
        {with({"-o", ""}), "-o needs OUT"},
        {with({"-o"}), "option -o needs a value"},
        {with({"--quiet", "--loud"}), "--quiet and --loud cannot be given together"},
        {with({"--quiet=1"}), "unknown option --quiet=1"},
        {with({"--bogus"}), "unknown option --bogus"},
        {with({"--format", "text"}), "--format takes json or csv, not 'text'"},
        {{"--line", "1", "--point", "2"}, "expects one or two FILEs"},
        {with({"G", "H"}), "expects one or two FILEs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const Outcome outcome = parse(c.words);
        EXPECT_FALSE(outcome.runs);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, std::string("crackdepth-cli try: ") + c.reason +
                                   "\nTry 'crackdepth-cli try --help'.\n");
        EXPECT_TRUE(outcome.out.empty());
    }
}

TEST(CommandArgs, ValidWordsGiveTheirValuesAndHelpEndsWithStatusZero) {
    std::ostringstream out;
    std::ostringstream err;
    int status = -1;
    const auto args = parseCommand(kSpec,
                                   {"F", "--line=3", "--point", "0", "--cut", "2.5", "--method",
                                    "b", "--quiet", "G", "--format", "csv"},
                                   out, err, status);
    ASSERT_TRUE(args) << err.str();
    EXPECT_EQ(args->positional, (Words{"F", "G"}));
    EXPECT_EQ(args->integer("--line"), 3);
    EXPECT_EQ(args->integer("--point", 7), 0);
    EXPECT_EQ(args->number("--cut"), 2.5f);
    EXPECT_EQ(args->text("--method"), "b");
    EXPECT_TRUE(args->flag("--quiet"));
    EXPECT_FALSE(args->flag("--loud"));
    EXPECT_EQ(args->format(), "csv");
    EXPECT_FALSE(args->has("-o"));

    const auto defaults =
        parseCommand(kSpec, {"F", "--line", "1", "--point", "1"}, out, err, status);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->format(), "json");
    EXPECT_EQ(defaults->integer("--point", 7), 1);
    EXPECT_EQ(defaults->number("--cut"), std::nullopt);

    // Help comes before the checks of values, counts and needed options.
    const Outcome help = parse({"--help", "--line", "99"});
    EXPECT_FALSE(help.runs);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, kSpec.help);
    EXPECT_TRUE(help.err.empty());
}

} // namespace
} // namespace crackdepth::cli
