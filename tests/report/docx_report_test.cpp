// The word-processor report as a user's office program reads it: the package opened as a zip,
// its document read as XML and its tables rebuilt cell by cell (grid spans across, continued
// cells down), and one rendering by an office program turned into text.
#include "core/data/measurement_file.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_loading.h"
#include "office_support.h"
#include "report/docx_report.h"
#include "report/report_content.h"

#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <pugixml.hpp>
#include <regex>
#include <sstream>
#include <thread>
#include <zip.h>

namespace crackdepth::report {
namespace {

namespace fs = std::filesystem;
using namespace crackdepth::report::testing;

int countNamed(pugi::xml_node node, const char* name) {
    int count = std::string_view(node.name()) == name ? 1 : 0;
    for (pugi::xml_node child : node.children()) {
        count += countNamed(child, name);
    }
    return count;
}

// The text of a cell or paragraph: its runs, a line break as "\n".
void collectText(pugi::xml_node node, std::string& text) {
    for (pugi::xml_node child : node.children()) {
        const std::string_view name = child.name();
        if (name == "w:t") {
            text += child.text().get();
        } else if (name == "w:br" && child.attribute("w:type").empty()) {
            text += '\n';
        } else {
            collectText(child, text);
        }
    }
}

std::string textOf(pugi::xml_node node) {
    std::string text;
    collectText(node, text);
    return text;
}

// A cell as it shows: rows × columns grid cells from (row, column).
struct Cell {
    int row = 0;
    int column = 0;
    int rows = 1;
    int columns = 1;
    std::string text;
    int pictures = 0;
};

struct TableView {
    int gridColumns = 0;
    int rows = 0;
    int headerRows = 0;          // rows repeated on every page
    bool rowsFillTheGrid = true; // every row's cells span exactly the grid
    bool cellsCentred = true;    // vertically and their paragraphs horizontally
    std::vector<Cell> cells;
    std::vector<std::vector<int>> owner; // cell index of each grid position

    const Cell& at(int row, int column) const {
        static const Cell none{-1, -1, 0, 0, "<no cell>", 0};
        if (row < 0 || row >= rows || column < 0 || column >= gridColumns) {
            return none;
        }
        const int index = owner[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        return index < 0 ? none : cells[static_cast<std::size_t>(index)];
    }
    // The widths of the cells that start in a row.
    std::vector<int> widthsOfRow(int row) const {
        std::vector<int> widths;
        for (const Cell& cell : cells) {
            if (cell.row == row) {
                widths.push_back(cell.columns);
            }
        }
        return widths;
    }
};

TableView viewOf(pugi::xml_node table) {
    TableView view;
    view.gridColumns =
        static_cast<int>(std::distance(table.child("w:tblGrid").children("w:gridCol").begin(),
                                       table.child("w:tblGrid").children("w:gridCol").end()));
    for (pugi::xml_node row : table.children("w:tr")) {
        std::vector<int>& owners =
            view.owner.emplace_back(static_cast<std::size_t>(view.gridColumns), -1);
        const int r = view.rows++;
        view.headerRows += row.child("w:trPr").child("w:tblHeader") ? 1 : 0;
        int column = 0;
        for (pugi::xml_node cell : row.children("w:tc")) {
            const pugi::xml_node properties = cell.child("w:tcPr");
            const int span =
                std::max(1, properties.child("w:gridSpan").attribute("w:val").as_int());
            const pugi::xml_node merge = properties.child("w:vMerge");
            const bool continued =
                merge && std::string_view(merge.attribute("w:val").value()) != "restart";
            view.cellsCentred =
                view.cellsCentred &&
                std::string_view(properties.child("w:vAlign").attribute("w:val").value()) ==
                    "center" &&
                std::string_view(
                    cell.child("w:p").child("w:pPr").child("w:jc").attribute("w:val").value()) ==
                    "center";
            int index = -1;
            if (continued && r > 0 && column < view.gridColumns) {
                index =
                    view.owner[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(column)];
                if (index >= 0) {
                    Cell& above = view.cells[static_cast<std::size_t>(index)];
                    above.rows = r - above.row + 1;
                    view.rowsFillTheGrid =
                        view.rowsFillTheGrid && above.columns == span && above.column == column;
                }
            }
            if (index < 0) {
                index = static_cast<int>(view.cells.size());
                view.cells.push_back(
                    {r, column, 1, span, textOf(cell), countNamed(cell, "wp:inline")});
            }
            for (int c = column; c < std::min(column + span, view.gridColumns); ++c) {
                owners[static_cast<std::size_t>(c)] = index;
            }
            column += span;
        }
        view.rowsFillTheGrid = view.rowsFillTheGrid && column == view.gridColumns;
    }
    return view;
}

// A paragraph of the body outside the tables.
struct ParagraphView {
    std::string text;
    bool pageBreakFirst = false;
    bool bold = false;
    int halfPoints = 0;
};

struct DocxView {
    std::map<std::string, std::string> parts;
    pugi::xml_document document;
    pugi::xml_document styles;
    std::vector<TableView> tables;
    std::vector<ParagraphView> paragraphs;
    int pageBreaks = 0;
    int drawings = 0;
    bool parsed = false;

