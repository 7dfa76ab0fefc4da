// `crackdepth-cli report`: the PDF read back by a PDF reader holds the numbers `analyze` prints
// and as many pages as the report has; bitmap pages are one file each; bad requests are
// refused without leaving files behind.
#include "../core/test_support.h"
#include "cli_test_support.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>

namespace crackdepth {
namespace {

using nlohmann::json;
const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

// What a shell command prints on stdout.
std::string shellOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, got);
    }
    ::pclose(pipe);
    return out;
}

std::string pdfText(const std::filesystem::path& pdf) {
    return shellOutput("pdftotext -layout " + testing::shellQuote(pdf.string()) + " -");
}

int pdfPages(const std::filesystem::path& pdf) {
    const std::string info = shellOutput("pdfinfo " + testing::shellQuote(pdf.string()));
    std::smatch match;
    return std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(match[1])
                                                                          : -1;
}

std::string withoutUnit(const json& text) {
    const std::string s = text.get<std::string>();
    return s.substr(0, s.find('('));
}

json run(const std::vector<std::string>& words) {
    const auto result = testing::runCli(words, kFixtures);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.exitCode == 0 ? json::parse(result.out) : json{};
}

TEST(ReportCommand, ThePdfHoldsTheNumbersTheAnalysisPrints) {
    const testing::TempDir dir;
    const json analysis = run({"analyze", "SITE.DPA"});
    ASSERT_FALSE(analysis.empty());

    for (const char* style : {"standard", "simple"}) {
        SCOPED_TRACE(style);
        const auto pdf = dir.path() / (std::string(style) + ".pdf");
        const json written =
            run({"report", "SITE.DPA", "--format", "pdf", "--style", style, "-o", pdf.string()});
        ASSERT_EQ(written["files"], json::array({pdf.string()}));
        EXPECT_EQ(pdfPages(pdf), written["pages"].get<int>());
        const std::string text = pdfText(pdf);
        EXPECT_NE(text.find(withoutUnit(analysis["AText"])), std::string::npos) << text;
        EXPECT_NE(text.find(withoutUnit(analysis["BText"])), std::string::npos);
        EXPECT_NE(text.find("检测单位"), std::string::npos) << "Chinese text is searchable";
        for (const json& crack : analysis["cracks"]) {
            EXPECT_NE(text.find(withoutUnit(crack["crackDepthText"])), std::string::npos);
            if (std::string(style) == "simple") {
                for (const json& point : crack["points"]) {
                    EXPECT_NE(text.find(point["depthText"].get<std::string>()), std::string::npos);
                }
            }
        }
    }
    // The standard style puts each crack on pages of its own.
    const json standard = run({"report", "SITE.DPA", "--format", "pdf", "--style", "standard", "-o",
                               (dir.path() / "again.pdf").string()});
    EXPECT_GE(standard["pages"].get<std::size_t>(), analysis["cracks"].size());
}

// The demo of seed 7 measures its crossing lines from 50 mm and its non-crossing line from
// 100 mm, with crossing lines shorter and longer than the non-crossing one: every table row
// shows each point beside its own distance, the simple style names each crack after its
// crossing line, and every crack ends with its "测量检查".
TEST(ReportCommand, EveryRowShowsAPointBesideItsOwnDistance) {
    const testing::TempDir dir;
    ASSERT_EQ(testing::runCli({"demo", "-o", dir.path().string(), "--seed", "7"}).exitCode, 0);
    const std::string dpa = (dir.path() / "DEMO.DPA").string();
    const json analysis = run({"analyze", dpa});
    ASSERT_FALSE(analysis.empty());
    const std::size_t cracks = analysis["cracks"].size();
    const auto count = [](const std::string& text, const std::string& word) {
        std::size_t n = 0;
        for (std::size_t at = text.find(word); at != std::string::npos;
             at = text.find(word, at + word.size())) {
            ++n;
        }
        return n;
    };
    for (const char* style : {"standard", "simple", "wavetrain"}) {
        SCOPED_TRACE(style);
        const auto pdf = dir.path() / (std::string(style) + ".pdf");
        run({"report", dpa, "--format", "pdf", "--style", style, "-o", pdf.string()});
        const std::string text = pdfText(pdf);
        EXPECT_EQ(count(text, "测量检查"), cracks) << text;
        if (std::string(style) == "wavetrain") {
            continue;
        }
        for (const json& crack : analysis["cracks"]) {
            const std::string name = crack["name"].get<std::string>();
            const std::string stem = name.substr(0, name.rfind('.'));
            EXPECT_NE(text.find(stem), std::string::npos) << stem;
            std::size_t k = 0;
            for (const json& point : crack["points"]) {
                ++k;
                const auto distance = std::to_string(point["distance"].get<int>());
                const auto time =
                    std::to_string(static_cast<int>(point["transitTime"].get<double>()));
                // Standard: number, crossing distance, crossing time. Simple: number, the
                // non-crossing distance and time, then the crossing distance and time.
                const std::string pattern = std::string(style) == "standard"
                                                ? "(^|\\n)\\s*" + std::to_string(k) + "\\s+" +
                                                      distance + "\\s+" + time + "\\s"
                                                : "(^|\\n)\\s*" + std::to_string(k) +
                                                      "\\s+\\S+\\s+\\S+\\s+" + distance + "\\s+" +
                                                      time + "\\s";
                EXPECT_TRUE(std::regex_search(text, std::regex(pattern)))
                    << stem << " point " << k << " at " << distance << " mm, " << time << " us";
            }
        }
    }
}

