#include "core/data/point_list.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

PointList listOf(int count) {
    PointList list;
    list.sampleCount = 4;
    for (int k = 0; k < count; ++k) {
        const std::vector<Sample> samples(4, static_cast<Sample>(k));
        EXPECT_TRUE(list.Append(samples, static_cast<float>(k)));
    }
    return list;
}

TEST(PointList, NewListDefaults) {
    PointList list;
    EXPECT_EQ(list.pointCount(), 0);
    EXPECT_EQ(list.sampleCount, 512);
    EXPECT_EQ(list.minDelay, 0.0f);
    EXPECT_EQ(list.PointAt(0), nullptr);
    EXPECT_EQ(list.cursor(), nullptr);
}

TEST(PointList, AppendMakesIndependentCopiesAndMovesCursor) {
    PointList list = listOf(3);
    EXPECT_EQ(list.pointCount(), 3);
    EXPECT_EQ(list.cursor(), &list[2]);
    list[0].samples[0] = 999;
    EXPECT_EQ(list[0].originalSamples[0], 0);

    const std::vector<Sample> tooShort(3, 0);
    EXPECT_FALSE(list.Append(tooShort, 1.0f));
    EXPECT_FALSE(list.Append({}, 1.0f));
    EXPECT_EQ(list.pointCount(), 3);
}

TEST(PointList, PointAtFollowsTheCursorRules) {
    struct Case {
        int index;
        int cursorBefore; // position the cursor is moved to first
        int expected;     // position of the returned point, which is the cursor afterwards
    };
    const Case cases[] = {
        {-1, 1, 0},                                  // the head, cursor unchanged
        {0, 2, 0},  {1, 0, 1}, {2, 0, 2}, {3, 0, 2}, // index = pointCount yields the last point
        {7, 1, 1},                                   // beyond: the cursor unchanged
    };
    for (const Case& c : cases) {
        PointList list = listOf(3);
        list.PointAt(c.cursorBefore);
        MeasuringPoint* point = list.PointAt(c.index);
        EXPECT_EQ(point, &list[static_cast<std::size_t>(c.expected)]) << "index " << c.index;
        const int cursorAfter = c.index < 0 ? c.cursorBefore : c.expected;
        EXPECT_EQ(list.cursor(), &list[static_cast<std::size_t>(cursorAfter)])
            << "index " << c.index;
    }
}

// Taking a point out and putting it back (a deletion and its undo) gives the same line, the
// very point object included, at any place.
TEST(PointList, TakeAtAndInsertAtAreInverse) {
    for (const std::size_t at : {0u, 1u, 2u}) {
        PointList list = listOf(3);
        const MeasuringPoint* address = &list[at];
        std::unique_ptr<MeasuringPoint> taken = list.TakeAt(at);
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(taken.get(), address);
        EXPECT_NE(list.cursor(), nullptr) << "the cursor stays inside the line";
        list.InsertAt(at, std::move(taken));
        ASSERT_EQ(list.size(), 3u);
        EXPECT_EQ(&list[at], address);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(list[k].distance, static_cast<float>(k)) << "at " << at;
        }
    }
}

TEST(PointList, MinDelayStartsFromTheHead) {
    PointList list = listOf(3);
    EXPECT_EQ(list.computeMinDelay(), 0.0f);
    list[0].delay = 5;
    list[1].delay = 7;
    list[2].delay = 3;
    EXPECT_EQ(list.computeMinDelay(), 3.0f);
    list[2].delay = 9;
    EXPECT_EQ(list.computeMinDelay(), 5.0f);
}

} // namespace
} // namespace crackdepth