    // The paragraphs that carry text: the titles.
    std::vector<ParagraphView> titles() const {
        std::vector<ParagraphView> titles;
        for (const ParagraphView& p : paragraphs) {
            if (!p.text.empty()) {
                titles.push_back(p);
            }
        }
        return titles;
    }
};

void readDocx(const fs::path& path, DocxView& view) {
    view.parts = packageParts(path);
    ASSERT_TRUE(view.parts.contains("word/document.xml")) << "no document part in " << path;
    for (const char* part : {"[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels",
                             "word/styles.xml"}) {
        ASSERT_TRUE(view.parts.contains(part)) << part;
        pugi::xml_document xml;
        ASSERT_TRUE(xml.load_string(view.parts[part].c_str())) << part;
    }
    const pugi::xml_parse_result result =
        view.document.load_string(view.parts["word/document.xml"].c_str());
    ASSERT_TRUE(result) << result.description() << " at " << result.offset;
    ASSERT_TRUE(view.styles.load_string(view.parts["word/styles.xml"].c_str()));
    const pugi::xml_node body = view.document.child("w:document").child("w:body");
    for (pugi::xml_node node : body.children()) {
        const std::string_view name = node.name();
        if (name == "w:tbl") {
            view.tables.push_back(viewOf(node));
        } else if (name == "w:p") {
            ParagraphView& p = view.paragraphs.emplace_back();
            p.text = textOf(node);
            const pugi::xml_node first = node.child("w:r");
            p.pageBreakFirst =
                std::string_view(first.child("w:br").attribute("w:type").value()) == "page";
            const pugi::xml_node format =
                node.find_child([](pugi::xml_node run) {
                        return std::string_view(run.name()) == "w:r" && run.child("w:t");
                    })
                    .child("w:rPr");
            p.bold = format.child("w:b");
            p.halfPoints = format.child("w:sz").attribute("w:val").as_int();
        }
    }
    pugi::xml_node root = view.document.document_element();
    view.drawings = countNamed(root, "wp:inline");
    view.pageBreaks = static_cast<int>(view.document.select_nodes("//w:br[@w:type='page']").size());
    // Every picture is in the package under the name its relationship gives.
    pugi::xml_document relations;
    ASSERT_TRUE(relations.load_string(view.parts["word/_rels/document.xml.rels"].c_str()));
    std::map<std::string, std::string> targets;
    for (pugi::xml_node r : relations.child("Relationships").children("Relationship")) {
        targets[r.attribute("Id").value()] = r.attribute("Target").value();
    }
    for (pugi::xpath_node blip : view.document.select_nodes("//a:blip")) {
        const std::string id = blip.node().attribute("r:embed").value();
        ASSERT_TRUE(targets.contains(id)) << id;
        const std::string& png = view.parts["word/" + targets[id]];
        ASSERT_GT(png.size(), 8u) << targets[id];
        EXPECT_EQ(png.substr(1, 3), "PNG") << targets[id];
    }
    view.parsed = true;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The demo's report with project texts that say where they belong, two of them with
// characters XML must escape or cannot carry.
ReportContent demoContent(const DocumentData& data) {
    ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    for (std::size_t k = 0; k < content.project.size(); ++k) {
        content.project[k] = "T" + std::to_string(k);
    }
    content.project[0] = "A&B <工程> \"x\" 'y'";
    content.project[1] = "a\x01"
                         "b\xff";
    return content;
}

TEST(DocxReport, StandardSectionsRebuildThePrintedPage) {
    const DocumentData data = demoDocument();
    const ReportContent content = demoContent(data);
    ASSERT_GE(content.cracks.size(), 2u) << "the demo has cracks to tell apart";
    const QTemporaryDir dir;
    const struct {
        int tableHead;
        int extraRows;  // rows besides the points
        int resultsRow; // first row of the result block
        int headRow;    // the point table's header
    } cases[] = {{1, 20, 9, 19}, {0, 11, 0, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tableHead ? "with table head" : "without table head");
        PrintSettings settings;
        settings.tableHead = c.tableHead;
        const fs::path path =
            dir.filePath(QString("standard%1.docx").arg(c.tableHead)).toStdString();
        const WriteOutcome outcome =
            WriteDocxReport(content, settings, ReportStyle::Standard, path);
        ASSERT_TRUE(outcome.ok) << outcome.error;
        DocxView docx;
        readDocx(path, docx);
        ASSERT_TRUE(docx.parsed);

        // One titled section and one plot per crack, each after the first on a new page.
        const std::vector<ParagraphView> titles = docx.titles();
        ASSERT_EQ(titles.size(), content.cracks.size());
        for (std::size_t i = 0; i < titles.size(); ++i) {
            EXPECT_EQ(titles[i].text, "分析报告表");
            EXPECT_TRUE(titles[i].bold);
            EXPECT_EQ(titles[i].halfPoints, 32);
            EXPECT_EQ(titles[i].pageBreakFirst, i > 0) << i;
        }
        EXPECT_EQ(docx.pageBreaks, static_cast<int>(content.cracks.size()) - 1);
        EXPECT_EQ(docx.drawings, static_cast<int>(content.cracks.size()));
        ASSERT_EQ(docx.tables.size(), content.cracks.size());

        for (std::size_t i = 0; i < content.cracks.size(); ++i) {
            SCOPED_TRACE("crack " + std::to_string(i + 1));
            const CrackReport& crack = content.cracks[i];
            const TableView& t = docx.tables[i];
            const int n = static_cast<int>(crack.rows.size());
            EXPECT_EQ(t.gridColumns, 18);
            EXPECT_TRUE(t.rowsFillTheGrid);
            EXPECT_TRUE(t.cellsCentred);
            const std::vector<std::string> checks = checkRowsOf(crack);
            const int checkRows = 1 + static_cast<int>(checks.size());
            EXPECT_EQ(t.rows, n + c.extraRows + checkRows);
            if (c.tableHead) {
                EXPECT_EQ(t.at(0, 0).text, "工程名称");
                EXPECT_EQ(t.at(0, 4).text, "A&B <工程> \"x\" 'y'");
                EXPECT_EQ(t.at(0, 4).columns, 14);
                EXPECT_EQ(t.at(1, 17).text, "ab\uFFFD");
                EXPECT_EQ(t.widthsOfRow(3), (std::vector<int>{4, 6, 3, 5}));
                EXPECT_EQ(t.at(3, 10).text, "委托编号");
                EXPECT_EQ(t.at(3, 13).text, "T11");
                EXPECT_EQ(t.at(4, 4).text, "T13");
                EXPECT_EQ(t.at(5, 17).text, "T5");
                EXPECT_EQ(t.at(6, 0).text, "检测依据");
                EXPECT_EQ(t.at(8, 0).text, "仪器型号\n与编号");
                EXPECT_EQ(t.at(8, 0).rows, 2);
                EXPECT_EQ(t.at(8, 17).text, "T22        T12");
                EXPECT_EQ(t.at(8, 17).rows, 2);
            }
            const int r0 = c.resultsRow;
            const Cell& label = t.at(r0 + 1, 3);
            EXPECT_EQ(label.text, "跨缝测线");
            EXPECT_EQ(label.rows, 2);
            EXPECT_EQ(label.columns, 4);
            EXPECT_EQ(t.at(r0, 4).text, crack.crossingName);
            EXPECT_EQ(t.at(r0 + 3, 7).text, crack.nonCrossingName);
            EXPECT_EQ(t.at(r0 + 4, 0).text, "裂缝深度(mm)");
            EXPECT_EQ(t.at(r0 + 5, 4).text, crack.crackDepth);
            EXPECT_EQ(t.at(r0 + 6, 4).text, content.intercept);
            EXPECT_EQ(t.at(r0 + 8, 0).text, "回归系数B(km/s)");
            EXPECT_EQ(t.at(r0 + 9, 5).text, content.velocity);
            const Cell& plot = t.at(r0 + 9, 17);
            EXPECT_EQ(plot.row, r0);
            EXPECT_EQ(plot.column, 8);
            EXPECT_EQ(plot.rows, 10);
            EXPECT_EQ(plot.columns, 10);
            EXPECT_EQ(plot.pictures, 1);

            // The point table as printed: the demo's lines lie at other distances, so each
            // line's distance stands in its own column.
            const PointTable columns = standardTable(crack);
            EXPECT_EQ(t.widthsOfRow(c.headRow),
                      std::vector<int>(columns.widths.begin(), columns.widths.end()));
            EXPECT_EQ(t.at(c.headRow, 17).text, "反相点");
            for (const int k : {0, n - 1}) {
                const std::vector<std::string> cells =
                    standardCells(crack, crack.rows[static_cast<std::size_t>(k)]);
                int column = 0;
                for (std::size_t cell = 0; cell < cells.size(); ++cell) {
                    EXPECT_EQ(t.at(c.headRow + 1 + k, column).text, cells[cell])
                        << k << " " << cell;
                    column += columns.widths[cell];
                }
            }
            // The crack's checks close its table, a row each across it.
            const int title = c.headRow + 1 + n;
            EXPECT_EQ(t.at(title, 0).text, "测量检查");
            EXPECT_EQ(t.at(title, 0).columns, 18);
            for (std::size_t k = 0; k < checks.size(); ++k) {
                EXPECT_EQ(t.at(title + 1 + static_cast<int>(k), 9).text, checks[k]);
            }
        }
    }
}

TEST(DocxReport, FontsAreTheReportsOwn) {
    // The tables take the defaults, "宋体" at 9 points and not bold; titles are 16 and bold.
    const DocumentData data = demoDocument();
    const QTemporaryDir dir;
    const fs::path path = dir.filePath("fonts.docx").toStdString();
    ASSERT_TRUE(WriteDocxReport(demoContent(data), {}, ReportStyle::Standard, path).ok);
    DocxView docx;
    readDocx(path, docx);
    const pugi::xml_node defaults =
        docx.styles.child("w:styles").child("w:docDefaults").child("w:rPrDefault").child("w:rPr");
    EXPECT_STREQ(defaults.child("w:rFonts").attribute("w:eastAsia").value(), "宋体");
    EXPECT_STREQ(defaults.child("w:rFonts").attribute("w:ascii").value(), "宋体");
    EXPECT_EQ(defaults.child("w:sz").attribute("w:val").as_int(), 18);
    EXPECT_FALSE(defaults.child("w:b"));
    const pugi::xml_node table = docx.document.select_node("//w:tbl").node();
    EXPECT_EQ(countNamed(table, "w:rPr"), 0) << "a table run overrides the defaults";
}

TEST(DocxReport, SimpleSectionsAreCompactTables) {
    const DocumentData data = demoDocument();
    const ReportContent content = demoContent(data);
    const QTemporaryDir dir;
    const fs::path path = dir.filePath("simple.docx").toStdString();
    const WriteOutcome outcome = WriteDocxReport(content, {}, ReportStyle::Simple, path);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    DocxView docx;
    readDocx(path, docx);
    ASSERT_EQ(docx.tables.size(), content.cracks.size());
    EXPECT_EQ(docx.titles().size(), content.cracks.size());
    EXPECT_EQ(docx.drawings, 0);
    EXPECT_EQ(docx.pageBreaks, 0);
    for (std::size_t i = 0; i < content.cracks.size(); ++i) {
        SCOPED_TRACE("crack " + std::to_string(i + 1));
        const CrackReport& crack = content.cracks[i];
        const TableView& t = docx.tables[i];
        const int n = static_cast<int>(crack.rows.size());
        EXPECT_EQ(t.gridColumns, 18);
        EXPECT_TRUE(t.rowsFillTheGrid);
        const std::vector<std::string> checks = checkRowsOf(crack);
        ASSERT_EQ(t.rows, n + 5 + 1 + static_cast<int>(checks.size()));
        EXPECT_EQ(t.widthsOfRow(0), (std::vector<int>{2, 7, 3, 6}));
        EXPECT_EQ(t.at(n + 5, 0).text, "测量检查");
        EXPECT_EQ(t.at(t.rows - 1, 17).text, checks.back());
        for (int r = 1; r < 4; ++r) {
            EXPECT_EQ(t.widthsOfRow(r), (std::vector<int>{2, 3, 4, 2, 3, 4})) << r;
        }
        const PointTable columns = simpleTable(crack);
        for (int r = 4; r < n + 5; ++r) {
            EXPECT_EQ(t.widthsOfRow(r),
                      std::vector<int>(columns.widths.begin(), columns.widths.end()))
                << r;
        }
        EXPECT_EQ(t.at(0, 2).text, content.project[0]);
        EXPECT_EQ(t.at(1, 9).text, crack.crossingName);
        EXPECT_EQ(t.at(1, 17).text, crack.crackDepth);
        EXPECT_EQ(t.at(2, 2).text, content.intercept);
        EXPECT_EQ(t.at(2, 9).text, content.velocity);
        EXPECT_EQ(t.at(2, 14).text, "CECS21:2000");
        EXPECT_EQ(t.at(3, 5).text, "浇注日期");
        EXPECT_EQ(t.at(3, 9).text, "T13");
        const std::vector<std::string> last = simpleCells(crack, crack.rows.back());
        int column = 0;
        for (std::size_t cell = 0; cell < last.size(); ++cell) {
            EXPECT_EQ(t.at(4, column).text, columns.heads[cell]);
            EXPECT_EQ(t.at(n + 4, column).text, last[cell]);
            column += columns.widths[cell];
        }
    }
}

TEST(DocxReport, WaveTrainTablesGiveEveryPointARow) {
    const DocumentData data = demoDocument();
    ReportContent content = demoContent(data);
    // A line of 40 points does not fit one page: its pictures hold 29 and 11 points.
    std::vector<draw::WaveTrace>& traces = content.lines.back().train.traces;
    const std::vector<draw::WaveTrace> model = traces;
    while (traces.size() < 40) {
        traces.push_back(model[traces.size() % model.size()]);
    }
    const QTemporaryDir dir;
    const fs::path path = dir.filePath("waves.docx").toStdString();
    PrintSettings noChecks;
    noChecks.listChecks = 0;
    const WriteOutcome outcome = WriteDocxReport(content, noChecks, ReportStyle::WaveTrain, path);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    DocxView docx;
    readDocx(path, docx);
    ASSERT_EQ(docx.tables.size(), content.lines.size());
    int pictures = 0;
    for (std::size_t j = 0; j < content.lines.size(); ++j) {
        SCOPED_TRACE("line " + std::to_string(j));
        const TableView& t = docx.tables[j];
        const int n = static_cast<int>(content.lines[j].train.traces.size());
        EXPECT_EQ(t.gridColumns, 18);
        EXPECT_TRUE(t.rowsFillTheGrid);
        ASSERT_EQ(t.rows, n + 1);
        EXPECT_EQ(t.at(0, 0).columns, 18);
        EXPECT_EQ(t.at(0, 0).text, content.lines[j].name);
        EXPECT_EQ(t.headerRows, 1) << "the name heads each page of the line";
        // The points' rows are merged into picture cells of at most 29 rows, one after another.
        int row = 1;
        while (row <= n) {
            const Cell& cell = t.at(row, 0);
            EXPECT_EQ(cell.row, row);
            EXPECT_EQ(cell.columns, 18);
            EXPECT_EQ(cell.rows, std::min(29, n + 1 - row));
            EXPECT_EQ(cell.pictures, 1);
            row += std::max(1, cell.rows);
            ++pictures;
        }
    }
    EXPECT_EQ(docx.tables.back().at(1, 0).rows, 29);
    EXPECT_EQ(docx.tables.back().at(30, 0).rows, 11);
    EXPECT_EQ(docx.drawings, pictures);
    EXPECT_TRUE(docx.titles().empty());

    // With the checks listed, each crossing line's block is followed by its crack's.
    ASSERT_TRUE(WriteDocxReport(content, {}, ReportStyle::WaveTrain, path).ok);
    DocxView listed;
    readDocx(path, listed);
    ASSERT_EQ(listed.tables.size(), content.lines.size() + content.cracks.size());
    for (std::size_t i = 0; i < content.cracks.size(); ++i) {
        const TableView& t = listed.tables[2 + 2 * i];
        EXPECT_EQ(t.at(0, 0).text, "测量检查");
        EXPECT_EQ(t.rows, 1 + static_cast<int>(checkRowsOf(content.cracks[i]).size()));
        EXPECT_EQ(listed.tables[1 + 2 * i].at(0, 0).text, content.lines[1 + i].name);
    }
}

TEST(DocxReport, WaveTrainPicturesAreTheSameOnAnyNumberOfThreads) {
    // The pictures are drawn side by side: the package must not depend on how many threads
    // drew them, the progress is told on the caller's thread in order, every picture reads
    // back as an image 2000 pixels wide in its cell's proportions, and a stop at any picture
    // leaves no file.
    const DocumentData data = demoDocument();
    ReportContent content = demoContent(data);
    std::vector<draw::WaveTrace>& traces = content.lines.back().train.traces;
    const std::vector<draw::WaveTrace> model = traces;
    while (traces.size() < 70) { // three pictures: 29, 29 and 12 points
        traces.push_back(model[traces.size() % model.size()]);
    }
    const QTemporaryDir dir;
    const fs::path path = dir.filePath("threads.docx").toStdString();
    const std::thread::id caller = std::this_thread::get_id();
    std::map<std::string, std::string> single;
    std::int64_t steps = 0;
    for (const unsigned threads : {1u, 2u, 5u}) {
        SCOPED_TRACE(threads);
        std::vector<std::int64_t> told;
        bool elsewhere = false;
        const auto progress = [&](std::int64_t done, std::int64_t total) {
            told.push_back(done);
            elsewhere = elsewhere || std::this_thread::get_id() != caller;
            steps = total;
            return true;
        };
        ASSERT_TRUE(
            WriteDocxReport(content, {}, ReportStyle::WaveTrain, path, progress, threads).ok);
        std::vector<std::int64_t> inOrder(told.size());
        std::iota(inOrder.begin(), inOrder.end(), 1);
        EXPECT_EQ(told, inOrder);
        EXPECT_EQ(static_cast<std::int64_t>(told.size()), steps);
        EXPECT_FALSE(elsewhere) << "the progress is told on the caller's thread";
        const std::map<std::string, std::string> parts = packageParts(path);
        if (threads == 1) {
            single = parts;
            continue;
        }
        ASSERT_EQ(parts.size(), single.size());
        for (const auto& [name, bytes] : single) {
            EXPECT_TRUE(parts.contains(name) && parts.at(name) == bytes) << name;
        }
    }
    int pictures = 0;
    for (const auto& [name, bytes] : single) {
        if (!name.starts_with("word/media/")) {
            continue;
        }
        ++pictures;
        const QImage image = QImage::fromData(
            QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())), "PNG");
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.width(), 2000) << name;
        EXPECT_TRUE(image.allGray()) << name;
    }
    EXPECT_EQ(pictures, steps);
    DocxView docx;
    readDocx(path, docx);
    // The last line's last picture holds 12 points: 12 rows of 7 mm less 1.5 mm, drawn on the
    // width of its cell.
    const std::string& last = single.at("word/media/image" + std::to_string(pictures) + ".png");
    const QImage lastImage = QImage::fromData(
        QByteArray::fromRawData(last.data(), static_cast<qsizetype>(last.size())), "PNG");
    const pugi::xml_node extent =
        docx.document.select_nodes("//wp:extent")[static_cast<std::size_t>(pictures - 1)].node();
    const double cellRatio =
        extent.attribute("cy").as_double() / extent.attribute("cx").as_double();
    EXPECT_NEAR(static_cast<double>(lastImage.height()) / lastImage.width(), cellRatio, 0.002);
    EXPECT_NEAR(cellRatio, (12 * 7 - 1.5) / 174.0, 0.05);

