// The WordprocessingML of the report documents: escaped text, paragraphs, inline pictures and
// tables laid out as blocks on a grid of columns, the way the printed report rules its body.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace crackdepth::report::docx {

inline constexpr double kTwipsPerMm = 1440.0 / 25.4;
inline constexpr std::int64_t kEmuPerMm = 36000;

// `text` with the five XML characters escaped; characters XML cannot carry (controls other
// than tab and line ends, broken UTF-8) are left out.
std::string xmlText(std::string_view text);

// A picture of the package: its relationship id ("rId3"), its unique number in the document
// and its displayed size.
struct Picture {
    std::string relation;
    std::int32_t id = 0;
    double widthMm = 0;
    double heightMm = 0;
};

struct RunFormat {
    std::int32_t halfPoints = 0; // 0: the document's default size
    bool bold = false;
};

struct Paragraph {
    std::vector<std::string> lines; // one run each, separated by line breaks
    RunFormat format;
    bool centred = true;
    bool pageBreakFirst = false; // starts with a page break: the paragraph opens a new page
    bool keepWithNext = false;
};

void appendParagraph(std::string& out, const Paragraph& paragraph);

// A rectangle of grid cells shown as one cell: rows × columns cells from (row, column),
// 0-based, holding text lines or a picture.
struct Block {
    std::int32_t row = 0;
    std::int32_t column = 0;
    std::int32_t rows = 1;
    std::int32_t columns = 1;
    std::vector<std::string> lines;
    const Picture* picture = nullptr; // owned by the caller, alive while the table is written
};

struct Table {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t columnTwips = 0;
    // Widths of the grid columns (twips) where they differ; empty: all `columnTwips`.
    std::vector<std::int32_t> columnWidths;
    std::vector<Block> blocks;      // no two overlap; grid cells no block covers stay single
    std::int32_t exactRowTwips = 0; // rows from `exactFrom` on this high exactly; 0: as needed
    std::int32_t exactFrom = 0;
    // Rows at least this high (twips), from row 0 on; the others as high as their text needs.
    std::vector<std::int32_t> minimumRowTwips;
    std::int32_t headerRows = 0; // repeated at the top of every page the table continues on
    // Rows that stay on the page of the row after them.
    std::vector<bool> keepWithNext;
};

// A centred table with all borders, cells vertically centred and their texts centred.
// Horizontal merges are grid spans, vertical ones continued cells.
void appendTable(std::string& out, const Table& table);

// An inline picture in a paragraph of its own, centred.
void appendPictureParagraph(std::string& out, const Picture& picture);

} // namespace crackdepth::report::docx
