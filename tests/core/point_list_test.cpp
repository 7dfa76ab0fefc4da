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
    EXPECT_EQ(list.nextSerial(), 1);
    EXPECT_EQ(list.minDelay, 0.0f);
    EXPECT_EQ(list.PointAt(0), nullptr);
    EXPECT_EQ(list.head(), nullptr);
}

TEST(PointList, AppendMakesIndependentCopiesAndMovesCursor) {
    PointList list = listOf(3);
    EXPECT_EQ(list.pointCount(), 3);
    EXPECT_EQ(list.nextSerial(), 4);
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
        EXPECT_EQ(list.cursorPosition(), cursorAfter) << "index " << c.index;
    }
}

TEST(PointList, RemoveAtRelinksAndPlacesTheCursor) {
    struct Case {
        int count, cursorBefore, remove;
        std::vector<float> remaining; // distances left, in order
        int cursorAfter;
    };
    const Case cases[] = {
        {1, 0, 0, {}, -1},       // the only point: empty, no cursor
        {3, 0, 1, {0, 2}, 1},    // inner: the following point is the cursor
        {3, 0, 2, {0, 1}, 1},    // last: the previous point is last and cursor
        {3, 0, 0, {1, 2}, 0},    // head that was the cursor: the new head
        {3, 2, 0, {1, 2}, 1},    // head while the cursor is further on: same point
        {3, 1, 5, {0, 1, 2}, 1}, // outside the list: nothing happens
        {0, 0, 0, {}, -1},       // empty list: nothing happens
    };
    for (const Case& c : cases) {
        PointList list = listOf(c.count);
        list.PointAt(c.cursorBefore);
        list.RemoveAt(c.remove);
        ASSERT_EQ(list.size(), c.remaining.size());
        for (std::size_t k = 0; k < list.size(); ++k) {
            EXPECT_EQ(list[k].distance, c.remaining[k]);
        }
        EXPECT_EQ(list.cursorPosition(), c.cursorAfter)
            << "count " << c.count << " remove " << c.remove;
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