    std::ofstream(path, std::ios::trunc) << "what was there";
    for (const std::int64_t stopAt : {std::int64_t{1}, steps / 2, steps}) {
        SCOPED_TRACE(stopAt);
        const WriteOutcome outcome = WriteDocxReport(
            content, {}, ReportStyle::WaveTrain, path,
            [&](std::int64_t done, std::int64_t) { return done < stopAt; }, 4);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, kReportCancelled);
        EXPECT_EQ(fileText(path), "what was there");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path().toStdString()),
                                fs::directory_iterator()),
                  1)
            << "no temporary file is left";
    }
}

TEST(DocxReport, AFailedWriteLeavesTheFileAlone) {
    const DocumentData data = demoDocument();
    const ReportContent content = demoContent(data);
    // The demo without its crossing lines.
    DocumentData withoutCracks = demoDocument();
    withoutCracks.crossingLists.clear();
    withoutCracks.crossingParameters.clear();
    withoutCracks.crossingCorrections.clear();
    const ReportContent noCracks =
        BuildReportContent(withoutCracks, AnalyseDocument(withoutCracks));
    ASSERT_TRUE(noCracks.cracks.empty());
    const QTemporaryDir dir;
    const fs::path existing = dir.filePath("existing.docx").toStdString();
    std::ofstream(existing) << "what was there";
    const struct {
        const char* what;
        const ReportContent& content;
        ReportStyle style;
        fs::path path;
        const char* reason;
    } cases[] = {
        {"no crossing line, standard", noCracks, ReportStyle::Standard, existing, "crossing line"},
        {"no crossing line, simple", noCracks, ReportStyle::Simple, existing, "crossing line"},
        {"no line at all", ReportContent{}, ReportStyle::WaveTrain, existing, "no line"},
        {"missing folder", content, ReportStyle::Standard,
         fs::path(dir.path().toStdString()) / "missing" / "r.docx", "missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WriteOutcome outcome = WriteDocxReport(c.content, {}, c.style, c.path);
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.error.find(c.reason), std::string::npos) << outcome.error;
    }
    EXPECT_EQ(fileText(existing), "what was there");
    // Only the file that was there is left in the folder: no temporary file.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir.path().toStdString()), fs::directory_iterator()),
        1);
    // A document without crossing lines still has its non-crossing line's wave train.
    ASSERT_TRUE(WriteDocxReport(noCracks, {}, ReportStyle::WaveTrain, existing).ok);
    DocxView docx;
    readDocx(existing, docx);
    EXPECT_EQ(docx.tables.size(), 1u);
}

