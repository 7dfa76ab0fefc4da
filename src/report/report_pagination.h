// How the report's blocks fall onto pages, row by row. The standard style starts every crack on
// a page of its own (a first page of 10 rows, or 19 without the table head, then pages that
// repeat the crack's name and the column headings); the simple and wave-train styles let blocks
// follow one another down the 30 rows of a page, a block continued on the next page repeating
// its name (and, where points follow, the column headings). A heading row never ends a page.
#pragma once

#include "core/data/print_settings.h"

#include <cstdint>
#include <vector>

namespace crackdepth::report {

inline constexpr std::int32_t kBodyRows = 30;
inline constexpr std::int32_t kBodyColumns = 18;
inline constexpr std::int32_t kSimpleHeadingRows = 5;

// The first page of a crack in the standard style holds this many rows below its column
// headings.
std::int32_t standardFirstPageRows(bool tableHead);
// The page row of the standard first page's column headings.
std::int32_t standardHeadingRow(bool tableHead);

// The counts the pagination needs.
struct LineCounts {
    std::int64_t nonCrossing = 0;
    std::vector<std::int64_t> crossing; // in document order
    // The rows of each crack's "测量检查" block below its title (its findings, or one row
    // "无"); empty when the report lists no checks.
    std::vector<std::int64_t> checks;
};

// What one body row of a block shows.
enum class RowKind : std::uint8_t {
    Head,        // heading row `index` of the block (simple: 1 … 5; wave train: the title)
    Name,        // a continued block's name row (wave train: its title again)
    ColumnHeads, // a continued table's column headings
    Point,       // point `index` (0-based)
    ChecksTitle, // "测量检查"
    Check,       // finding `index` (0-based), or the one "无" row
};
struct PlannedRow {
    RowKind kind = RowKind::Point;
    std::int64_t index = 0;
    bool operator==(const PlannedRow&) const = default;
};

// The rows of one block on one page, from page row `firstRow` down.
struct BlockPart {
    std::int32_t page = 1;
    std::int32_t firstRow = 0;
    std::vector<PlannedRow> rows;
};

// A block of the report: a crack (standard, simple) or, in the wave-train style, a line
// (`line` 0 the non-crossing line, k the crossing line of crack k − 1) or the checks of crack
// `line` − 1.
struct BlockRef {
    std::size_t line = 0;
    bool checks = false;
};

// Where each block starts and ends. Pages are 1-based. A start row r is the block's first row
// below its title or heading row, which lies in page row r − 1; an end row e is the page row
// the block's rules end at (its last row is e − 1).
struct ReportLayout {
    std::vector<std::int32_t> startPage;
    std::vector<std::int32_t> startRow;
    std::vector<std::int32_t> endPage;
    std::vector<std::int32_t> endRow;
    std::vector<BlockRef> blocks;
    std::vector<std::vector<BlockPart>> parts; // each block's rows, page by page
    std::int32_t pageCount = 0;

    // The part of block `block` on page `page`; null when the block has none there.
    const BlockPart* partOn(std::size_t block, std::int32_t page) const;
};

// The pages of a report of `style` (a stored style outside the three counts as the standard).
ReportLayout PaginateReport(ReportStyle style, const LineCounts& counts, bool tableHead);

// The rows of points a crack takes: the longer of the crossing line and the non-crossing line.
std::int64_t reportRowsOf(std::int64_t crossing, std::int64_t nonCrossing);

} // namespace crackdepth::report
