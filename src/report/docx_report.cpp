#include "report/docx_report.h"

#include "report/docx_package.h"
#include "report/docx_xml.h"
#include "report/gray_png.h"
#include "report/ordered_work.h"
#include "report/page_geometry.h"
#include "report/report_pictures.h"
#include "report/report_renderer.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <deque>

namespace crackdepth::report {
namespace {

using docx::Block;
using docx::Paragraph;
using docx::Picture;
using docx::Table;

inline constexpr std::int32_t kColumns = 18;
inline constexpr std::int32_t kTitleHalfPoints = 32; // 16 points
inline constexpr const char* kFontName = "宋体";     // 9 points unless said otherwise
inline constexpr double kPageWidthMm = 210;
inline constexpr double kPageHeightMm = 297;
// The pictures have this many image pixels per displayed screen pixel: sharp on paper.
inline constexpr double kPlotScale = 4;
inline constexpr double kWaveScale = 2;
// A wave-train picture is drawn on the bitmap page's proportions, 1000 pixels wide.
inline constexpr double kWavePictureWidthPixels = 1000;
// Black traces and text on white: four grey levels keep the text's smoothed edges, in a
// quarter of the bytes that the word processor and the compressor go through.
inline constexpr int kWavePictureBits = 2;

constexpr const char* kWordNamespaces =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";
constexpr const char* kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
// The relationship ids of the header and footer; the pictures' are "rId2" on.
constexpr const char* kHeaderRelation = "rIdHeader";
constexpr const char* kFooterRelation = "rIdFooter";
constexpr const char* kRelationshipTypes =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::int32_t twips(double mm) {
    return static_cast<std::int32_t>(std::lround(mm * docx::kTwipsPerMm));
}

Block text(std::int32_t row, std::int32_t column, std::int32_t rows, std::int32_t columns,
           std::string value) {
    return {row, column, rows, columns, {std::move(value)}, nullptr};
}

// One row of cells side by side from column 0, `widths` grid columns wide.
void appendRowCells(std::vector<Block>& blocks, std::int32_t row,
                    std::initializer_list<std::int32_t> widths,
                    std::initializer_list<std::string> texts) {
    std::int32_t column = 0;
    auto value = texts.begin();
    for (const std::int32_t width : widths) {
        blocks.push_back(text(row, column, 1, width, *value++));
        column += width;
    }
}

void appendRowCells(std::vector<Block>& blocks, std::int32_t row,
                    const std::vector<std::int32_t>& widths,
                    const std::vector<std::string>& texts) {
    std::int32_t column = 0;
    for (std::size_t i = 0; i < widths.size() && i < texts.size(); ++i) {
        blocks.push_back(text(row, column, 1, widths[i], texts[i]));
        column += widths[i];
    }
}

// The "测量检查" rows of a crack from table row `row` on: the title, then each finding (or
// "无") across the table. The number of rows they take.
std::int32_t appendCheckRows(std::vector<Block>& blocks, std::int32_t row,
                             const CrackReport& crack) {
    blocks.push_back(text(row, 0, 1, kColumns, kChecksTitle));
    std::int32_t rows = 1;
    for (const std::string& finding : checkRowsOf(crack)) {
        blocks.push_back(text(row + rows++, 0, 1, kColumns, finding));
    }
    return rows;
}

std::int32_t checkRowCount(const CrackReport& crack, bool listChecks) {
    return listChecks ? 1 + static_cast<std::int32_t>(checkRowsOf(crack).size()) : 0;
}

// The document being built: its body and its pictures.
class DocxBuilder {
public:
    DocxBuilder(const PrintSettings& settings) : settings_(settings) {
        const double textWidth =
            kPageWidthMm - std::max(0, settings.leftMargin) - std::max(0, settings.rightMargin);
        columnTwips_ = std::max(1, twips(std::max(textWidth, 36.0)) / kColumns);
    }