TEST(DocxReport, EachLinesDistanceBesideItsOwnTimeWhereTheyDiffer) {
    // The demo's crossing line moved to 50, 100, … mm, its non-crossing line elsewhere.
    DocumentData data = withManyCracks(demoDocument(), 1, 4);
    ASSERT_NE(static_cast<int>((*data.nonCrossingList)[0].distance), 50);
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    const CrackReport& crack = content.cracks[0];
    ASSERT_FALSE(crack.sharedDistances);
    const QTemporaryDir dir;
    const fs::path path = dir.filePath("apart.docx").toStdString();
    PrintSettings settings;
    settings.listChecks = 0;
    ASSERT_TRUE(WriteDocxReport(content, settings, ReportStyle::Standard, path).ok);
    DocxView standard;
    readDocx(path, standard);
    const TableView& t = standard.tables.at(0);
    EXPECT_EQ(t.rows, static_cast<int>(crack.rows.size()) + 20) << "no checks rows";
    EXPECT_EQ(t.widthsOfRow(19), (std::vector<int>{2, 4, 3, 4, 3, 2}));
    EXPECT_EQ(t.at(19, 2).text, "跨缝测距(mm)");
    EXPECT_EQ(t.at(19, 9).text, "不跨缝测距(mm)");
    EXPECT_EQ(t.at(20, 2).text, "50");
    EXPECT_EQ(t.at(20, 6).text, crack.rows[0].crossingTime);
    EXPECT_EQ(t.at(20, 9).text, crack.rows[0].nonCrossingDistance);
    EXPECT_EQ(t.at(20, 13).text, crack.rows[0].nonCrossingTime);
    const int last = 20 + static_cast<int>(crack.rows.size()) - 1;
    EXPECT_EQ(t.at(last, 2).text, "--.--") << "the crossing line ends at point 4";

    ASSERT_TRUE(WriteDocxReport(content, settings, ReportStyle::Simple, path).ok);
    DocxView simple;
    readDocx(path, simple);
    const TableView& s = simple.tables.at(0);
    EXPECT_EQ(s.at(1, 9).text, crack.crossingName) << "the crack is named after its crossing line";
    EXPECT_EQ(s.widthsOfRow(5), (std::vector<int>{2, 3, 3, 3, 3, 2, 2}));
    EXPECT_EQ(s.at(4, 2).text, "不跨缝测距(mm)");
    EXPECT_EQ(s.at(5, 2).text, crack.rows[0].nonCrossingDistance);
    EXPECT_EQ(s.at(5, 5).text, crack.rows[0].nonCrossingTime);
    EXPECT_EQ(s.at(5, 8).text, "50");
    EXPECT_EQ(s.at(5, 11).text, crack.rows[0].crossingTime);
}

