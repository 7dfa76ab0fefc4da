// `analyze PATH...`: many files and folders in one call, as JSON lines, CSV rows that a CSV
// reader takes back, in input order whatever the number of threads, a refused file giving
// its own record and exit status 1.
#include "../core/test_support.h"
#include "cli_test_support.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/stat.h>

namespace crackdepth {
namespace {

using nlohmann::json;
const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;
const std::filesystem::path kExamples = CRACKDEPTH_EXAMPLES_DIR;

class BatchAnalyze : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "site" / "deeper");
        std::filesystem::copy_file(kExamples / "DEMO.DPA", dir.path() / "DEMO.DPA");
        std::filesystem::copy_file(kFixtures / "SITE.DPA", dir.path() / "site" / "SITE.DPA");
        std::filesystem::copy_file(kFixtures / "SITE.DPA",
                                   dir.path() / "site" / "deeper" / "AGAIN.DPA");
        std::filesystem::copy_file(kFixtures / "SITE.DP0", dir.path() / "site" / "SITE.DP0");
        // Raw files: the demo's, a crossing file named like another measurement, and a
        // non-crossing file whose crossing file was taken with other test parameters.
        std::filesystem::create_directories(dir.path() / "raw");
        for (const char* name : {"DEMO.DP0", "DEMO_C1.DP1", "DEMO_C2.DP1", "DEMO_C3.DP1"}) {
            std::filesystem::copy_file(kExamples / name, dir.path() / "raw" / name);
        }
        std::filesystem::copy_file(kExamples / "DEMO_C1.DP1", dir.path() / "raw" / "DEMO2.DP1");
        std::filesystem::copy_file(kFixtures / "SITE.DP0", dir.path() / "raw" / "MIXED.DP0");
        std::filesystem::copy_file(kExamples / "DEMO_C1.DP1", dir.path() / "raw" / "MIXED_1.DP1");
        const auto bytes = testing::readBytes(kExamples / "DEMO.DPA");
        testing::writeBytes(dir.path() / "BROKEN.DPA",
                            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 3000));
    }
    testing::CliRun analyze(std::vector<std::string> args) {
        args.insert(args.begin(), "analyze");
        return testing::runCli(args, dir.path());
    }
    // The "file" of every JSON line.
    static std::vector<std::string> filesOf(const std::string& lines) {
        std::vector<std::string> files;
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);) {
            files.push_back(json::parse(line)["file"].get<std::string>());
        }
        return files;
    }

    testing::TempDir dir;
};