TEST(ReportCommand, BitmapPagesAreOneFileEach) {
    const testing::TempDir dir;
    const std::string stem = (dir.path() / "page").string();
    const json written = run({"report", "SITE.DPA", "--format", "bmp", "-o", stem});
    const int pages = written["pages"].get<int>();
    ASSERT_GT(pages, 0);
    ASSERT_EQ(written["files"].size(), static_cast<std::size_t>(pages));
    for (int page = 1; page <= pages; ++page) {
        const std::string file = stem + std::to_string(page) + ".bmp";
        EXPECT_EQ(written["files"][static_cast<std::size_t>(page - 1)], file);
        EXPECT_EQ(std::filesystem::file_size(file), 184862u);
    }
}

// What the command prints names what it wrote: pages where the file has pages of ours, the
// sheets of a workbook, nothing more of a document; "-o page.bmp" is the stem "page".
TEST(ReportCommand, PrintsWhatEachFormatHolds) {
    const testing::TempDir dir;
    const auto at = [&](const char* name) { return (dir.path() / name).string(); };
    const json pdf = run({"report", "SITE.DPA", "--format", "pdf", "-o", at("r.pdf")});
    const json bmp = run({"report", "SITE.DPA", "--format", "bmp", "-o", at("page.bmp")});
    const json upper = run({"report", "SITE.DPA", "--format", "bmp", "-o", at("PAGE.BMP")});
    const json xlsx = run({"report", "SITE.DPA", "--format", "xlsx", "-o", at("r.xlsx")});
    const json docx = run({"report", "SITE.DPA", "--format", "docx", "-o", at("r.docx")});
    const int pages = pdfPages(at("r.pdf"));
    EXPECT_EQ(pdf, (json{{"files", {at("r.pdf")}}, {"pages", pages}}));
    json pageFiles = json::array();
    json upperFiles = json::array();
    for (int page = 1; page <= pages; ++page) {
        pageFiles.push_back(at("page") + std::to_string(page) + ".bmp");
        upperFiles.push_back(at("PAGE") + std::to_string(page) + ".bmp");
        EXPECT_TRUE(std::filesystem::exists(pageFiles.back().get<std::string>()));
    }
    EXPECT_EQ(bmp, (json{{"files", pageFiles}, {"pages", pages}}));
    EXPECT_EQ(upper, (json{{"files", upperFiles}, {"pages", pages}}));
    EXPECT_FALSE(std::filesystem::exists(at("page.bmp1.bmp")));
    const std::size_t cracks = run({"analyze", "SITE.DPA"})["cracks"].size();
    EXPECT_EQ(xlsx, (json{{"files", {at("r.xlsx")}}, {"sheets", cracks + 1}}));
    EXPECT_EQ(docx, (json{{"files", {at("r.docx")}}}));
}

// A workbook that cannot be written says so once, in our words and with the system's reason:
// the workbook library's own "[ERROR] …" lines stay off stderr.
TEST(ReportCommand, AFailedWorkbookGivesOnlyOurMessage) {
    const testing::TempDir dir;
    testing::writeBytes(dir.path() / "file", {1});
    for (const auto& target : {dir.path() / "missing" / "r.xlsx", dir.path() / "file" / "r.xlsx"}) {
        SCOPED_TRACE(target.string());
        const auto result = testing::runCli(
            {"report", "SITE.DPA", "--format", "xlsx", "-o", target.string()}, kFixtures);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err.rfind("error: cannot write " + target.string() + ": ", 0), 0u)
            << result.err;
        EXPECT_EQ(result.err.find("[ERROR]"), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

TEST(ReportCommand, RefusesWhatItCannotDo) {
    const testing::TempDir dir;
    const std::string out = (dir.path() / "out.pdf").string();
    const struct {
        std::vector<std::string> words;
        int exitCode;
        const char* message; // on stderr
    } cases[] = {
        {{"report", "SITE.DPA", "--format", "svg", "-o", out}, 2, "pdf, bmp, xlsx or docx"},
        {{"report", "SITE.DPA", "--format", "xlsx", "-o", (dir.path() / "no" / "x.xlsx").string()},
         1,
         "cannot write"},
        {{"report", "SITE.DPA", "--format", "pdf", "--style", "fancy", "-o", out}, 2, "wavetrain"},
        {{"report", "SITE.DPA", "--format", "pdf"}, 2, "-o OUT"},
        {{"report", "SITE.DPA", "-o", out}, 2, "--format"},
        {{"report", "MISSING.DPA", "--format", "pdf", "-o", out}, 1, ""},
        {{"report", "SITE.DP0", "--format", "pdf", "-o", out}, 1, "无法识别的文件类型！"},
        {{"report", "SITE.DPA", "--format", "pdf", "-o", (dir.path() / "no" / "x.pdf").string()},
         1,
         "cannot create"},
        {{"report", "SITE.DPA", "--format", "bmp", "-o", (dir.path() / "no" / "p").string()},
         1,
         "error!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        const auto result = testing::runCli(c.words, kFixtures);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a refused report leaves no file";
}

} // namespace
} // namespace crackdepth