TEST(DocxReport, TheSimpleTablesDateCellHoldsADate) {
    const DocumentData data = demoDocument();
    ReportContent content = demoContent(data);
    content.project[13] = "2024-4-15";
    content.project[8] = "2024-12-31";
    const QTemporaryDir dir;
    const fs::path path = fs::path(dir.path().toStdString()) / "dates.docx";
    ASSERT_TRUE(WriteDocxReport(content, {}, ReportStyle::Simple, path).ok);
    // The grid: the two columns of the casting date's cell are 22 mm together, the table as
    // wide as before.
    DocxView docx;
    readDocx(path, docx);
    const pugi::xml_node grid = docx.document.select_node("//w:tblGrid").node();
    std::vector<int> widths;
    for (pugi::xml_node col : grid.children("w:gridCol")) {
        widths.push_back(col.attribute("w:w").as_int());
    }
    ASSERT_EQ(widths.size(), 18u);
    EXPECT_GE(widths[9] + widths[10], static_cast<int>(22 * 1440 / 25.4) - 1);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 18 * widths[0]);
    EXPECT_EQ(docx.tables[0].at(3, 9).text, "2024-4-15");
    if (!officeInstalled()) {
        GTEST_SKIP() << "soffice or pdftotext is not installed: the office rendering is not "
                        "checked";
    }
    // As the office program shows it: each date on one line.
    const std::string text = officeText(path);
    EXPECT_NE(text.find("2024-4-15"), std::string::npos) << text;
    EXPECT_NE(text.find("2024-12-31"), std::string::npos) << text;
}

