// Where the report's lines fall onto pages: the page counts of the three styles, and that every
// row of every block is drawn exactly once and inside the body, a continued block repeating its
// name (and the column headings where points follow) and no heading ending a page, however
// long the lines and their checks are.
#include "report/report_pagination.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <utility>

namespace crackdepth::report {
namespace {

TEST(ReportPagination, StandardStyleStartsEveryCrackOnAPageOfItsOwn) {
    const struct {
        std::int64_t nonCrossing;
        std::vector<std::int64_t> crossing;
        bool tableHead;
        std::int32_t pages;
        std::vector<std::int32_t> startPages;
    } cases[] = {
        // A continuation page repeats the crack's name and the column headings above its
        // points: 28 points a page after the first page's 10 (19 without the table head).
        {10, {10}, true, 1, {1}},       // ten points fit the first page
        {10, {11}, true, 2, {1}},       // the eleventh goes to row 2 of page 2
        {10, {30}, true, 2, {1}},       //
        {10, {38}, true, 2, {1}},       // 10 + 28
        {10, {39}, true, 3, {1}},       // the 39th point opens page 3
        {10, {41}, true, 3, {1}},       //
        {10, {19}, false, 1, {1}},      // without the table head the first page holds 19
        {10, {20}, false, 2, {1}},      //
        {10, {8, 8}, true, 2, {1, 2}},  // two cracks, each on its own page
        {41, {8, 12}, true, 6, {1, 4}}, // the longer non-crossing line sets the rows
        {10, {}, true, 0, {}},          // no crossing line: nothing to report
        {0, {65535}, true, 2342, {1}},  // 1 + ceil(65525 / 28)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.nonCrossing << " / " << c.crossing.size());
        const ReportLayout layout =
            PaginateReport(ReportStyle::Standard, {c.nonCrossing, c.crossing, {}}, c.tableHead);
        EXPECT_EQ(layout.pageCount, c.pages);
        EXPECT_EQ(layout.startPage, c.startPages);
    }
}

TEST(ReportPagination, SimpleAndWaveTrainBlocksFollowOneAnother) {
    // Cracks of 10 and 8 points beside a non-crossing line of 10: the first simple block takes
    // rows 0 … 14, a blank row, and the second begins with its heading in row 16, running on
    // into page 2 below its repeated name and column headings.
    const ReportLayout simple = PaginateReport(ReportStyle::Simple, {10, {10, 8}, {}}, true);
    EXPECT_EQ(simple.startPage, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(simple.startRow, (std::vector<std::int32_t>{1, 17}));
    EXPECT_EQ(simple.endPage, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(simple.endRow, (std::vector<std::int32_t>{15, 3}));
    EXPECT_EQ(simple.pageCount, 2);
    ASSERT_EQ(simple.parts[1].size(), 2u);
    EXPECT_EQ(simple.parts[1][1].rows,
              (std::vector<PlannedRow>{
                  {RowKind::Name, 0}, {RowKind::ColumnHeads, 0}, {RowKind::Point, 9}}));
    // A block whose heading and first point do not fit below the last one starts a page.
    const ReportLayout moved = PaginateReport(ReportStyle::Simple, {1, {20, 1}, {}}, true);
    EXPECT_EQ(moved.startPage, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(moved.startRow, (std::vector<std::int32_t>{1, 1}));

    // A non-crossing line of 10 points: its title in row 0, points in rows 1 … 10; the first
    // crossing line's title in row 12.
    const ReportLayout train = PaginateReport(ReportStyle::WaveTrain, {10, {9, 28}, {}}, true);
    EXPECT_EQ(train.startPage, (std::vector<std::int32_t>{1, 1, 1}));
    EXPECT_EQ(train.startRow, (std::vector<std::int32_t>{1, 13, 24}));
    EXPECT_EQ(train.endRow, (std::vector<std::int32_t>{11, 22, 23}));
    EXPECT_EQ(train.endPage, (std::vector<std::int32_t>{1, 1, 2}));
}

// Every block's rows as the page drawing shows them: each point and each check once, inside
// the body; each page a block continues onto begins with its name (the title in the wave-train
// style), then the column headings when points follow; no heading ends a page while the block
// goes on; the blocks of a page do not overlap.
void expectWellLaidOut(ReportStyle style, const LineCounts& counts) {
    const ReportLayout layout = PaginateReport(style, counts, true);
    std::map<std::int32_t, std::vector<std::pair<std::int32_t, std::int32_t>>> used;
    for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
        SCOPED_TRACE(::testing::Message() << "block " << b);
        const BlockRef ref = layout.blocks[b];
        std::int64_t points = 0;
        std::int64_t checks = -1;
        if (style == ReportStyle::WaveTrain) {
            const std::int64_t line =
                ref.line == 0 ? counts.nonCrossing : counts.crossing[ref.line - 1];
            points = ref.checks ? 0 : line;
            checks = ref.checks ? std::max<std::int64_t>(1, counts.checks[ref.line - 1]) : -1;
        } else {
            points = reportRowsOf(counts.crossing[ref.line], counts.nonCrossing);
            checks =
                counts.checks.empty() ? -1 : std::max<std::int64_t>(1, counts.checks[ref.line]);
        }
        std::vector<PlannedRow> items; // the rows that are no repetition, in order
        const std::vector<BlockPart>& parts = layout.parts[b];
        for (std::size_t p = 0; p < parts.size(); ++p) {
            const BlockPart& part = parts[p];
            const auto size = static_cast<std::int32_t>(part.rows.size());
            ASSERT_GE(part.firstRow, 0);
            ASSERT_LE(part.firstRow + size, 30);
            used[part.page].push_back({part.firstRow, part.firstRow + size});
            std::size_t r = 0;
            if (p > 0) {
                ASSERT_GE(part.rows.size(), 2u);
                EXPECT_EQ(part.rows[0].kind, ref.checks ? RowKind::ChecksTitle : RowKind::Name);
                r = 1;
                if (part.rows[1].kind == RowKind::ColumnHeads) {
                    EXPECT_EQ(part.rows[2].kind, RowKind::Point);
                    r = 2;
                } else if (style != ReportStyle::WaveTrain) {
                    EXPECT_NE(part.rows[1].kind, RowKind::Point) << "points without headings";
                }
            }
            if (p + 1 < parts.size()) {
                const RowKind last = part.rows.back().kind;
                EXPECT_TRUE(last == RowKind::Point || last == RowKind::Check)
                    << "a heading ends page " << part.page;
                EXPECT_EQ(parts[p + 1].page, part.page + 1);
            }
            for (; r < part.rows.size(); ++r) {
                if (part.rows[r].kind != RowKind::Head) {
                    items.push_back(part.rows[r]);
                }
            }
        }
        std::vector<PlannedRow> expected;
        for (std::int64_t k = 0; k < points; ++k) {
            expected.push_back({RowKind::Point, k});
        }
        if (checks >= 0) {
            if (style != ReportStyle::WaveTrain) {
                expected.push_back({RowKind::ChecksTitle, 0});
            }
            for (std::int64_t k = 0; k < checks; ++k) {
                expected.push_back({RowKind::Check, k});
            }
        }
        if (style == ReportStyle::WaveTrain && ref.checks) {
            items.erase(items.begin()); // the block's own title
        }
        ASSERT_EQ(items, expected);
    }
    for (auto& [page, spans] : used) {
        std::sort(spans.begin(), spans.end());
        for (std::size_t k = 1; k < spans.size(); ++k) {
            EXPECT_LE(spans[k - 1].second, spans[k].first) << "blocks overlap on page " << page;
        }
    }
    EXPECT_EQ(layout.pageCount, layout.endPage.empty() ? 0 : layout.endPage.back());
}

// Lengths around every page boundary (a line of 55 points, say, ends exactly on a page: the
// arithmetic that counts 31 rows a page lost its second page of rows), with and without checks.
TEST(ReportPagination, EveryRowOfEveryBlockIsDrawnOnceInsideTheBody) {
    for (std::int64_t nonCrossing : {0, 6, 24, 25, 26, 55, 56, 84}) {
        for (std::int64_t crossing = 0; crossing <= 120; ++crossing) {
            for (const bool checks : {false, true}) {
                SCOPED_TRACE(::testing::Message()
                             << nonCrossing << " / " << crossing << (checks ? " checks" : ""));
                LineCounts counts{nonCrossing, {crossing, 3, crossing}, {}};
                if (checks) {
                    counts.checks = {crossing % 7, 1, 40};
                }
                for (const ReportStyle style :
                     {ReportStyle::Standard, ReportStyle::Simple, ReportStyle::WaveTrain}) {
                    expectWellLaidOut(style, counts);
                    if (::testing::Test::HasFatalFailure()) {
                        return;
                    }
                }
            }
        }
    }
}

TEST(ReportPagination, AMaximalLineStaysWithinTheBody) {
    const LineCounts counts{65535, {65535}, {5}};
    for (const ReportStyle style :
         {ReportStyle::Standard, ReportStyle::Simple, ReportStyle::WaveTrain}) {
        expectWellLaidOut(style, counts);
    }
}

} // namespace
} // namespace crackdepth::report
