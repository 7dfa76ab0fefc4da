// How the report's lines fall onto pages. The standard style starts every crack on a page of
// its own (a first page of 10 rows, or 19 without the table head, then 30 a page); the simple
// and wave-train styles let blocks follow one another down the 30 rows of a page, the simple
// block as five heading rows and one row per point, the wave-train block as a title row and one
// row per point, its title repeated on every page it continues onto.
#pragma once

#include "core/data/print_settings.h"

#include <cstdint>
#include <vector>

namespace crackdepth::report {

inline constexpr std::int32_t kBodyRows = 30;
inline constexpr std::int32_t kBodyColumns = 18;
inline constexpr std::int32_t kSimpleHeadingRows = 5;

// The first page of a crack in the standard style holds this many points.
std::int32_t standardFirstPageRows(bool tableHead);

// The point counts the pagination needs.
struct LineCounts {
    std::int64_t nonCrossing = 0;
    std::vector<std::int64_t> crossing; // in document order
};

// Where each block starts and ends. Pages are 1-based. A start row r is the block's first row
// below its title or heading row, which lies in page row r − 1; an end row e is the page row
// the block's rules end at (its last row is e − 1). The standard style fills only the pages.
// Blocks: one per crossing line, the wave-train style's non-crossing line first.
struct ReportLayout {
    std::vector<std::int32_t> startPage;
    std::vector<std::int32_t> startRow;
    std::vector<std::int32_t> endPage;
    std::vector<std::int32_t> endRow;
    std::int32_t pageCount = 0;
};

// The pages of a report of `style` (a stored style outside the three counts as the standard).
ReportLayout PaginateReport(ReportStyle style, const LineCounts& counts, bool tableHead);

// The rows of block `block` on page `page` of a flowing style: page rows first − 1 … last − 1
// show block rows offset, offset + 1, … (block row 1 is the heading or title row). A page the
// block continues onto starts at page row 0; its rows go on where the last page stopped, with
// `continuedRows` rows of the block a page (30, or 29 where the title row is repeated).
struct BlockRows {
    std::int32_t first = 1;
    std::int64_t offset = 1;
    std::int32_t last = kBodyRows;
};
BlockRows blockRowsOn(const ReportLayout& layout, std::size_t block, std::int32_t page,
                      std::int32_t continuedRows);

// The rows of points a line takes: the longer of the crossing line and the non-crossing line.
std::int64_t reportRowsOf(std::int64_t crossing, std::int64_t nonCrossing);

} // namespace crackdepth::report