TEST(DocxReport, AnOfficeProgramShowsTheAnalysis) {
    if (!officeInstalled()) {
        GTEST_SKIP() << "soffice or pdftotext is not installed: the office rendering is not "
                        "checked";
    }
    const DocumentData data = loadDocument(std::string(CRACKDEPTH_FIXTURES_DIR) + "/SITE.DPA");
    const DocumentAnalysis analysis = AnalyseDocument(data);
    ASSERT_TRUE(analysis.fit);
    ASSERT_EQ(analysis.cracks.size(), 2u);
    const QTemporaryDir dir;
    const fs::path docxPath = fs::path(dir.path().toStdString()) / "site.docx";
    const WriteOutcome outcome =
        WriteDocxReport(BuildReportContent(data, analysis), {}, ReportStyle::Standard, docxPath);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    const std::string text = officeText(docxPath);

    // The words of the text, in order.
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    const auto contains = [&](const std::string& word) {
        return std::find(words.begin(), words.end(), word) != words.end();
    };
    EXPECT_TRUE(contains(fixed2(analysis.fit->A))) << text;
    EXPECT_TRUE(contains(fixed2(analysis.fit->B))) << text;
    for (std::size_t i = 0; i < analysis.cracks.size(); ++i) {
        const CrackResult& crack = analysis.cracks[i];
        ASSERT_TRUE(crack.crackDepth);
        EXPECT_TRUE(contains(fixed2(*crack.crackDepth))) << "crack " << i + 1 << "\n" << text;
        // Each point's row: its number, its distance, then its crossing transit time.
        for (std::size_t k = 0; k < crack.points.size(); ++k) {
            const auto time = std::to_string(static_cast<int>(crack.points[k].transitTime));
            const std::regex row("(^|\\n)\\s*" + std::to_string(k + 1) + "\\s+\\d+\\s+" + time +
                                 "\\s");
            EXPECT_TRUE(std::regex_search(text, row))
                << "crack " << i + 1 << " point " << k + 1 << " time " << time;
        }
    }
    // The page count: one page for each crack.
    const auto [info, ok] =
        shellOutput("pdfinfo " + quoted(fs::path(docxPath).replace_extension(".pdf").string()));
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
}