    std::int32_t columnTwips() const { return columnTwips_; }
    double textWidthMm() const { return columnTwips_ * kColumns / docx::kTwipsPerMm; }
    std::string& body() { return body_; }

    // Black and white drawings: grey levels keep the antialiasing at a third of the size.
    const Picture& addPicture(const QImage& image, double widthMm, double heightMm) {
        return addPng(encodeGrayPng(image), widthMm, heightMm);
    }

    const Picture& addPng(std::string png, double widthMm, double heightMm) {
        const std::string file = "media/image" + std::to_string(media_.size() + 1) + ".png";
        media_.push_back({"word/" + file, std::move(png), false});
        images_.push_back(file);
        return showAgain({"rId" + std::to_string(images_.size() + 1), 0, widthMm, heightMm});
    }

    // Another drawing of a picture's image: every drawing has a number of its own.
    const Picture& showAgain(const Picture& picture) {
        Picture again = picture;
        again.id = static_cast<std::int32_t>(pictures_.size()) + 1;
        return pictures_.emplace_back(std::move(again));
    }

    // The drawing added k-th (from 0).
    const Picture& picture(std::size_t k) const { return pictures_[k]; }

    // The package's parts; the pictures are moved out, so the builder is done with.
    std::vector<PackagePart> takeParts() {
        std::vector<PackagePart> parts;
        parts.push_back({"[Content_Types].xml", contentTypes(), true});
        parts.push_back({"_rels/.rels", packageRelations(), true});
        parts.push_back({"word/document.xml", document(), true});
        parts.push_back({"word/_rels/document.xml.rels", documentRelations(), true});
        parts.push_back({"word/styles.xml", styles(), true});
        if (hasHeader()) {
            parts.push_back({"word/header1.xml", header(), true});
        }
        if (hasFooter()) {
            parts.push_back({"word/footer1.xml", footer(), true});
        }
        parts.insert(parts.end(), std::make_move_iterator(media_.begin()),
                     std::make_move_iterator(media_.end()));
        media_.clear();
        return parts;
    }

private:
    std::string contentTypes() const {
        std::string frames;
        if (hasHeader()) {
            frames += "<Override PartName=\"/word/header1.xml\" ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>";
        }
        if (hasFooter()) {
            frames += "<Override PartName=\"/word/footer1.xml\" ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>";
        }
        return std::string(kXmlDeclaration) +
               "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
               "<Default Extension=\"rels\" "
               "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
               "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
               "<Default Extension=\"png\" ContentType=\"image/png\"/>"
               "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
               "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>" +
               frames + "</Types>";
    }

    static std::string packageRelations() {
        return std::string(kXmlDeclaration) +
               "<Relationships "
               "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
               "<Relationship Id=\"rId1\" Type=\"" +
               kRelationshipTypes + "officeDocument\" Target=\"word/document.xml\"/>" +
               "</Relationships>";
    }

    std::string documentRelations() const {
        std::string xml = std::string(kXmlDeclaration) +
                          "<Relationships "
                          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                          "<Relationship Id=\"rId1\" Type=\"" +
                          kRelationshipTypes + "styles\" Target=\"styles.xml\"/>";
        if (hasHeader()) {
            xml += std::string("<Relationship Id=\"") + kHeaderRelation + "\" Type=\"" +
                   kRelationshipTypes + "header\" Target=\"header1.xml\"/>";
        }
        if (hasFooter()) {
            xml += std::string("<Relationship Id=\"") + kFooterRelation + "\" Type=\"" +
                   kRelationshipTypes + "footer\" Target=\"footer1.xml\"/>";
        }
        for (std::size_t k = 0; k < images_.size(); ++k) {
            xml += "<Relationship Id=\"rId" + std::to_string(k + 2) + "\" Type=\"" +
                   kRelationshipTypes + "image\" Target=\"" + images_[k] + "\"/>";
        }
        return xml + "</Relationships>";
    }

