#include "report/report_pagination.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace crackdepth::report {
namespace {

// Page counts are ints; a line of 65,535 points takes a few thousand pages, far from the
// limit, but a count read from a damaged file must not overflow the arithmetic.
std::int32_t clampPages(std::int64_t pages) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(pages, std::numeric_limits<std::int32_t>::max() / 2));
}

// Where the next row goes: a page and its page row.
struct Cursor {
    std::int32_t page = 1;
    std::int32_t row = 0;
};

// A block to lay out: rows that open it, its items, and the rows a page it continues onto
// begins with (given the item that follows them there).
struct FlowBlock {
    std::vector<PlannedRow> head;
    std::int64_t points = 0;
    std::int64_t checks = -1;  // rows of its checks block (title not counted); -1: none
    bool checksAsHead = false; // the checks title opens the block (wave-train checks block)
    std::function<std::vector<PlannedRow>(const PlannedRow& next)> repeat;
};

bool isHeading(RowKind kind) {
    return kind == RowKind::ChecksTitle;
}

// The items of a block in order, produced one at a time (a line may have 65,535 points).
class Items {
public:
    explicit Items(const FlowBlock& block) : block_(block) {}
    std::int64_t size() const {
        const std::int64_t checks =
            block_.checks < 0 ? 0 : block_.checks + (block_.checksAsHead ? 0 : 1);
        return block_.points + checks;
    }
    PlannedRow at(std::int64_t i) const {
        if (i < block_.points) {
            return {RowKind::Point, i};
        }
        i -= block_.points;
        if (!block_.checksAsHead) {
            if (i == 0) {
                return {RowKind::ChecksTitle, 0};
            }
            --i;
        }
        return {RowKind::Check, i};
    }

private:
    const FlowBlock& block_;
};

// Lays `block` out from `cursor`: the block moves to a new page unless its head and its first
// item fit, a heading moves on unless the row after it fits too, and every page the block
// continues onto begins with the block's repeated rows. Returns the parts; `cursor` ends on
// the row after the block's last row.
std::vector<BlockPart> layOut(const FlowBlock& block, Cursor& cursor, bool pageStartsAtRow0) {
    const Items items(block);
    const std::int64_t count = items.size();
    const auto needed = [&](std::int64_t i) -> std::int64_t {
        if (i >= count) {
            return 0;
        }
        return isHeading(items.at(i).kind) && i + 1 < count ? 2 : 1;
    };
    std::vector<BlockPart> parts;
    const std::int64_t opening = static_cast<std::int64_t>(block.head.size()) + needed(0);
    if (cursor.row + opening > kBodyRows && pageStartsAtRow0) {
        cursor = {clampPages(std::int64_t{cursor.page} + 1), 0};
    }
    parts.push_back({cursor.page, cursor.row, block.head});
    cursor.row += static_cast<std::int32_t>(block.head.size());
    for (std::int64_t i = 0; i < count; ++i) {
        const PlannedRow item = items.at(i);
        if (cursor.row + needed(i) > kBodyRows) {
            cursor = {clampPages(std::int64_t{cursor.page} + 1), 0};
            parts.push_back({cursor.page, 0, block.repeat(item)});
            cursor.row = static_cast<std::int32_t>(parts.back().rows.size());
        }
        parts.back().rows.push_back(item);
        ++cursor.row;
    }
    return parts;
}

void append(ReportLayout& layout, BlockRef ref, std::vector<BlockPart> parts) {
    const BlockPart& first = parts.front();
    const BlockPart& last = parts.back();
    layout.startPage.push_back(first.page);
    layout.startRow.push_back(first.firstRow + 1);
    layout.endPage.push_back(last.page);
    layout.endRow.push_back(last.firstRow + static_cast<std::int32_t>(last.rows.size()));
    layout.pageCount = std::max(layout.pageCount, last.page);
    layout.blocks.push_back(ref);
    layout.parts.push_back(std::move(parts));
}

// A continued crack table: the crack's name, and the column headings when points follow.
std::vector<PlannedRow> repeatNameAndHeads(const PlannedRow& next) {
    if (next.kind == RowKind::Point) {
        return {{RowKind::Name, 0}, {RowKind::ColumnHeads, 0}};
    }
    return {{RowKind::Name, 0}};
}