// The print settings' header, footer and page numbers reach the document as the word
// processor's own header, footer and page-number field, and only when they are switched on.
TEST(DocxReport, HeaderFooterAndPageNumbersFollowThePrintSettings) {
    const DocumentData data = loadDocument(std::string(CRACKDEPTH_FIXTURES_DIR) + "/SITE.DPA");
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    PrintSettings framed;
    framed.headerOn = 1;
    framed.headerText = "某桥检测 & <页眉>";
    framed.headerPosition = 1;
    framed.headerFont = 1;
    framed.headerHeight = 8;
    framed.footerOn = 1;
    framed.footerText = "页脚文字";
    framed.footerPosition = 2;
    framed.footerFont = 3;
    framed.footerHeight = 6;
    framed.pageNumberOn = 1;
    framed.pageNumberPosition = 0;
    framed.pageNumberFormat = 1;
    framed.startPageNumber = 3;
    PrintSettings numbersOnly;
    numbersOnly.pageNumberOn = 1;

    const struct {
        const char* name;
        PrintSettings settings;
        bool header;
        bool footer;
    } cases[] = {{"none", PrintSettings{}, false, false},
                 {"all", framed, true, true},
                 {"page numbers only", numbersOnly, false, true}};
    const QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = fs::path(dir.path().toStdString()) / (std::string(c.name) + ".docx");
        ASSERT_TRUE(WriteDocxReport(content, c.settings, ReportStyle::Standard, path).ok);
        auto parts = packageParts(path);
        EXPECT_EQ(parts.count("word/header1.xml"), c.header ? 1u : 0u);
        EXPECT_EQ(parts.count("word/footer1.xml"), c.footer ? 1u : 0u);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string(parts["word/document.xml"].c_str()));
        const pugi::xml_node section =
            document.child("w:document").child("w:body").child("w:sectPr");
        EXPECT_EQ(countNamed(section, "w:headerReference"), c.header ? 1 : 0);
        EXPECT_EQ(countNamed(section, "w:footerReference"), c.footer ? 1 : 0);
        // Every reference names a relationship of the document that leads to its part.
        pugi::xml_document relations;
        ASSERT_TRUE(relations.load_string(parts["word/_rels/document.xml.rels"].c_str()));
        for (pugi::xml_node reference : section.children()) {
            const std::string_view name = reference.name();
            if (name != "w:headerReference" && name != "w:footerReference") {
                continue;
            }
            const pugi::xml_node target =
                relations.child("Relationships")
                    .find_child_by_attribute("Relationship", "Id",
                                             reference.attribute("r:id").value());
            ASSERT_TRUE(target) << reference.attribute("r:id").value();
            EXPECT_EQ(parts.count("word/" + std::string(target.attribute("Target").value())), 1u);
        }
        const pugi::xml_node numbering = section.child("w:pgNumType");
        EXPECT_EQ(static_cast<bool>(numbering), c.settings.pageNumberOn != 0);
    }

    const fs::path path = fs::path(dir.path().toStdString()) / "all.docx";
    auto parts = packageParts(path);
    pugi::xml_document header;
    ASSERT_TRUE(header.load_string(parts["word/header1.xml"].c_str()));
    const pugi::xml_node headerParagraph = header.child("w:hdr").child("w:p");
    EXPECT_EQ(textOf(headerParagraph), framed.headerText);
    EXPECT_STREQ(headerParagraph.child("w:pPr").child("w:jc").attribute("w:val").value(), "center");
    EXPECT_NE(parts["word/header1.xml"].find("黑体"), std::string::npos);

    pugi::xml_document footer;
    ASSERT_TRUE(footer.load_string(parts["word/footer1.xml"].c_str()));
    std::vector<pugi::xml_node> paragraphs;
    for (pugi::xml_node paragraph : footer.child("w:ftr").children("w:p")) {
        paragraphs.push_back(paragraph);
    }
    ASSERT_EQ(paragraphs.size(), 2u) << "the footer text, then the page number below it";
    EXPECT_EQ(textOf(paragraphs[0]), "页脚文字");
    EXPECT_STREQ(paragraphs[0].child("w:pPr").child("w:jc").attribute("w:val").value(), "right");
    EXPECT_STREQ(paragraphs[1].child("w:pPr").child("w:jc").attribute("w:val").value(), "left");
    EXPECT_STREQ(paragraphs[1].child("w:fldSimple").attribute("w:instr").value(), " PAGE ");
    EXPECT_NE(parts["word/footer1.xml"].find("仿宋_GB2312"), std::string::npos);

    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(parts["word/document.xml"].c_str()));
    const pugi::xml_node section = document.child("w:document").child("w:body").child("w:sectPr");
    EXPECT_STREQ(section.child("w:pgNumType").attribute("w:fmt").value(), "upperRoman");
    EXPECT_EQ(section.child("w:pgNumType").attribute("w:start").as_int(), 3);
    EXPECT_NEAR(section.child("w:pgMar").attribute("w:header").as_double(), 8 * 1440 / 25.4, 1);
    EXPECT_NEAR(section.child("w:pgMar").attribute("w:footer").as_double(), 6 * 1440 / 25.4, 1);

    if (!officeInstalled()) {
        GTEST_SKIP() << "soffice or pdftotext is not installed: the office rendering is not "
                        "checked";
    }
    // As the office program prints it: the header and footer on both pages, numbered III, IV.
    const std::string text = officeText(path);
    std::vector<std::string> pages;
    std::istringstream stream(text);
    for (std::string page; std::getline(stream, page, '\f');) {
        if (page.find_first_not_of(" \n") != std::string::npos) {
            pages.push_back(page);
        }
    }
    ASSERT_EQ(pages.size(), 2u) << text;
    const std::regex third("(^|\\s)III(\\s|$)");
    const std::regex fourth("(^|\\s)IV(\\s|$)");
    for (std::size_t k = 0; k < pages.size(); ++k) {
        EXPECT_NE(pages[k].find("某桥检测 & <页眉>"), std::string::npos) << pages[k];
        EXPECT_NE(pages[k].find("页脚文字"), std::string::npos) << pages[k];
        EXPECT_TRUE(std::regex_search(pages[k], k == 0 ? third : fourth)) << pages[k];
    }
}

