#include "core/document/commands/picking.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

TEST(Picking, NearestSampleTakesTheLaterIndexOnATie) {
    struct Case {
        double time;
        float delay, dt;
        std::int32_t n, expected;
    };
    const Case cases[] = {
        {10.25, 10, 0.5f, 16, 1}, // exactly between samples 0 and 1
        {10.2, 10, 0.5f, 16, 0},  {13.6, 10, 0.5f, 16, 7},
        {-5, 10, 0.5f, 16, 0},    // before the record
        {1000, 10, 0.5f, 16, 15}, // after it
        {12, 10, 0.0f, 16, 0},    // no sampling interval
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nearestSampleIndex(c.time, c.delay, c.dt, c.n), c.expected) << c.time;
    }
}

TEST(Picking, ThePickIsStoredWithoutThePendingCorrection) {
    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    DocumentData loaded;
    loaded.nonCrossingList = std::make_unique<PointList>(testing::makePoints(3));
    loaded.shown = ShownLine::NonCrossing;
    loaded.nonCrossingList->currentIndex = 2;
    loaded.correctionNonCrossing = 1.0f; // two samples at 0.5 us
    doc.Load(std::move(loaded));
    const DocumentData& data = doc.data();
    PickArrival(doc, 40);
    EXPECT_EQ((*data.shownList())[2].arrivalIndex, 38);
    EXPECT_EQ((*data.shownList())[2].amplitudeIndex, 38);
    EXPECT_EQ((*data.shownList())[1].arrivalIndex, 11) << "other points stay";
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.undoable()->name(), "拾取初至");

    PickArrival(doc, 1);
    EXPECT_EQ((*data.shownList())[2].arrivalIndex, 0) << "never before the first sample";
}

} // namespace
} // namespace crackdepth
