// A write that fails is never reported as success: every command that prints, with its
// output going to a full disk (/dev/full), and every command that writes files, on a disk that
// takes only a few kilobytes, ends with exit status 1 and says why on stderr.
#include "../core/test_support.h"
#include "cli_test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;
const std::filesystem::path kExamples = CRACKDEPTH_EXAMPLES_DIR;

class WriteFailure : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"DEMO.DPA", "DEMO.DP0", "DEMO_C1.DP1", "DEMO_C2.DP1"}) {
            std::filesystem::copy_file(kExamples / name, dir.path() / name);
        }
        std::filesystem::create_directories(dir.path() / "folder");
        for (int i = 0; i < 40; ++i) { // more output than one buffer holds
            std::filesystem::copy_file(kExamples / "DEMO.DPA",
                                       dir.path() / "folder" / ("F" + std::to_string(i) + ".DPA"));
        }
    }
    testing::TempDir dir;
};

TEST_F(WriteFailure, OutputToAFullDiskExitsOneWithAMessage) {
    const std::vector<std::vector<std::string>> commands = {
        {"--help"},
        {"info", "--help"},
        {"info", "DEMO.DPA"},
        {"info", "DEMO.DPA", "--format", "text"},
        {"info", "DEMO.DPA", "--samples"},
        {"analyze", "DEMO.DPA"},
        {"analyze", "DEMO.DPA", "--format", "text"},
        {"analyze", "DEMO.DP0", "DEMO_C1.DP1"},
        {"analyze", "folder"},
        {"analyze", "folder", "--format", "csv"},
        {"analyze", "folder", "--format", "json", "--jobs", "1"},
        {"analyze", "folder", "--format", "text"},
        {"pick", "DEMO.DPA"},
        {"pick", "DEMO.DPA", "--format", "text"},
        {"spectrum", "DEMO.DPA", "--line", "1", "--point", "2"},
        {"spectrum", "DEMO.DPA", "--line", "1", "--point", "2", "--format", "text"},
        {"filter", "DEMO.DPA", "--line", "1", "--point", "2"},
        {"filter", "DEMO.DPA", "--line", "1", "--point", "2", "--format", "text"},
        {"merge", "DEMO.DP0", "DEMO_C1.DP1", "-o", "MERGED.DPA"},
        {"demo", "-o", "demo"},
        {"demo", "-o", "demo", "--format", "text"},
        {"report", "DEMO.DPA", "--format", "pdf", "-o", "report.pdf"},
    };
    for (const auto& words : commands) {
        std::string line;
        for (const auto& word : words) {
            line += word + ' ';
        }
        SCOPED_TRACE(line);
        const auto run = testing::runCli(words, dir.path(), "exec >/dev/full");
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find("cannot write the output"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
    }
}

// A file that cannot be written whole is reported, and leaves nothing in its place. The file
// size limit stands for a full disk (with its signal ignored, a write past it fails).
TEST_F(WriteFailure, OutputFilesOnAFullDiskExitOneWithAMessage) {
    const struct {
        std::vector<std::string> words;
        const char* written; // the file or folder that must not appear
    } cases[] = {
        {{"merge", "DEMO.DP0", "DEMO_C1.DP1", "DEMO_C2.DP1", "-o", "MERGED.DPA"}, "MERGED.DPA"},
        {{"demo", "-o", "demo"}, "demo/DEMO.DPA"},
        {{"report", "DEMO.DPA", "--format", "pdf", "-o", "report.pdf"}, "report.pdf"},
        {{"report", "DEMO.DPA", "--format", "bmp", "-o", "page"}, "page1.bmp"},
        {{"report", "DEMO.DPA", "--format", "docx", "-o", "report.docx"}, "report.docx"},
        {{"report", "DEMO.DPA", "--format", "xlsx", "-o", "report.xlsx"}, "report.xlsx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        const auto run = testing::runCli(c.words, dir.path(), "trap '' XFSZ && ulimit -f 16");
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("[ERROR]"), std::string::npos) << "only our message: " << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / c.written));
    }
}

} // namespace
} // namespace crackdepth
