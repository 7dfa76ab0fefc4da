// Where the report's lines fall onto pages: the page counts of the three styles, and for the
// styles whose blocks flow down the page, that every row of every block is drawn exactly once
// and inside the body, however long the lines are.
#include "report/report_pagination.h"

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
        {10, {10}, true, 1, {1}},       // ten points fit the first page
        {10, {11}, true, 2, {1}},       // the eleventh goes to row 0 of page 2
        {10, {30}, true, 2, {1}},       //
        {10, {31}, true, 2, {1}},       //
        {10, {40}, true, 2, {1}},       // 10 + 30
        {10, {41}, true, 3, {1}},       // the 41st point opens page 3
        {10, {19}, false, 1, {1}},      // without the table head the first page holds 19
        {10, {20}, false, 2, {1}},      //
        {10, {8, 8}, true, 2, {1, 2}},  // two cracks, each on its own page
        {41, {8, 12}, true, 6, {1, 4}}, // the longer non-crossing line sets the rows
        {10, {}, true, 0, {}},          // no crossing line: nothing to report
        {0, {65535}, true, 2186, {1}},  // 1 + ceil(65525 / 30)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.nonCrossing << " / " << c.crossing.size());
        const ReportLayout layout =
            PaginateReport(ReportStyle::Standard, {c.nonCrossing, c.crossing}, c.tableHead);
        EXPECT_EQ(layout.pageCount, c.pages);
        EXPECT_EQ(layout.startPage, c.startPages);
    }
}

TEST(ReportPagination, SimpleAndWaveTrainBlocksFollowOneAnother) {
    // Cracks of 10 and 8 points beside a non-crossing line of 10: the first simple block takes
    // rows 0 … 14, a blank row, and the second begins with its heading in row 16, running on
    // into row 0 of page 2.
    const ReportLayout simple = PaginateReport(ReportStyle::Simple, {10, {10, 8}}, true);
    EXPECT_EQ(simple.startPage, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(simple.startRow, (std::vector<std::int32_t>{1, 17}));
    EXPECT_EQ(simple.endPage, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(simple.endRow, (std::vector<std::int32_t>{15, 1}));
    EXPECT_EQ(simple.pageCount, 2);

    // A non-crossing line of 10 points: its title in row 0, points in rows 1 … 10; the first
    // crossing line's title in row 12.
    const ReportLayout train = PaginateReport(ReportStyle::WaveTrain, {10, {9, 28}}, true);
    EXPECT_EQ(train.startPage, (std::vector<std::int32_t>{1, 1, 1}));
    EXPECT_EQ(train.startRow, (std::vector<std::int32_t>{1, 13, 24}));
    EXPECT_EQ(train.endRow, (std::vector<std::int32_t>{11, 22, 23}));
    EXPECT_EQ(train.endPage, (std::vector<std::int32_t>{1, 1, 2}));
}

// The rows the page drawing gives each block row, page by page: block row
// offset + r − (first − 1) in page rows first − 1 ≤ r < last. Wave-train blocks draw their
// points below the title: points offset − 1 … last + offset − first − 2.
struct Drawn {
    std::map<std::int64_t, int> times; // block row (or point) → how often it is drawn
    bool outside = false;              // a row below the body
};

Drawn drawnRows(const ReportLayout& layout, std::size_t block, std::int32_t continuedRows,
                bool points) {
    Drawn drawn;
    for (std::int32_t page = layout.startPage[block]; page <= layout.endPage[block]; ++page) {
        const BlockRows rows = blockRowsOn(layout, block, page, continuedRows);
        drawn.outside = drawn.outside || rows.last > 30 || rows.first < 1;
        const std::int64_t from = points ? rows.offset - 1 : rows.offset;
        const std::int64_t to = points ? rows.last + rows.offset - rows.first - 2
                                       : rows.offset + rows.last - rows.first;
        for (std::int64_t row = from; row <= to; ++row) {
            ++drawn.times[row];
        }
    }
    return drawn;
}

Drawn simpleRows(const ReportLayout& layout, std::size_t block) {
    return drawnRows(layout, block, 30, false);
}
Drawn trainPoints(const ReportLayout& layout, std::size_t block) {
    return drawnRows(layout, block, 29, true);
}

void expectEachOnce(const Drawn& drawn, std::int64_t from, std::int64_t to) {
    EXPECT_FALSE(drawn.outside);
    ASSERT_EQ(static_cast<std::int64_t>(drawn.times.size()), to - from + 1);
    EXPECT_EQ(drawn.times.begin()->first, from);
    EXPECT_EQ(drawn.times.rbegin()->first, to);
    for (const auto& [row, times] : drawn.times) {
        ASSERT_EQ(times, 1) << "row " << row;
    }
}

// Lengths around every page boundary (a line of 55 points, say, ends exactly on a page: the
// arithmetic that counts 31 rows a page lost its second page of rows).
TEST(ReportPagination, EveryRowOfAFlowingBlockIsDrawnOnceInsideTheBody) {
    for (std::int64_t nonCrossing : {0, 6, 24, 25, 26, 55, 56, 84}) {
        for (std::int64_t crossing = 0; crossing <= 120; ++crossing) {
            SCOPED_TRACE(::testing::Message() << nonCrossing << " / " << crossing);
            const LineCounts counts{nonCrossing, {crossing, 3, crossing}};
            const ReportLayout simple = PaginateReport(ReportStyle::Simple, counts, true);
            for (std::size_t block = 0; block < 3; ++block) {
                const std::int64_t rows =
                    reportRowsOf(counts.crossing[block], nonCrossing) + kSimpleHeadingRows;
                expectEachOnce(simpleRows(simple, block), 1, rows);
            }
            EXPECT_EQ(simple.pageCount, simple.endPage.back());

            const ReportLayout train = PaginateReport(ReportStyle::WaveTrain, counts, true);
            std::vector<std::int64_t> points{nonCrossing};
            points.insert(points.end(), counts.crossing.begin(), counts.crossing.end());
            for (std::size_t block = 0; block < points.size(); ++block) {
                if (points[block] > 0) {
                    expectEachOnce(trainPoints(train, block), 0, points[block] - 1);
                }
            }
            // Blocks never overlap: each begins after the one before it ends.
            for (std::size_t block = 1; block < points.size(); ++block) {
                const auto before =
                    std::make_pair(train.endPage[block - 1], train.endRow[block - 1]);
                const auto title =
                    std::make_pair(train.startPage[block], train.startRow[block] - 1);
                EXPECT_LT(before, title);
            }
        }
    }
}

TEST(ReportPagination, AMaximalLineStaysWithinTheBody) {
    const LineCounts counts{65535, {65535}};
    const ReportLayout train = PaginateReport(ReportStyle::WaveTrain, counts, true);
    expectEachOnce(trainPoints(train, 1), 0, 65534);
    const ReportLayout simple = PaginateReport(ReportStyle::Simple, counts, true);
    expectEachOnce(simpleRows(simple, 0), 1, 65535 + 5);
}

} // namespace
} // namespace crackdepth::report