    // The defaults are the tables': "宋体" 9 points, single-spaced paragraphs.
    static std::string styles() {
        const std::string font = docx::xmlText(kFontName);
        return std::string(kXmlDeclaration) + "<w:styles" + kWordNamespaces +
               "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"" + font +
               "\" w:eastAsia=\"" + font + "\" w:hAnsi=\"" + font + "\" w:cs=\"" + font +
               "\"/><w:sz w:val=\"18\"/><w:szCs w:val=\"18\"/>"
               "<w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\"/></w:rPr></w:rPrDefault>"
               "<w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" "
               "w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
               "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
               "<w:name w:val=\"Normal\"/></w:style>"
               "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\">"
               "<w:name w:val=\"Normal Table\"/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/>"
               "<w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"28\" "
               "w:type=\"dxa\"/><w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"28\" "
               "w:type=\"dxa\"/></w:tblCellMar></w:tblPr></w:style></w:styles>";
    }

    // The printed pages' header: the settings' text in the chosen face, placed as chosen.
    bool hasHeader() const { return settings_.headerOn != 0; }
    // The printed pages' footer: its text, and the page number on a line below it.
    bool hasFooter() const { return settings_.footerOn != 0 || settings_.pageNumberOn != 0; }

    std::string header() const {
        return std::string(kXmlDeclaration) + "<w:hdr" + kWordNamespaces + ">" +
               frameParagraph(settings_.headerPosition, settings_.headerFont,
                              docx::xmlText(settings_.headerText)) +
               "</w:hdr>";
    }

    std::string footer() const {
        std::string xml = std::string(kXmlDeclaration) + "<w:ftr" + kWordNamespaces + ">";
        if (settings_.footerOn != 0) {
            xml += frameParagraph(settings_.footerPosition, settings_.footerFont,
                                  docx::xmlText(settings_.footerText));
        }
        if (settings_.pageNumberOn != 0) {
            // In the face last chosen, as on the printed page: the footer's, else the header's.
            const std::int32_t face = settings_.footerOn != 0   ? settings_.footerFont
                                      : settings_.headerOn != 0 ? settings_.headerFont
                                                                : 0;
            xml += frameParagraph(settings_.pageNumberPosition, face, {}, true);
        }
        return xml + "</w:ftr>";
    }

    // One paragraph of the header or footer, 10.5 points as the printed frame texts: a text
    // (already escaped) or the word processor's own page number field.
    static std::string frameParagraph(std::int32_t position, std::int32_t face,
                                      const std::string& escaped, bool pageNumber = false) {
        const char* alignment = position == 1 ? "center" : position == 2 ? "right" : "left";
        const std::string font = docx::xmlText(frameFaceOf(face));
        const std::string run =
            "<w:r><w:rPr><w:rFonts w:ascii=\"" + font + "\" w:eastAsia=\"" + font +
            "\" w:hAnsi=\"" + font + "\" w:cs=\"" + font +
            "\"/><w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/></w:rPr><w:t xml:space=\"preserve\">" +
            (pageNumber ? std::string("1") : escaped) + "</w:t></w:r>";
        return std::string("<w:p><w:pPr><w:jc w:val=\"") + alignment + "\"/></w:pPr>" +
               (pageNumber ? "<w:fldSimple w:instr=\" PAGE \">" + run + "</w:fldSimple>" : run) +
               "</w:p>";
    }

    // The section's header and footer, and its page numbers as the print settings number
    // them: from the start number, decimal or Roman.
    std::string frameReferences() const {
        std::string xml;
        if (hasHeader()) {
            xml += std::string("<w:headerReference w:type=\"default\" r:id=\"") + kHeaderRelation +
                   "\"/>";
        }
        if (hasFooter()) {
            xml += std::string("<w:footerReference w:type=\"default\" r:id=\"") + kFooterRelation +
                   "\"/>";
        }
        return xml;
    }

