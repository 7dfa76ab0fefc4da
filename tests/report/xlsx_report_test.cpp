// The spreadsheet report as a user's office program reads it: the package opened as a zip,
// its sheets, shared strings, column widths and picture anchor read as XML, and one
// rendering by an office program turned into text.
#include "core/document/model/document_analysis.h"
#include "office_support.h"
#include "report/report_content.h"
#include "report/xlsx_report.h"

#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <pugixml.hpp>
#include <set>

namespace crackdepth::report {
namespace {

namespace fs = std::filesystem;
using namespace crackdepth::report::testing;

TEST(XlsxReport, SheetNamesAWorkbookCanHold) {
    const std::string long40(40, 'L');
    const struct {
        std::vector<std::string> lines;
        std::vector<std::string> sheets;
    } cases[] = {
        {{"SITE_C1.DP1", "SITE_C2.DP1"}, {"SITE_C1.DP1", "SITE_C2.DP1"}},
        {{"a[1]:*?/\\b"}, {"a_1______b"}},
        {{long40}, {std::string(31, 'L')}},
        {{"C1", "c1", "C1"}, {"C1", "c1 (2)", "C1 (3)"}},
        {{"Sheet1"}, {"Sheet1 (2)"}},   // the first sheet has that name already
        {{"history"}, {"history (2)"}}, // a name the spreadsheet keeps for itself
        {{"C1\tnew"}, {"C1_new"}},
        {{""}, {"_"}},
        {{"'quoted'"}, {"_quoted_"}},
        {{long40, long40}, {std::string(31, 'L'), std::string(27, 'L') + " (2)"}},
        {{"跨缝测线一号跨缝测线一号跨缝测线一号跨缝测线一号跨缝测线一号跨缝"},
         {"跨缝测线一号跨缝测线一号跨缝测线一号跨缝测线一号跨缝测线一号跨"}}, // 31 characters
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sheetNamesOf(c.lines), c.sheets) << c.lines.front();
    }
}

TEST(XlsxReport, CellNumbersAreThePlainDecimalTextsOnly) {
    const struct {
        const char* text;
        std::optional<double> value;
        int decimals;
    } cases[] = {
        {"12", 12, 0},  {"-3", -3, 0},  {"169.64", 169.64, 2}, {"0.50", 0.5, 2},   {"--.--", {}, 0},
        {"", {}, 0},    {"-", {}, 0},   {"12.", {}, 0},        {".5", {}, 0},      {"1e5", {}, 0},
        {" 12", {}, 0}, {"12 ", {}, 0}, {"169.64(mm)", {}, 0}, {"SITE_C1", {}, 0}, {"1,5", {}, 0},
    };
    for (const auto& c : cases) {
        const std::optional<CellNumber> number = cellNumberOf(c.text);
        ASSERT_EQ(number.has_value(), c.value.has_value()) << c.text;
        if (number) {
            EXPECT_EQ(number->value, *c.value) << c.text;
            EXPECT_EQ(number->decimals, c.decimals) << c.text;
        }
    }
}

// A sheet's cells as a spreadsheet shows them, by reference ("C1"): texts through the shared
// strings, numbers through the number format of their cell style (the workbook's formats
// are "0", "0.00" and such with a quoted unit after them). `numbers` gets the references of
// the number cells.
std::map<std::string, std::string> cellsOf(const std::map<std::string, std::string>& parts,
                                           const std::string& sheetPart,
                                           std::set<std::string>* numbers = nullptr) {
    pugi::xml_document shared;
    EXPECT_TRUE(shared.load_string(parts.at("xl/sharedStrings.xml").c_str()));
    std::vector<std::string> strings;
    for (pugi::xml_node si : shared.child("sst").children("si")) {
        strings.push_back(si.child("t").text().get());
    }
    pugi::xml_document styles;
    EXPECT_TRUE(styles.load_string(parts.at("xl/styles.xml").c_str()));
    const pugi::xml_node styleSheet = styles.child("styleSheet");
    std::map<int, std::string> codes{{0, "General"}, {1, "0"}, {2, "0.00"}};
    for (pugi::xml_node format : styleSheet.child("numFmts").children("numFmt")) {
        codes[format.attribute("numFmtId").as_int()] = format.attribute("formatCode").value();
    }
    std::vector<std::string> styleCodes;
    for (pugi::xml_node xf : styleSheet.child("cellXfs").children("xf")) {
        styleCodes.push_back(codes[xf.attribute("numFmtId").as_int()]);
    }
    const auto shown = [](double value, const std::string& code) {
        const std::size_t point = code.find('.');
        const std::size_t quote = code.find('"');
        const std::size_t digitsEnd =
            point == std::string::npos ? point : code.find_first_not_of('0', point + 1);
        const std::size_t decimals = point == std::string::npos       ? 0
                                     : digitsEnd == std::string::npos ? code.size() - point - 1
                                                                      : digitsEnd - point - 1;
        char digits[64];
        std::snprintf(digits, sizeof digits, "%.*f", static_cast<int>(decimals), value);
        return digits + (quote == std::string::npos
                             ? std::string()
                             : code.substr(quote + 1, code.rfind('"') - quote - 1));
    };

    std::map<std::string, std::string> cells;
    pugi::xml_document sheet;
    EXPECT_TRUE(sheet.load_string(parts.at(sheetPart).c_str()));
    for (pugi::xml_node row : sheet.child("worksheet").child("sheetData").children("row")) {
        for (pugi::xml_node cell : row.children("c")) {
            const std::string reference = cell.attribute("r").value();
            if (std::string(cell.attribute("t").value()) == "s") {
                const auto index = cell.child("v").text().as_uint();
                cells[reference] = index < strings.size() ? strings[index] : "?";
                continue;
            }
            EXPECT_STREQ(cell.attribute("t").value(), "") << reference << ": text or number";
            const auto style = cell.attribute("s").as_uint();
            cells[reference] = shown(cell.child("v").text().as_double(),
                                     style < styleCodes.size() ? styleCodes[style] : "?");
            if (numbers != nullptr) {
                numbers->insert(reference);
            }
        }
    }
    return cells;
}

TEST(XlsxReport, EveryCellOfACrackSheetAndItsPicture) {
    const DocumentData data = loadDocument(std::string(CRACKDEPTH_FIXTURES_DIR) + "/SITE.DPA");
    const DocumentAnalysis analysis = AnalyseDocument(data);
    ReportContent content = BuildReportContent(data, analysis);
    ASSERT_EQ(content.cracks.size(), 2u);
    content.cracks[1].rows[2].reversal = "是"; // as a reversal point at point 3 shows
    const QTemporaryDir dir;
    const fs::path path = fs::path(dir.path().toStdString()) / "site.xlsx";
    const WriteOutcome outcome = WriteXlsxReport(content, {}, path);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    auto parts = packageParts(path);

    // Sheet1 repeats the last crack; each crack's sheet was put after Sheet1 in turn.
    pugi::xml_document workbook;
    ASSERT_TRUE(workbook.load_string(parts["xl/workbook.xml"].c_str()));
    std::vector<std::string> names;
    for (pugi::xml_node sheet : workbook.child("workbook").child("sheets").children("sheet")) {
        names.push_back(sheet.attribute("name").value());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Sheet1", "SITE_C2.DP1", "SITE_C1.DP1"}));

    std::set<std::string> numbers;
    const auto cells = cellsOf(parts, "xl/worksheets/sheet2.xml", &numbers);
    const CrackReport& crack = content.cracks[1]; // SITE_C2: 12 points beside 5
    const CrackResult& result = analysis.cracks[1];
    // SITE's crossing lines start at 50 mm, its non-crossing line at 100 mm: each line's
    // distance has a column of its own, and the result block and the checks move a column
    // right.
    ASSERT_FALSE(crack.sharedDistances);
    std::map<std::string, std::string> expected = {
        {"C1", "报告分析表"},
        {"A2", "测点"},
        {"B2", "跨缝测距(mm)"},
        {"C2", "跨缝T(us)"},
        {"D2", "不跨缝测距(mm)"},
        {"E2", "不跨缝T(us)"},
        {"F2", "反相点"},
        {"H28", "跨缝测线"},
        {"H29", "非跨缝测线"},
        {"H30", "裂缝深度(mm)"},
        {"H31", "回归系数A(mm)"},
        {"H32", "回归系数B(km/s)"},
        {"I28", "SITE_C2"},
        {"I29", "SITE"},
        {"I30", result.crackDepthText},
        {"I31", fixed2(analysis.fit->A)},
        {"I32", fixed2(analysis.fit->B)},
    };
    const PointList& crossing = *data.crossingLists[1];
    const PointList& nonCrossing = *data.nonCrossingList;
    ASSERT_EQ(crossing.size(), 12u);
    // The values are numbers an engineer can compute with; labels, names and "--.--" are not.
    std::set<std::string> expectedNumbers = {"I30", "I31", "I32"};
    for (std::size_t k = 0; k < crossing.size(); ++k) {
        const std::string row = std::to_string(3 + k);
        expected["A" + row] = std::to_string(k + 1);
        expected["B" + row] = std::to_string(static_cast<int>(crossing[k].distance));
        expected["C" + row] = std::to_string(static_cast<int>(result.points[k].transitTime));
        expected["D" + row] = k < nonCrossing.size()
                                  ? std::to_string(static_cast<int>(nonCrossing[k].distance))
                                  : "--.--";
        expected["E" + row] = k < nonCrossing.size() ? crack.rows[k].nonCrossingTime : "--.--";
        expected["F" + row] = k == 2 ? "是" : "否";
        expectedNumbers.insert({"A" + row, "B" + row, "C" + row});
        if (k < nonCrossing.size()) {
            expectedNumbers.insert({"D" + row, "E" + row});
        }
    }
    // The crack's checks below the result block, one a row.
    expected["H34"] = "测量检查";
    const std::vector<std::string> checks = checkRowsOf(crack);
    for (std::size_t k = 0; k < checks.size(); ++k) {
        expected["H" + std::to_string(35 + k)] = checks[k];
    }
    for (const auto& [reference, text] : expected) {
        EXPECT_EQ(cells.count(reference) ? cells.at(reference) : "(none)", text) << reference;
    }
    for (const auto& [reference, text] : cells) {
        EXPECT_EQ(expected.count(reference), 1u) << reference << " holds " << text;
    }
    EXPECT_EQ(numbers, expectedNumbers);
    EXPECT_EQ(cellsOf(parts, "xl/worksheets/sheet1.xml"), expected)
        << "Sheet1 repeats the last crack";

    // Every column 16 characters wide (stored with the padding a column width has).
    pugi::xml_document sheet;
    ASSERT_TRUE(sheet.load_string(parts["xl/worksheets/sheet2.xml"].c_str()));
    const pugi::xml_node col = sheet.child("worksheet").child("cols").child("col");
    EXPECT_EQ(col.attribute("min").as_int(), 1);
    EXPECT_EQ(col.attribute("max").as_int(), 16384);
    EXPECT_NEAR(col.attribute("width").as_double(), 16.71, 0.01);

    // The plot: 520 points from the left and one column more (the table's extra column), 20
    // from the top, 540 × 335 points (EMU: 12,700 a point; within a pixel, 9,525).
    pugi::xml_document drawing;
    ASSERT_TRUE(drawing.load_string(parts["xl/drawings/drawing2.xml"].c_str()));
    const pugi::xml_node frame = drawing.child("xdr:wsDr")
                                     .child("xdr:twoCellAnchor")
                                     .child("xdr:pic")
                                     .child("xdr:spPr")
                                     .child("a:xfrm");
    const double column = (16 * 7 + 5) * 9525.0; // a 16-character column of 117 pixels
    EXPECT_NEAR(frame.child("a:off").attribute("x").as_double(), 520 * 12700 + column, 9525);
    EXPECT_NEAR(frame.child("a:off").attribute("y").as_double(), 20 * 12700, 9525);
    EXPECT_NEAR(frame.child("a:ext").attribute("cx").as_double(), 540 * 12700, 9525);
    EXPECT_NEAR(frame.child("a:ext").attribute("cy").as_double(), 335 * 12700, 9525);
    std::size_t pictures = 0;
    for (const auto& [name, bytes] : parts) {
        pictures += name.rfind("xl/media/", 0) == 0 ? 1u : 0u;
    }
    EXPECT_GE(pictures, 1u);
}

TEST(XlsxReport, EachLinesDistanceBesideItsOwnTimeWhereTheyDiffer) {
    // The demo's crossing line moved to 50, 100, … mm, its non-crossing line elsewhere.
    const DocumentData data = withManyCracks(demoDocument(), 1, 4);
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    const CrackReport& crack = content.cracks[0];
    ASSERT_FALSE(crack.sharedDistances);
    const QTemporaryDir dir;
    const fs::path path = fs::path(dir.path().toStdString()) / "apart.xlsx";
    PrintSettings settings;
    settings.listChecks = 0;
    ASSERT_TRUE(WriteXlsxReport(content, settings, path).ok);
    const auto parts = packageParts(path);
    auto cells = cellsOf(parts, "xl/worksheets/sheet2.xml");
    EXPECT_EQ(cells["B2"], "跨缝测距(mm)");
    EXPECT_EQ(cells["D2"], "不跨缝测距(mm)");
    EXPECT_EQ(cells["F2"], "反相点");
    for (std::size_t k = 0; k < crack.rows.size(); ++k) {
        const std::string row = std::to_string(3 + k);
        EXPECT_EQ(cells["B" + row], k < 4 ? std::to_string(50 * (k + 1)) : "--.--");
        EXPECT_EQ(cells["C" + row], crack.rows[k].crossingTime);
        EXPECT_EQ(cells["D" + row], crack.rows[k].nonCrossingDistance);
        EXPECT_EQ(cells["E" + row], crack.rows[k].nonCrossingTime);
    }
    // The result block moves a column to the right, clear of the wider table; no checks.
    EXPECT_EQ(cells["H28"], "跨缝测线");
    EXPECT_EQ(cells["I28"], crack.crossingName);
    EXPECT_EQ(cells.count("F28"), 0u);
    EXPECT_EQ(cells.count("H34"), 0u);
}

TEST(XlsxReport, NothingToWriteOrNowhereToWriteLeavesNoFile) {
    const QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    const DocumentData lone = withoutCrossingLines(demoDocument());
    const WriteOutcome none =
        WriteXlsxReport(BuildReportContent(lone, AnalyseDocument(lone)), {}, folder / "a.xlsx");
    EXPECT_FALSE(none.ok);
    EXPECT_NE(none.error.find("no crossing line"), std::string::npos);

    const DocumentData data = demoDocument();
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    const WriteOutcome missing = WriteXlsxReport(content, {}, folder / "no" / "b.xlsx");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_TRUE(fs::is_empty(folder)) << "no file, no temporary file";
}

TEST(XlsxReport, AnOfficeProgramShowsTheAnalysis) {
    if (!officeInstalled()) {
        GTEST_SKIP() << "soffice or pdftotext is not installed: the office rendering is not "
                        "checked";
    }
    const DocumentData data = loadDocument(std::string(CRACKDEPTH_FIXTURES_DIR) + "/SITE.DPA");
    const DocumentAnalysis analysis = AnalyseDocument(data);
    const QTemporaryDir dir;
    const fs::path path = fs::path(dir.path().toStdString()) / "site.xlsx";
    ASSERT_TRUE(WriteXlsxReport(BuildReportContent(data, analysis), {}, path).ok);
    const std::string text = officeText(path);
    EXPECT_NE(text.find(fixed2(analysis.fit->A)), std::string::npos) << text;
    EXPECT_NE(text.find(fixed2(analysis.fit->B)), std::string::npos);
    for (const CrackResult& crack : analysis.cracks) {
        EXPECT_NE(text.find(crack.crackDepthText), std::string::npos) << text;
        for (const PointEvaluation& point : crack.points) {
            EXPECT_NE(text.find(std::to_string(static_cast<int>(point.transitTime))),
                      std::string::npos);
        }
    }
}

TEST(XlsxReport, TenCracksOfAThousandPoints) {
    const DocumentData data = manyCracks(10, 1000);
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    const QTemporaryDir dir;
    const fs::path path = fs::path(dir.path().toStdString()) / "large.xlsx";
    const auto start = std::chrono::steady_clock::now();
    const WriteOutcome outcome = WriteXlsxReport(content, {}, path);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(outcome.ok) << outcome.error;
    std::printf("[ figures  ] spreadsheet, 10 x 1000 points: %.2f s, %.0f KiB\n", took.count(),
                static_cast<double>(fs::file_size(path)) / 1024.0);
    auto parts = packageParts(path);
    EXPECT_EQ(parts.count("xl/worksheets/sheet11.xml"), 1u) << "Sheet1 and ten crack sheets";
    EXPECT_NE(parts["xl/worksheets/sheet2.xml"].find("r=\"E1002\""), std::string::npos);
}

} // namespace
} // namespace crackdepth::report