TEST_F(BatchAnalyze, FilesAndFoldersGiveOneLineEachInInputOrder) {
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> files;
        int exitCode;
    } cases[] = {
        {{"DEMO.DPA", "site/SITE.DPA"}, {"DEMO.DPA", "site/SITE.DPA"}, 0},
        {{"site/SITE.DPA", "DEMO.DPA", "--jobs", "1"}, {"site/SITE.DPA", "DEMO.DPA"}, 0},
        {{"BROKEN.DPA", "DEMO.DPA"}, {"BROKEN.DPA", "DEMO.DPA"}, 1},
        {{"site"}, {"site/SITE.DPA"}, 0}, // a folder: its result files only
        {{"site", "--recursive"}, {"site/SITE.DPA", "site/deeper/AGAIN.DPA"}, 0},
        {{".", "--recursive", "--jobs", "3"},
         {"./BROKEN.DPA", "./DEMO.DPA", "./site/SITE.DPA", "./site/deeper/AGAIN.DPA"},
         1},
        {{"DEMO.DPA", "--format", "jsonl"}, {"DEMO.DPA"}, 0},
        {{"raw"}, {}, 0}, // raw files count only when paired
        {{"raw", "--pair-raw"}, {"raw/DEMO.DP0", "raw/MIXED.DP0"}, 1},
        {{"raw/DEMO.DP0", "--pair-raw", "--format", "jsonl"}, {"raw/DEMO.DP0"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " … " + c.args.back());
        const auto run = analyze(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(filesOf(run.out), c.files);
    }
    // Each line is the single-file document of its file, with the file named, and with the
    // measurement checks when they are asked for; a refused file's line carries the program's
    // message and an explanation.
    json single = json::parse(analyze({"DEMO.DPA"}).out);
    const auto lineOf = [&](const std::vector<std::string>& args, std::size_t k) {
        std::istringstream lines(analyze(args).out);
        std::string line;
        for (std::size_t i = 0; i <= k; ++i) {
            std::getline(lines, line);
        }
        return json::parse(line);
    };
    json checked = lineOf({"BROKEN.DPA", "DEMO.DPA", "--warnings"}, 1);
    checked.erase("file");
    EXPECT_EQ(checked, single);
    const json broken = lineOf({"BROKEN.DPA", "DEMO.DPA"}, 0);
    json demo = lineOf({"BROKEN.DPA", "DEMO.DPA"}, 1);
    demo.erase("file");
    EXPECT_EQ(demo, single);
    EXPECT_EQ(broken["error"], "无法识别的文件类型！");
    EXPECT_FALSE(broken["explanation"].get<std::string>().empty());
}

TEST_F(BatchAnalyze, AFolderEntryThatIsNoFileGetsARecordWithTheReason) {
    const auto folder = dir.path() / "odd";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kExamples / "DEMO.DPA", folder / "DEMO.DPA");
    ASSERT_EQ(::mkfifo((folder / "PIPE.DPA").c_str(), 0600), 0);
    std::filesystem::create_symlink("NOWHERE.DPA", folder / "GONE.DPA");
    std::filesystem::create_symlink("LOOP.DPA", folder / "LOOP.DPA");
    std::filesystem::create_directory(folder / "FOLDER.DPA"); // a folder is no file: no record

    const auto run = analyze({"odd", "--format", "jsonl"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(filesOf(run.out), (std::vector<std::string>{"odd/DEMO.DPA", "odd/GONE.DPA",
                                                          "odd/LOOP.DPA", "odd/PIPE.DPA"}));
    const struct {
        const char* file;
        const char* reason;
    } cases[] = {
        {"odd/GONE.DPA", "a symbolic link whose target does not exist"},
        {"odd/LOOP.DPA", "a loop of symbolic links"},
        {"odd/PIPE.DPA", "a FIFO (named pipe)"},
    };
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        const json record = json::parse(line);
        for (const auto& c : cases) {
            if (record["file"] == c.file) {
                EXPECT_EQ(record["error"], "") << c.file;
                const auto explanation = record["explanation"].get<std::string>();
                EXPECT_EQ(explanation.rfind(std::string(c.file) + ": " + c.reason, 0), 0u)
                    << explanation;
            }
        }
    }
    const auto csv = analyze({"odd", "--format", "csv"});
    EXPECT_NE(csv.out.find("odd/PIPE.DPA,,,,,,,,,,\"odd/PIPE.DPA: a FIFO (named pipe)"),
              std::string::npos)
        << csv.out;
}

// A non-crossing raw file with its crossing raw files reads as the result file that merging
// them gives; a crossing file of other test parameters refuses the measurement as the merge
// does.
TEST_F(BatchAnalyze, PairedRawFilesAnalyseAsTheirMergedResultFile) {
    const auto run = analyze({"raw", "--pair-raw", "--format", "jsonl"});
    EXPECT_EQ(run.exitCode, 1);
    std::istringstream lines(run.out);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    json paired = json::parse(line);
    EXPECT_EQ(paired["crossingFiles"],
              json::array({"raw/DEMO_C1.DP1", "raw/DEMO_C2.DP1", "raw/DEMO_C3.DP1"}));
    ASSERT_EQ(testing::runCli({"merge", "raw/DEMO.DP0", "raw/DEMO_C1.DP1", "raw/DEMO_C2.DP1",
                               "raw/DEMO_C3.DP1", "-o", "MERGED.DPA"},
                              dir.path())
                  .exitCode,
              0);
    paired.erase("file");
    paired.erase("crossingFiles");
    const json merged = json::parse(analyze({"MERGED.DPA"}).out);
    EXPECT_EQ(paired, merged);

    ASSERT_TRUE(std::getline(lines, line));
    const json mixed = json::parse(line);
    EXPECT_EQ(mixed["file"], "raw/MIXED.DP0");
    EXPECT_EQ(mixed["error"],
              "打开失败！\n提示：请选择与不跨裂缝文件检测\n      参数一致的跨裂缝文件!");
    EXPECT_NE(mixed["explanation"].get<std::string>().find("raw/MIXED_1.DP1"), std::string::npos);
}

// The CSV as a spreadsheet or any CSV reader takes it back: Python's csv module here.
TEST_F(BatchAnalyze, CsvRowsPerCrackReadBackByACsvReader) {
    const auto run = analyze({".", "--recursive", "--format", "csv", "--min-depth", "100"});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.out.rfind("\xEF\xBB\xBF", 0), 0u) << "UTF-8 with a byte order mark";
    testing::writeBytes(dir.path() / "out.csv",
                        std::vector<std::uint8_t>(run.out.begin(), run.out.end()));
    const std::string script =
        "import csv,json,sys\n"
        "rows=list(csv.DictReader(open(sys.argv[1],encoding='utf-8-sig',newline='')))\n"
        "print(json.dumps(rows,ensure_ascii=False))\n";
    testing::writeBytes(dir.path() / "read.py",
                        std::vector<std::uint8_t>(script.begin(), script.end()));
    std::string printed;
    const std::string command = "python3 " +
                                testing::shellQuote((dir.path() / "read.py").string()) + " " +
                                testing::shellQuote((dir.path() / "out.csv").string());
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            printed.append(buffer, got);
        }
        ::pclose(pipe);
    }
    const json rows = json::parse(printed);
    // The analysis of each file, filtered to the cracks of at least 100 mm.
    std::vector<std::string> expected;
    for (const char* file : {"./DEMO.DPA", "./site/SITE.DPA", "./site/deeper/AGAIN.DPA"}) {
        const json document = json::parse(analyze({file}).out);
        for (const json& crack : document["cracks"]) {
            if (crack["crackDepth"].is_number() && crack["crackDepth"].get<float>() >= 100) {
                expected.push_back(std::string(file) + "|" + crack["line"].dump() + "|" +
                                   crack["crackDepthText"].get<std::string>());
            }
        }
    }
    std::vector<std::string> seen;
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0]["file"], "./BROKEN.DPA");
    EXPECT_EQ(rows[0]["error"], "无法识别的文件类型！");
    EXPECT_EQ(rows[0]["crackDepth"], "");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const json& row = rows[i];
        EXPECT_EQ(row["error"], "");
        EXPECT_EQ(row["method"], "regression");
        EXPECT_GE(std::stof(row["crackDepth"].get<std::string>()), 100.0f);
        EXPECT_LE(std::stoi(row["kept"].get<std::string>()),
                  std::stoi(row["points"].get<std::string>()));
        seen.push_back(row["file"].get<std::string>() + "|" + row["line"].get<std::string>() + "|" +
                       row["crackDepthText"].get<std::string>());
    }
    EXPECT_EQ(seen, expected);
}