    std::string pageNumbering() const {
        if (settings_.pageNumberOn == 0) {
            return {};
        }
        return std::string("<w:pgNumType w:fmt=\"") +
               (settings_.pageNumberFormat == 0 ? "decimal" : "upperRoman") + "\" w:start=\"" +
               std::to_string(std::max(0, settings_.startPageNumber)) + "\"/>";
    }

    // A4 portrait with the print settings' margins; the header and footer as far from the
    // paper's edges as the settings place them.
    std::string document() const {
        const auto margin = [](std::int32_t mm) { return std::to_string(twips(std::max(0, mm))); };
        return std::string(kXmlDeclaration) + "<w:document" + kWordNamespaces + "><w:body>" +
               body_ +
               // The body ends with a paragraph after its last table.
               "<w:p/><w:sectPr>" + frameReferences() + "<w:pgSz w:w=\"" +
               std::to_string(twips(kPageWidthMm)) + "\" w:h=\"" +
               std::to_string(twips(kPageHeightMm)) + "\"/><w:pgMar w:top=\"" +
               margin(settings_.topMargin) + "\" w:right=\"" + margin(settings_.rightMargin) +
               "\" w:bottom=\"" + margin(settings_.bottomMargin) + "\" w:left=\"" +
               margin(settings_.leftMargin) + "\" w:header=\"" + margin(settings_.headerHeight) +
               "\" w:footer=\"" + margin(settings_.footerHeight) + "\" w:gutter=\"0\"/>" +
               pageNumbering() + "</w:sectPr></w:body></w:document>";
    }

