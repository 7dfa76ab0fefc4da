#include "report/report_pagination.h"

#include <algorithm>
#include <limits>

namespace crackdepth::report {
namespace {

// Page counts are ints; a line of 65,535 points takes a few thousand pages, far from the
// limit, but a count read from a damaged file must not overflow the arithmetic.
std::int32_t clampPages(std::int64_t pages) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(pages, std::numeric_limits<std::int32_t>::max() / 2));
}

struct Block {
    std::int32_t page = 1;
    std::int32_t row = 1; // the start row
};

// The next block begins one blank row below the end of the last one, on a new page when
// fewer than two rows are left (a title and at least one row after it).
Block nextBlockAfter(std::int32_t endPage, std::int32_t endRow) {
    if (endRow >= kBodyRows - 2) {
        return {endPage + 1, 1};
    }
    return {endPage, endRow + 2};
}

void append(ReportLayout& layout, Block start, std::int32_t endPage, std::int32_t endRow) {
    layout.startPage.push_back(start.page);
    layout.startRow.push_back(start.row);
    layout.endPage.push_back(endPage);
    layout.endRow.push_back(endRow);
    layout.pageCount = std::max(layout.pageCount, endPage);
}

ReportLayout paginateStandard(const LineCounts& counts, bool tableHead) {
    ReportLayout layout;
    const std::int64_t first = standardFirstPageRows(tableHead);
    std::int64_t page = 0;
    for (const std::int64_t crossing : counts.crossing) {
        const Block start{clampPages(page + 1), 1};
        page = start.page;
        const std::int64_t rows = reportRowsOf(crossing, counts.nonCrossing);
        if (rows > first) {
            page += (rows - first + kBodyRows - 1) / kBodyRows;
        }
        append(layout, start, clampPages(page), 0);
    }
    return layout;
}

// A simple-style block: its heading rows and one row per point, continuing from page to page
// without a repeated heading. Row i of the block (0-based) lies i rows below the page row of
// its start row's heading.
ReportLayout paginateSimple(const LineCounts& counts) {
    ReportLayout layout;
    Block start;
    for (const std::int64_t crossing : counts.crossing) {
        const std::int64_t rows = reportRowsOf(crossing, counts.nonCrossing) + kSimpleHeadingRows;
        const std::int64_t lastRow = start.row - 1 + rows - 1; // counted from the start page
        const std::int32_t endPage = clampPages(start.page + lastRow / kBodyRows);
        const auto endRow = static_cast<std::int32_t>(lastRow % kBodyRows + 1);
        append(layout, start, endPage, endRow);
        start = nextBlockAfter(endPage, endRow);
    }
    return layout;
}

// A wave-train block: a title row, then one row per point; a page it continues onto repeats
// the title in row 0 and holds 29 points.
ReportLayout paginateWaveTrain(const LineCounts& counts) {
    ReportLayout layout;
    Block start;
    std::vector<std::int64_t> lines{counts.nonCrossing};
    lines.insert(lines.end(), counts.crossing.begin(), counts.crossing.end());
    for (const std::int64_t points : lines) {
        const std::int64_t onFirstPage = kBodyRows - start.row;
        std::int32_t endPage = start.page;
        std::int32_t endRow = 0;
        if (points <= onFirstPage) {
            endRow = static_cast<std::int32_t>(start.row + points);
        } else {
            const std::int64_t rest = points - onFirstPage;
            const std::int64_t perPage = kBodyRows - 1;
            const std::int64_t morePages = (rest + perPage - 1) / perPage;
            endPage = clampPages(start.page + morePages);
            endRow = static_cast<std::int32_t>(1 + rest - perPage * (morePages - 1));
        }
        append(layout, start, endPage, endRow);
        start = nextBlockAfter(endPage, endRow);
    }
    return layout;
}

} // namespace

std::int32_t standardFirstPageRows(bool tableHead) {
    return tableHead ? 10 : 19;
}

std::int64_t reportRowsOf(std::int64_t crossing, std::int64_t nonCrossing) {
    return std::max<std::int64_t>({crossing, nonCrossing, 0});
}

BlockRows blockRowsOn(const ReportLayout& layout, std::size_t block, std::int32_t page,
                      std::int32_t continuedRows) {
    BlockRows rows;
    const std::int32_t startPage = layout.startPage[block];
    if (page == startPage) {
        rows.first = layout.startRow[block];
        rows.offset = 1;
    } else {
        rows.first = 1;
        rows.offset = std::int64_t{continuedRows} * (page - startPage) - layout.startRow[block] + 2;
    }
    rows.last = page == layout.endPage[block] ? layout.endRow[block] : kBodyRows;
    return rows;
}

ReportLayout PaginateReport(ReportStyle style, const LineCounts& counts, bool tableHead) {
    switch (style) {
    case ReportStyle::Simple:
        return paginateSimple(counts);
    case ReportStyle::WaveTrain:
        return paginateWaveTrain(counts);
    case ReportStyle::Standard:
        break;
    }
    return paginateStandard(counts, tableHead);
}

} // namespace crackdepth::report