// One rule for the checks: every analysis document carries them, of one file or of many,
// whatever else is asked; --no-checks leaves them out everywhere. One measurement gives the
// same document whichever options of many files come with it.
TEST_F(BatchAnalyze, EveryDocumentCarriesTheChecksUnlessLeftOut) {
    const json single = json::parse(analyze({"DEMO.DPA"}).out);
    ASSERT_TRUE(single.contains("checks"));
    const auto records = [&](std::vector<std::string> args) {
        const auto run = analyze(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::vector<json> documents;
        std::istringstream lines(run.out);
        if (run.out.rfind("{\n", 0) == 0 || run.out.rfind("[", 0) == 0) {
            const json whole = json::parse(run.out);
            documents = whole.is_array() ? whole.get<std::vector<json>>() : std::vector{whole};
        } else {
            for (std::string line; std::getline(lines, line);) {
                documents.push_back(json::parse(line));
            }
        }
        for (json& document : documents) {
            document.erase("file");
        }
        return documents;
    };
    const std::vector<std::string> options[] = {
        {"DEMO.DPA", "--recursive"},
        {"DEMO.DPA", "--jobs", "2"},
        {"DEMO.DPA", "--min-depth", "0"},
        {"DEMO.DPA", "--warnings"},
        {"DEMO.DPA", "--format", "jsonl"},
        {"DEMO.DPA", "DEMO.DPA"},
        {"DEMO.DPA", "DEMO.DPA", "--format", "json"},
    };
    for (const auto& args : options) {
        SCOPED_TRACE(args.back());
        for (const json& document : records(args)) {
            EXPECT_EQ(document, single);
        }
    }
    json without = single;
    without.erase("checks");
    for (auto args : options) {
        args.push_back("--no-checks");
        if (std::find(args.begin(), args.end(), "--warnings") != args.end()) {
            continue;
        }
        SCOPED_TRACE(args.front() + " " + args[1] + " --no-checks");
        for (const json& document : records(args)) {
            EXPECT_EQ(document, without);
        }
    }
    const auto both = analyze({"DEMO.DPA", "--no-checks", "--warnings"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("--no-checks and --warnings cannot be given together"),
              std::string::npos)
        << both.err;
    // A table lists them too.
    EXPECT_NE(analyze({"DEMO.DPA", "DEMO.DPA", "--format", "text"}).out.find("\nchecks"),
              std::string::npos);
}

TEST_F(BatchAnalyze, UsageErrors) {
    const struct {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"DEMO.DPA", "MISSING.DPA"}, "no such file"},
        {{"DEMO.DPA", "--format", "xml"}, "--format"},
        {{"DEMO.DPA", "--jobs", "0"}, "--jobs"},
        {{"DEMO.DPA", "--min-depth", "deep"}, "--min-depth"},
    };
    for (const auto& c : cases) {
        const auto run = analyze(c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

} // namespace
} // namespace crackdepth