    const PrintSettings& settings_;
    std::int32_t columnTwips_ = 0;
    std::string body_;
    std::deque<Picture> pictures_;    // the drawings; stable addresses for the tables
    std::vector<std::string> images_; // the package's images, relationship rId2 on
    std::vector<PackagePart> media_;
};

// The report's steps (a crack's section, a wave-train picture) told to its progress.
class Steps {
public:
    Steps(const ReportProgress& progress, std::int64_t total)
        : progress_(progress), total_(total) {}
    // False once the progress has stopped the report.
    bool next() {
        stopped_ = stopped_ || !goesOn(progress_, ++done_, total_);
        return !stopped_;
    }
    bool stopped() const { return stopped_; }

private:
    const ReportProgress& progress_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    bool stopped_ = false;
};

std::int64_t picturesOf(const ReportLine& line) {
    const auto points = static_cast<std::int64_t>(line.train.traces.size());
    return (points + kDocxWavePointsPerPicture - 1) / kDocxWavePointsPerPicture;
}

void appendTitle(DocxBuilder& builder, bool newPage) {
    Paragraph title;
    title.lines = {kReportTitle};
    title.format = {kTitleHalfPoints, true};
    title.pageBreakFirst = newPage;
    title.keepWithNext = true;
    docx::appendParagraph(builder.body(), title);
}

// The printed standard page's blocks: the project block (with the table head), the results
// beside the plot, the point table of every point.
void appendStandardSection(DocxBuilder& builder, const ReportContent& content,
                           const CrackReport& crack, bool tableHead, bool listChecks,
                           const Picture& plot) {
    const auto& p = content.project;
    const auto points = static_cast<std::int32_t>(crack.rows.size());
    Table table;
    table.columns = kColumns;
    table.columnTwips = builder.columnTwips();
    table.rows = points + (tableHead ? 20 : 11) + checkRowCount(crack, listChecks);
    std::vector<Block>& blocks = table.blocks;
    std::int32_t results = 0; // the first row of the result block
    if (tableHead) {
        const char* wide[] = {"工程名称", "检测单位", "施工单位"};
        for (std::int32_t row = 0; row < 3; ++row) {
            blocks.push_back(text(row, 0, 1, 4, wide[row]));
            blocks.push_back(text(row, 4, 1, 14, p[static_cast<std::size_t>(row)]));
        }
        const struct {
            const char* left;
            std::size_t leftText;
            const char* right;
            std::size_t rightText;
        } pairs[] = {{"委托单位", 3, "委托编号", 11},
                     {"施工日期", 13, "检测日期", 8},
                     {"构件名称", 15, "设计强度", 5},
                     {"检测依据", 6, "检测编号", 14}};
        std::int32_t row = 3;
        for (const auto& pair : pairs) {
            appendRowCells(blocks, row++, {4, 6, 3, 5},
                           {pair.left, p[pair.leftText], pair.right, p[pair.rightText]});
        }
        blocks.push_back({7, 0, 2, 4, {"仪器型号", "与编号"}, nullptr});
        blocks.push_back(text(7, 4, 2, 14, p[22] + "        " + p[12]));
        results = 9;
    }
    const std::string labels[] = {"跨缝测线", "非跨缝测线", "裂缝深度(mm)", "回归系数A(mm)",
                                  "回归系数B(km/s)"};
    const std::string values[] = {crack.crossingName, crack.nonCrossingName, crack.crackDepth,
                                  content.intercept, content.velocity};
    for (std::int32_t k = 0; k < 5; ++k) {
        blocks.push_back(text(results + 2 * k, 0, 2, 4, labels[k]));
        blocks.push_back(text(results + 2 * k, 4, 2, 4, values[k]));
    }
    blocks.push_back({results, 8, 10, 10, {}, &plot});
    // The plot's ten rows share its height evenly.
    table.minimumRowTwips.assign(static_cast<std::size_t>(results), 0);
    table.minimumRowTwips.resize(static_cast<std::size_t>(results + 10),
                                 twips((plot.heightMm + 2) / 10));
    const std::int32_t head = results + 10;
    const PointTable columns = standardTable(crack);
    appendRowCells(blocks, head, columns.widths, columns.heads);
    for (std::int32_t k = 0; k < points; ++k) {
        appendRowCells(blocks, head + 1 + k, columns.widths,
                       standardCells(crack, crack.rows[static_cast<std::size_t>(k)]));
    }
    if (listChecks) {
        appendCheckRows(blocks, head + 1 + points, crack);
    }
    docx::appendTable(builder.body(), table);
}

// The simple table's columns 9 and 10 hold a date in one two-column cell ("浇注日期"'s value):
// they are widened to hold "2024-12-31" on one line at 9 points, whatever face the office
// program shows "宋体" in (digits up to 0.6 em: 10 × 5.4 points, plus the cell's margins),
// taking the width from columns 5 … 8, whose cells span four columns.
inline constexpr double kDateCellMm = 22;

std::vector<std::int32_t> simpleColumnWidths(std::int32_t columnTwips) {
    std::vector<std::int32_t> widths(static_cast<std::size_t>(kColumns), columnTwips);
    const std::int32_t extra = twips(kDateCellMm) - 2 * columnTwips;
    if (extra <= 0) {
        return widths;
    }
    // Columns 5 … 8 keep at least half their width.
    const std::int32_t taken = std::min(extra, 2 * columnTwips);
    widths[9] += taken / 2;
    widths[10] += taken - taken / 2;
    for (const std::size_t c : {5u, 6u, 7u, 8u}) {
        widths[c] -= taken / 4;
    }
    widths[5] -= taken - 4 * (taken / 4);
    return widths;
}

// The printed simple style's block of one crack.
void appendSimpleSection(DocxBuilder& builder, const ReportContent& content,
                         const CrackReport& crack, bool listChecks) {
    const auto& p = content.project;
    const auto points = static_cast<std::int32_t>(crack.rows.size());
    Table table;
    table.columns = kColumns;
    table.columnTwips = builder.columnTwips();
    table.rows = points + 5 + checkRowCount(crack, listChecks);
    table.columnWidths = simpleColumnWidths(table.columnTwips);
    std::vector<Block>& blocks = table.blocks;
    appendRowCells(blocks, 0, {2, 7, 3, 6}, {"工程名称", p[0], "检测单位", p[1]});
    const auto six = {2, 3, 4, 2, 3, 4};
    appendRowCells(
        blocks, 1, six,
        {"构件名称", p[15], "裂缝名称", crack.crossingName, "推定缝深", crack.crackDepth});
    appendRowCells(
        blocks, 2, six,
        {"系数A", content.intercept, "系数B", content.velocity, "检测依据", "CECS21:2000"});
    appendRowCells(blocks, 3, six, {"设计强度", p[5], "浇注日期", p[13], "检测日期", p[8]});
    const PointTable columns = simpleTable(crack);
    appendRowCells(blocks, 4, columns.widths, columns.heads);
    for (std::int32_t k = 0; k < points; ++k) {
        appendRowCells(blocks, 5 + k, columns.widths,
                       simpleCells(crack, crack.rows[static_cast<std::size_t>(k)]));
    }
    if (listChecks) {
        appendCheckRows(blocks, 5 + points, crack);
    }
    docx::appendTable(builder.body(), table);
}

// A block of the wave-train style: an empty paragraph that keeps with it, then a table of the
// body's grid.
Table tableAfterSpacer(DocxBuilder& builder) {
    Paragraph spacer;
    spacer.keepWithNext = true;
    docx::appendParagraph(builder.body(), spacer);
    Table table;
    table.columns = kColumns;
    table.columnTwips = builder.columnTwips();
    return table;
}

// A wave-train picture: points first … last of a line, `size` screen pixels drawn for a cell
// of widthMm × heightMm.
struct WavePicture {
    std::size_t line = 0;
    std::int32_t first = 0;
    std::int32_t last = 0;
    QSize size;
    double widthMm = 0;
    double heightMm = 0;
};

// Every line's pictures in document order: a page's worth of points each.
std::vector<WavePicture> wavePicturesOf(const ReportContent& content, double widthMm) {
    std::vector<WavePicture> pictures;
    for (std::size_t j = 0; j < content.lines.size(); ++j) {
        const auto points = static_cast<std::int32_t>(content.lines[j].train.traces.size());
        for (std::int32_t first = 0; first < points; first += kDocxWavePointsPerPicture) {
            const std::int32_t last = std::min(points, first + kDocxWavePointsPerPicture) - 1;
            const double heightMm = (last - first + 1) * kDocxWaveRowMm - 1.5;
            const QSize size(
                static_cast<int>(kWavePictureWidthPixels),
                static_cast<int>(std::lround(kWavePictureWidthPixels * heightMm / widthMm)));
            pictures.push_back({j, first, last, size, widthMm, heightMm});
        }
    }
    return pictures;
}

// Draws and compresses the pictures on `threads` threads and adds them to the document in
// order, one step each. False once the progress has stopped the report.
bool addWavePictures(DocxBuilder& builder, const ReportContent& content,
                     const std::vector<WavePicture>& pictures, Steps& steps, unsigned threads) {
    return makeInOrder(
        pictures.size(), threadsFor(pictures.size(), threads),
        [&](std::size_t k) {
            const WavePicture& p = pictures[k];
            return encodeGrayPng(
                waveTrainPicture(content.lines[p.line], p.first, p.last, p.size, kWaveScale),
                kWavePictureBits);
        },
        [&](std::size_t k, std::string&& png) {
            builder.addPng(std::move(png), pictures[k].widthMm, pictures[k].heightMm);
            return steps.next();
        });
}

// One line's block: its name across the table, then its points, one row each, merged into
// cells of a page's worth of points that each hold the wave train of their points (the
// document's pictures from `next` on, planned as `pictures`). A line continued on the next
// page repeats its name there, as the printed pages do.
void appendWaveTrainBlock(DocxBuilder& builder, const ReportLine& line,
                          const std::vector<WavePicture>& pictures, std::size_t& next) {
    const auto points = static_cast<std::int32_t>(line.train.traces.size());
    Table table = tableAfterSpacer(builder);
    table.rows = points + 1;
    table.exactRowTwips = twips(kDocxWaveRowMm);
    table.exactFrom = 1;
    table.headerRows = 1; // the name heads every page the line continues on
    table.keepWithNext.assign(static_cast<std::size_t>(table.rows), true);
    table.blocks.push_back(text(0, 0, 1, kColumns, line.name));
    for (std::int32_t first = 0; first < points; first += kDocxWavePointsPerPicture) {
        const WavePicture& planned = pictures[next];
        const std::int32_t rows = planned.last - planned.first + 1;
        table.blocks.push_back({1 + first, 0, rows, kColumns, {}, &builder.picture(next++)});
        // A picture stays on one page: its rows keep together, the next picture may move on.
        table.keepWithNext[static_cast<std::size_t>(1 + planned.last)] = false;
    }
    docx::appendTable(builder.body(), table);
}

// A crack's "测量检查" after its crossing line's wave train: a table of its own.
void appendChecksBlock(DocxBuilder& builder, const CrackReport& crack) {
    Table table = tableAfterSpacer(builder);
    table.rows = checkRowCount(crack, true);
    table.headerRows = 1;
    appendCheckRows(table.blocks, 0, crack);
    docx::appendTable(builder.body(), table);
}

} // namespace

WriteOutcome WriteDocxReport(const ReportContent& content, const PrintSettings& settings,
                             ReportStyle style, const std::filesystem::path& path,
                             const ReportProgress& progress, unsigned threads) {
    if (style != ReportStyle::WaveTrain && content.cracks.empty()) {
        return {false, "the report has no pages: the document holds no crossing line"};
    }
    if (style == ReportStyle::WaveTrain && content.lines.empty()) {
        return {false, "the report has no pages: the document holds no line"};
    }
    DocxBuilder builder(settings);
    std::int64_t total = static_cast<std::int64_t>(content.cracks.size());
    if (style == ReportStyle::WaveTrain) {
        total = 0;
        for (const ReportLine& line : content.lines) {
            total += picturesOf(line);
        }
    }
    Steps steps(progress, total);
    switch (style) {
    case ReportStyle::Standard: {
        const Picture& plot = builder.addPicture(plotPicture(content, QSize(310, 200), kPlotScale),
                                                 kDocxPlotWidthMm, kDocxPlotHeightMm);
        for (std::size_t i = 0; i < content.cracks.size() && steps.next(); ++i) {
            appendTitle(builder, i > 0);
            appendStandardSection(builder, content, content.cracks[i], settings.tableHead != 0,
                                  settings.listChecks != 0,
                                  i == 0 ? plot : builder.showAgain(plot));
        }
        break;
    }
    case ReportStyle::Simple:
        for (std::size_t i = 0; i < content.cracks.size() && steps.next(); ++i) {
            const CrackReport& crack = content.cracks[i];
            appendTitle(builder, false);
            appendSimpleSection(builder, content, crack, settings.listChecks != 0);
        }
        break;
    case ReportStyle::WaveTrain: {
        const std::vector<WavePicture> pictures =
            wavePicturesOf(content, builder.textWidthMm() - 6);
        if (!addWavePictures(builder, content, pictures, steps, threads)) {
            break;
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < content.lines.size(); ++j) {
            appendWaveTrainBlock(builder, content.lines[j], pictures, next);
            if (j > 0 && j <= content.cracks.size() && settings.listChecks != 0) {
                appendChecksBlock(builder, content.cracks[j - 1]);
            }
        }
        break;
    }
    }
    if (steps.stopped()) {
        return {false, kReportCancelled};
    }

    const std::vector<PackagePart> parts = builder.takeParts();
    std::string error;
    const std::optional<std::string> bytes = zipPackage(parts, error);
    if (!bytes) {
        return {false, error};
    }
    return writeFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
}

} // namespace crackdepth::report
