#include "../core/test_support.h"
#include "cli_test_support.h"
#include "core/common/byte_source.h"
#include "core/common/bytes.h"
#include "core/data/result_file.h"

#include <cmath>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

namespace crackdepth {
namespace {

using nlohmann::json;
const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

// JSON equality with floats compared to about 1e-6 relative; the path of the first
// difference is returned, empty when the documents agree.
std::string firstMismatch(const json& a, const json& b, const std::string& path = "") {
    if (a.is_number() && b.is_number()) {
        const double x = a.get<double>();
        const double y = b.get<double>();
        return std::fabs(x - y) <= 1e-6 * std::max(std::fabs(x), std::fabs(y)) + 1e-9
                   ? ""
                   : path + ": " + a.dump() + " vs " + b.dump();
    }
    if (a.type() != b.type()) {
        return path + ": " + a.dump() + " vs " + b.dump();
    }
    if (a.is_object()) {
        if (a.size() != b.size()) {
            return path + ": keys differ";
        }
        for (const auto& [key, value] : a.items()) {
            if (!b.contains(key)) {
                return path + "." + key + ": missing";
            }
            if (auto m = firstMismatch(value, b.at(key), path + "." + key); !m.empty()) {
                return m;
            }
        }
        return "";
    }
    if (a.is_array()) {
        if (a.size() != b.size()) {
            return path + ": lengths differ";
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (auto m = firstMismatch(a[i], b[i], path + "[" + std::to_string(i) + "]");
                !m.empty()) {
                return m;
            }
        }
        return "";
    }
    return a == b ? "" : path + ": " + a.dump() + " vs " + b.dump();
}

TEST(InfoCommand, PrintsExactlyWhatTheIndependentToolExpects) {
    for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
        const auto run = testing::runCli({"info", file}, kFixtures);
        ASSERT_EQ(run.exitCode, 0) << file << ": " << run.err;
        const json expected =
            json::parse(std::ifstream(kFixtures / (std::string(file) + ".info.json")));
        EXPECT_EQ(firstMismatch(json::parse(run.out), expected), "") << file;
    }
}

TEST(InfoCommand, SamplesOnRequestAndATextTable) {
    const auto withSamples = testing::runCli({"info", "SITE.DP0", "--samples"}, kFixtures);
    ASSERT_EQ(withSamples.exitCode, 0);
    const json document = json::parse(withSamples.out);
    EXPECT_EQ(document["lines"][0]["points"][4]["samples"].size(), 512u);

    const auto text = testing::runCli({"info", "SITE.DPA", "--format", "text"}, kFixtures);
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("滨江大桥 主梁"), std::string::npos);
    EXPECT_NE(text.out.find("line 2 crossing \"SITE_C2\""), std::string::npos);
}

