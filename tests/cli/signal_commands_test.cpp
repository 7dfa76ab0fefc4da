#include "../core/test_support.h"
#include "cli_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace crackdepth {
namespace {

using nlohmann::json;
const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

json runJson(const std::vector<std::string>& args) {
    const auto run = testing::runCli(args, kFixtures);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0 ? json::parse(run.out) : json();
}

TEST(SpectrumCommand, ScalesThePeakTo466) {
    for (const char* refine : {"5", "1", "32"}) {
        const json result =
            runJson({"spectrum", "SITE.DPA", "--line", "1", "--point", "2", "--refine", refine});
        ASSERT_TRUE(result.is_object()) << refine;
        EXPECT_EQ(result["refine"], std::stoi(refine));
        const auto bins = result["bins"].get<std::vector<double>>();
        ASSERT_EQ(bins.size(), 256u);
        const auto peak = result["peak"].get<std::size_t>();
        EXPECT_EQ(bins.at(peak), 466.0) << refine;
        EXPECT_EQ(std::max_element(bins.begin(), bins.end()) - bins.begin(),
                  static_cast<std::ptrdiff_t>(peak));
        EXPECT_GE(*std::min_element(bins.begin(), bins.end()), 0.0);
    }
    // The default refinement is 5.
    EXPECT_EQ(runJson({"spectrum", "SITE.DPA", "--line", "1", "--point", "2"}),
              runJson({"spectrum", "SITE.DPA", "--line", "1", "--point", "2", "--refine", "5"}));

    const auto text = testing::runCli(
        {"spectrum", "SITE.DPA", "--line", "1", "--point", "2", "--format", "text"}, kFixtures);
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("<- peak"), std::string::npos);
}

TEST(FilterCommand, NoFilterGivesTheWaveformAndALowPassChangesIt) {
    const json info = runJson({"info", "SITE.DPA", "--samples"});
    const json samples = info["lines"][1]["points"][2]["samples"];
    ASSERT_EQ(samples.size(), 512u);

    const json plain = runJson({"filter", "SITE.DPA", "--line", "1", "--point", "2"});
    EXPECT_EQ(plain["samples"], samples);

    const json lowPass =
        runJson({"filter", "SITE.DPA", "--line", "1", "--point", "2", "--lowpass", "50"});
    ASSERT_EQ(lowPass["samples"].size(), 512u);
    EXPECT_NE(lowPass["samples"], samples);
    const json both = runJson({"filter", "SITE.DPA", "--line", "1", "--point", "2", "--lowpass",
                               "50", "--highpass", "20"});
    EXPECT_NE(both["samples"], lowPass["samples"]);

    const auto text = testing::runCli(
        {"filter", "SITE.DPA", "--line", "1", "--point", "2", "--format", "text"}, kFixtures);
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find(std::to_string(samples[0].get<int>())), std::string::npos);
}

TEST(SignalCommands, RefuseBadUsageAndBadFiles) {
    testing::TempDir dir;
    auto bytes = testing::readBytes(kFixtures / "SITE.DPA");
    bytes.resize(bytes.size() / 2);
    testing::writeBytes(dir.path() / "CUT.DPA", bytes);
    std::filesystem::copy_file(kFixtures / "SITE.DPA", dir.path() / "SITE.DPA");

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message; // expected in stderr
    };
    const std::vector<std::string> spectrum{"spectrum", "SITE.DPA", "--line", "1", "--point", "2"};
    const std::vector<std::string> filter{"filter", "SITE.DPA", "--line", "1", "--point", "2"};
    const auto with = [](std::vector<std::string> args, std::initializer_list<std::string> more) {
        args.insert(args.end(), more);
        return args;
    };
    const Case cases[] = {
        {with(spectrum, {"--refine", "0"}), 2, "--refine takes a whole number from 1 to 32"},
        {with(spectrum, {"--refine", "33"}), 2, "--refine takes a whole number from 1 to 32"},
        {with(spectrum, {"--refine", "5x"}), 2, "--refine"},
        {{"spectrum", "SITE.DPA", "--line", "9", "--point", "2"}, 2, "--line 9 does not exist"},
        {{"spectrum", "SITE.DPA", "--line", "1", "--point", "999"}, 2, "--point 999"},
        {{"spectrum", "SITE.DPA", "--line", "1"}, 2, "--point P are required"},
        {{"filter", "SITE.DPA", "--line", "1"}, 2, "--point P are required"},
        {{"filter", "SITE.DPA", "--line", "9", "--point", "2"}, 2, "--line 9 does not exist"},
        {with(filter, {"--highpass", "abc"}), 2, "--highpass takes a positive cut-off"},
        {with(filter, {"--lowpass", "50k"}), 2, "--lowpass takes a positive cut-off"},
        {with(filter, {"--lowpass", "0"}), 2, "--lowpass takes a positive cut-off"},
        {with(filter, {"--highpass", "-20"}), 2, "--highpass takes a positive cut-off"},
        {with(filter, {"--highpass", "inf"}), 2, "--highpass takes a positive cut-off"},
        {with(filter, {"--lowpass", "1e38"}), 2, "--lowpass takes a positive cut-off"},
        {{"spectrum", "CUT.DPA", "--line", "1", "--point", "2"}, 1, "CUT.DPA"},
        {{"filter", "CUT.DPA", "--line", "1", "--point", "2"}, 1, "CUT.DPA"},
    };
    for (const Case& c : cases) {
        const auto run = testing::runCli(c.args, dir.path());
        std::string line;
        for (const auto& word : c.args) {
            line += word + ' ';
        }
        EXPECT_EQ(run.exitCode, c.exitCode) << line;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << line << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << line;
    }
}

} // namespace
} // namespace crackdepth