std::int64_t checksOf(const LineCounts& counts, std::size_t crack) {
    return crack < counts.checks.size() ? std::max<std::int64_t>(counts.checks[crack], 1) : -1;
}

// The next block begins one blank row below the last one.
void skipBlankRow(Cursor& cursor) {
    cursor.row += 1;
    if (cursor.row >= kBodyRows) {
        cursor = {clampPages(std::int64_t{cursor.page} + 1), 0};
    }
}

ReportLayout paginateStandard(const LineCounts& counts, bool tableHead) {
    ReportLayout layout;
    std::int32_t page = 0;
    for (std::size_t i = 0; i < counts.crossing.size(); ++i) {
        FlowBlock block;
        block.points = reportRowsOf(counts.crossing[i], counts.nonCrossing);
        block.checks = checksOf(counts, i);
        block.repeat = repeatNameAndHeads;
        // The first page's rows below its column headings; the form above them is fixed.
        Cursor cursor{clampPages(std::int64_t{page} + 1), standardHeadingRow(tableHead) + 1};
        std::vector<BlockPart> parts = layOut(block, cursor, false);
        page = parts.back().page;
        append(layout, {i, false}, std::move(parts));
    }
    return layout;
}

ReportLayout paginateSimple(const LineCounts& counts) {
    ReportLayout layout;
    Cursor cursor;
    for (std::size_t i = 0; i < counts.crossing.size(); ++i) {
        FlowBlock block;
        for (std::int64_t row = 1; row <= kSimpleHeadingRows; ++row) {
            block.head.push_back({RowKind::Head, row});
        }
        block.points = reportRowsOf(counts.crossing[i], counts.nonCrossing);
        block.checks = checksOf(counts, i);
        block.repeat = repeatNameAndHeads;
        append(layout, {i, false}, layOut(block, cursor, true));
        skipBlankRow(cursor);
    }
    return layout;
}

// Blocks of a title row and one row per point, the title repeated on every page; each crack's
// checks follow its crossing line as a block of their own.
ReportLayout paginateWaveTrain(const LineCounts& counts) {
    ReportLayout layout;
    Cursor cursor;
    std::vector<std::int64_t> lines{counts.nonCrossing};
    lines.insert(lines.end(), counts.crossing.begin(), counts.crossing.end());
    for (std::size_t j = 0; j < lines.size(); ++j) {
        FlowBlock line;
        line.head = {{RowKind::Head, 1}};
        line.points = std::max<std::int64_t>(lines[j], 0);
        line.repeat = [](const PlannedRow&) { return std::vector<PlannedRow>{{RowKind::Name, 0}}; };
        append(layout, {j, false}, layOut(line, cursor, true));
        skipBlankRow(cursor);
        const std::int64_t checks = j == 0 ? -1 : checksOf(counts, j - 1);
        if (checks >= 0) {
            FlowBlock block;
            block.head = {{RowKind::ChecksTitle, 0}};
            block.checks = checks;
            block.checksAsHead = true;
            block.repeat = [](const PlannedRow&) {
                return std::vector<PlannedRow>{{RowKind::ChecksTitle, 0}};
            };
            append(layout, {j, true}, layOut(block, cursor, true));
            skipBlankRow(cursor);
        }
    }
    return layout;
}

} // namespace

std::int32_t standardFirstPageRows(bool tableHead) {
    return tableHead ? 10 : 19;
}

std::int32_t standardHeadingRow(bool tableHead) {
    return kBodyRows - 1 - standardFirstPageRows(tableHead);
}

std::int64_t reportRowsOf(std::int64_t crossing, std::int64_t nonCrossing) {
    return std::max<std::int64_t>({crossing, nonCrossing, 0});
}

const BlockPart* ReportLayout::partOn(std::size_t block, std::int32_t page) const {
    if (block >= parts.size()) {
        return nullptr;
    }
    const std::vector<BlockPart>& list = parts[block];
    const auto found =
        std::lower_bound(list.begin(), list.end(), page,
                         [](const BlockPart& p, std::int32_t n) { return p.page < n; });
    return found != list.end() && found->page == page ? &*found : nullptr;
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