// The text table keeps its columns apart whatever the size of the values, and prints each
// value so that it reads back as the value stored.
TEST(InfoCommand, TheTextTableKeepsLargeValuesApart) {
    testing::TempDir dir;
    FileSource source(kFixtures / "SITE.DPA");
    ResultFileContents contents;
    ASSERT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
    auto& points = contents.lines[0].points;
    contents.lines[0].header.firstSpacing = 123456.7f; // distances from the geometry
    const float delay = -98765.43f;
    const float gain = 1.5e7f;
    for (std::size_t k = 0; k < points.size(); ++k) {
        points[k].delay = delay;
        points[k].gain = gain;
        points[k].arrivalIndex = 1234567890;
    }
    std::vector<LineRef> lines;
    for (const LineData& line : contents.lines) {
        lines.push_back({&line.header, &line.points});
    }
    std::vector<std::uint8_t> bytes;
    WriteResultFile(bytes, lines, contents.projectBlock);
    testing::writeBytes(dir.path() / "LARGE.DPA", bytes);

    const auto run = testing::runCli({"info", "LARGE.DPA", "--format", "text"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json read = json::parse(testing::runCli({"info", "LARGE.DPA"}, dir.path()).out);
    const json& readPoints = read["lines"][0]["points"];
    std::istringstream text(run.out);
    std::string row;
    while (std::getline(text, row) && row.find("L(mm)") == std::string::npos) {
    }
    std::istringstream headings(row);
    const std::vector<std::string> columns{std::istream_iterator<std::string>(headings), {}};
    ASSERT_EQ(columns.size(), 8u) << row;
    ASSERT_EQ(readPoints.size(), points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        ASSERT_TRUE(std::getline(text, row));
        std::istringstream cells(row);
        const std::vector<std::string> cell{std::istream_iterator<std::string>(cells), {}};
        ASSERT_EQ(cell.size(), columns.size()) << row;
        const json& point = readPoints[k];
        EXPECT_EQ(cell[0], std::to_string(k));
        EXPECT_EQ(std::stof(cell[1]), point["distance"].get<float>()) << row;
        EXPECT_EQ(std::stof(cell[2]), point["delay"].get<float>()) << row;
        EXPECT_EQ(std::stof(cell[3]), point["gain"].get<float>()) << row;
        EXPECT_EQ(std::stol(cell[5]), point["arrivalIndex"].get<long>()) << row;
        EXPECT_GE(cell[2].size() + cell[5].size(), 18u) << "large values: " << row;
    }
}

TEST(InfoCommand, RefusesBadFilesAndBadUsage) {
    testing::TempDir dir;
    auto bytes = testing::readBytes(kFixtures / "SITE.DPA");
    bytes.resize(bytes.size() / 2);
    testing::writeBytes(dir.path() / "CUT.DPA", bytes);
    testing::writeBytes(dir.path() / "lower.dp0", testing::readBytes(kFixtures / "SITE.DP0"));
    testing::writeBytes(dir.path() / "WRONG.DP1", testing::readBytes(kFixtures / "SITE.DP0"));

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message; // expected in stderr
    };
    const Case cases[] = {
        {{"info", "CUT.DPA"}, 1, "无法识别的文件类型！"},
        {{"info", "WRONG.DP1"}, 1, "无法识别的文件类型！"},
        {{"info", "lower.dp0"}, 1, "不支持打开此文件！"},
        {{"info", "MISSING.DP0"}, 1, "cannot be opened"},
        {{"info"}, 2, "exactly one FILE"},
        {{"info", "CUT.DPA", "--bogus"}, 2, "unknown option --bogus"},
        {{"info", "CUT.DPA", "--format", "xml"}, 2, "json or text"},
        {{"frobnicate"}, 2, "unknown command"},
    };
    for (const Case& c : cases) {
        const auto run = testing::runCli(c.args, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.back();
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args.back() << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.args.back();
    }
}

TEST(InfoCommand, ALineCountThatDoesNotMatchTheLengthIsRefusedWithTheReason) {
    // The demo result file holds four lines; with a line count of 2 the project texts would
    // be read from waveform bytes and a save would drop two cracks.
    testing::TempDir dir;
    auto bytes = testing::readBytes(std::filesystem::path(CRACKDEPTH_EXAMPLES_DIR) / "DEMO.DPA");
    ASSERT_EQ(bytes.size(), 70672u);
    storeLE(&bytes[0x148], std::int32_t{2});
    testing::writeBytes(dir.path() / "DEMO.DPA", bytes);
    for (const char* command : {"info", "analyze"}) {
        const auto run = testing::runCli({command, "DEMO.DPA"}, dir.path());
        EXPECT_EQ(run.exitCode, 1) << command;
        EXPECT_TRUE(run.out.empty()) << command;
        EXPECT_NE(run.err.find("无法识别的文件类型！\n"), std::string::npos) << command;
        EXPECT_NE(
            run.err.find("DEMO.DPA: not a measurement file of this kind, or a damaged one: "
                         "文件长度与文件头不符：文件长 70672 字节，文件头所示长度为 41360 字节"),
            std::string::npos)
            << command << ": " << run.err;
    }
}

} // namespace
} // namespace crackdepth