// A result file of `cracks` crossing lines of `points` points each, copies of the demo's
// first crossing line at ever larger distances.
TEST(DocxReport, TenCracksOfAThousandPoints) {
    const DocumentData data = manyCracks(10, 1000);
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    // The wave trains of one 1000-point line: 35 pictures (all eleven lines take half a
    // minute in a debug build).
    ReportContent oneLine = content;
    oneLine.lines.resize(2);
    const QTemporaryDir dir;
    const struct {
        const char* what;
        const ReportContent& content;
        ReportStyle style;
        int lastRows; // rows of the last table
    } cases[] = {
        {"standard style, 10 x 1000 points", content, ReportStyle::Standard, 1020},
        {"simple style, 10 x 1000 points", content, ReportStyle::Simple, 1005},
        {"wave-train style, one line of 1000 points", oneLine, ReportStyle::WaveTrain, 1001},
    };
    PrintSettings noChecks; // the tables' row counts as before the checks
    noChecks.listChecks = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = dir.filePath("large.docx").toStdString();
        const auto start = std::chrono::steady_clock::now();
        const WriteOutcome outcome = WriteDocxReport(c.content, noChecks, c.style, path);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(outcome.ok) << outcome.error;
        std::printf("[ figures  ] %s: %.2f s, %.0f KiB\n", c.what, took.count(),
                    static_cast<double>(fs::file_size(path)) / 1024.0);
        DocxView docx;
        readDocx(path, docx);
        ASSERT_FALSE(docx.tables.empty());
        EXPECT_EQ(docx.tables.back().rows, c.lastRows);
    }
}

} // namespace
} // namespace crackdepth::report
