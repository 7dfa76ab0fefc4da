#include "core/document/commands/waveform_commands.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/model/view_state.h"
#include "core/signal/filter.h"
#include "document_support.h"
#include "test_support.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace crackdepth {
namespace {

using testing::EventLog;
using testing::makePoints;

constexpr std::int32_t kSamples = 64;
constexpr float kDt = 0.5f;

// A document showing a non-crossing line of `count` points with its current point at 1;
// `prepare` changes the data before the document takes them.
struct Bench {
    explicit Bench(std::int32_t count = 5, std::function<void(DocumentData&)> prepare = {}) {
        DocumentData data;
        data.nonCrossingList = std::make_unique<PointList>(makePoints(count, kSamples, kDt));
        data.nonCrossingParameters.sampleCount = kSamples;
        data.shown = ShownLine::NonCrossing;
        data.nonCrossingList->currentIndex = count > 1 ? 1 : 0;
        if (prepare) {
            prepare(data);
        }
        doc.Load(std::move(data));
        doc.addListener(&log);
    }
    ~Bench() { doc.removeListener(&log); }
    const PointList& line() const { return *doc.data().nonCrossingList; }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    EventLog log;
};

using Messages = std::vector<std::string>;

TEST(RefilterCurrentPoint, FiltersFromTheBackupAndRecordsTheSettingsInThePoint) {
    std::vector<Sample> original(kSamples);
    for (std::size_t i = 0; i < original.size(); ++i) {
        original[i] = static_cast<Sample>(2048 + ((i / 4) % 2 == 0 ? 600 : -600));
    }
    Bench bench(5, [&](DocumentData& data) {
        MeasuringPoint& point = (*data.nonCrossingList)[1];
        point.originalSamples = original;
        point.samples.assign(kSamples, 7); // stale working waveform: must not be the start
        point.record.setPrevHighPassCut(3.0f);
    });
    const MeasuringPoint& point = bench.line()[1];
    const std::vector<Sample> untouched = bench.line()[2].samples;

    RefilterCurrentPoint(bench.doc,
                         {.highCut = 12.5f, .lowCut = 300, .highOn = true, .lowOn = true});

    std::vector<Sample> expected(kSamples);
    FilterWaveform(original, expected, kDt, true, 12500.0f, true, 300000.0f);
    EXPECT_EQ(point.samples, expected);
    EXPECT_NE(point.samples, original);
    EXPECT_EQ(point.originalSamples, original);
    EXPECT_EQ(point.record.highPassOn(), 1.0f);
    EXPECT_EQ(point.record.lowPassOn(), 1.0f);
    EXPECT_EQ(point.record.highPassCut(), 12.5f);
    EXPECT_EQ(point.record.lowPassCut(), 300.0f);
    EXPECT_EQ(point.record.prevHighPassCut(), 3.0f);
    EXPECT_EQ(bench.line()[2].samples, untouched);
    EXPECT_TRUE(bench.doc.IsModified());
    EXPECT_EQ(bench.doc.undoable()->name(), "滤波");

    // Filtering never accumulates: with both switches off the backup comes back.
    RefilterCurrentPoint(bench.doc, {.highCut = 12.5f, .lowCut = 300});
    EXPECT_EQ(point.samples, original);
    EXPECT_EQ(point.record.highPassOn(), 0.0f);
    EXPECT_EQ(point.record.lowPassOn(), 0.0f);
}

// The point records how it was filtered, so the read-outs can state the delay its trace
// carries: the one-way low-pass delays a 50 kHz trace by about a quarter period of its
// cut-off, the zero-phase filter (switch value 2, still "on" to any reader) not at all.
TEST(RefilterCurrentPoint, RecordsZeroPhaseAndTheDelayFollows) {
    std::vector<Sample> original(kSamples);
    for (std::size_t i = 0; i < original.size(); ++i) {
        const double t = static_cast<double>(i) * kDt * 1e-6;
        original[i] = static_cast<Sample>(2048 + std::lround(800 * std::sin(2e5 * 3.14159265 * t)));
    }
    Bench bench(5, [&](DocumentData& data) {
        (*data.nonCrossingList)[1].originalSamples = original;
        (*data.nonCrossingList)[1].samples = original;
    });
    const MeasuringPoint& point = bench.line()[1];
    EXPECT_FALSE(pointFilterDelayUs(point, kSamples).has_value()) << "not filtered";

    FilterSettings lowPass{.lowCut = 100, .lowOn = true};
    RefilterCurrentPoint(bench.doc, lowPass);
    EXPECT_EQ(point.record.lowPassOn(), 1.0f);
    const auto oneWay = pointFilterDelayUs(point, kSamples);
    ASSERT_TRUE(oneWay.has_value());
    EXPECT_NEAR(*oneWay, 2.5f, 0.5f);

    lowPass.zeroPhase = true;
    RefilterCurrentPoint(bench.doc, lowPass);
    std::vector<Sample> expected(kSamples);
    FilterWaveform(original, expected, kDt, false, 0, true, 100000.0f, true);
    EXPECT_EQ(point.samples, expected);
    EXPECT_EQ(point.record.lowPassOn(), kZeroPhaseFilterFlag);
    EXPECT_EQ(point.record.highPassOn(), 0.0f);
    EXPECT_EQ(pointFilterDelayUs(point, kSamples), 0.0f);
}

TEST(RefilterCurrentPoint, WithoutAPointChangesNothing) {
    Bench empty(0);
    RefilterCurrentPoint(empty.doc, {.lowCut = 100, .lowOn = true});
    InvertCurrentPoint(empty.doc);
    EXPECT_FALSE(empty.doc.IsModified());
    EXPECT_EQ(empty.doc.undoable(), nullptr);
    EXPECT_TRUE(empty.log.changes.empty());
}

TEST(InvertCurrentPoint, InvertsBothWaveformsAboutTheZeroLine) {
    struct Case {
        Sample working, backup;
        Sample invertedWorking, invertedBackup;
    };
    const Case cases[] = {
        {1000, 1000, 3096, 3096}, {2048, 3000, 2048, 1096}, {4096, 0, 0, 4096},
        {4100, 1000, 0, 0},       {1000, 4100, 3096, 0}, // a backup above full scale is cleared too
    };
    Bench bench(5, [&](DocumentData& data) {
        MeasuringPoint& point = (*data.nonCrossingList)[1];
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            point.samples[i] = cases[i].working;
            point.originalSamples[i] = cases[i].backup;
        }
    });
    const MeasuringPoint& point = bench.line()[1];
    const std::vector<Sample> tail(point.samples.begin() + std::size(cases), point.samples.end());

    InvertCurrentPoint(bench.doc);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(point.samples[i], cases[i].invertedWorking);
        EXPECT_EQ(point.originalSamples[i], cases[i].invertedBackup);
    }
    ASSERT_EQ(bench.log.changes.size(), 1u);
    EXPECT_TRUE(bench.log.changes[0].has(DocumentChange::Data));
    EXPECT_EQ(bench.log.changes[0].point, 1);
    EXPECT_TRUE(bench.doc.IsModified()) << "an inversion is an edit to save";

    // Twice restores every sample that never exceeded full scale.
    InvertCurrentPoint(bench.doc);
    EXPECT_EQ(point.samples[0], 1000);
    EXPECT_EQ(point.originalSamples[1], 3000);
    EXPECT_EQ(point.samples[2], 4096);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), point.samples.begin() + std::size(cases)));
}

TEST(PointStepping, MovesTheCurrentPointWithAMessageAtEitherEnd) {
    struct Case {
        bool next;
        std::int32_t count, index, expected;
        Messages messages;
    };
    const Case cases[] = {
        {false, 5, 0, 0, {kFirstPointMessage}},
        {false, 5, 3, 2, {}},
        {false, 5, 5, 0, {}}, // outside the line: back to the first point
        {false, 5, -2, 0, {}},
        {true, 5, 4, 4, {kLastPointMessage}},
        {true, 5, 2, 3, {}},
        {true, 5, -1, 0, {}},
        {true, 5, 9, 0, {}},
        {true, 1, 0, 0, {kLastPointMessage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.next ? "next" : "previous") + " from " +
                     std::to_string(c.index));
        Bench bench(c.count,
                    [&](DocumentData& data) { data.nonCrossingList->currentIndex = c.index; });
        (c.next ? NextPoint : PreviousPoint)(bench.doc);
        EXPECT_EQ(bench.line().currentIndex, c.expected);
        EXPECT_EQ(bench.prompts.messages(), c.messages);
        EXPECT_EQ(bench.log.saw(DocumentChange::Selection), c.messages.empty());
        EXPECT_FALSE(bench.log.saw(DocumentChange::Data));
        EXPECT_FALSE(bench.doc.IsModified());
    }
}

TEST(PointStepping, DoesNothingWithoutAShownLine) {
    Bench bench(5, [](DocumentData& data) { data.shown = ShownLine::None; });
    ViewState view;
    PreviousPoint(bench.doc);
    NextPoint(bench.doc);
    ToggleTimeDomain(view, bench.doc.data());
    EXPECT_TRUE(bench.prompts.shown.empty());
    EXPECT_TRUE(bench.log.changes.empty());
    EXPECT_TRUE(view.timeDomain);
}

TEST(DisplaySwitches, WaveTrainModeDependsOnTheTabAndTogglesBack) {
    struct Case {
        std::int32_t tab, before, after;
    };
    const Case cases[] = {{0, 0, 2}, {0, 2, 0}, {0, 1, 0}, {2, 0, 1}, {2, 1, 0}, {1, 2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.tab) + "/" + std::to_string(c.before));
        DocumentData data;
        data.currentTab = c.tab;
        ViewState view;
        view.waveTrainMode = c.before;
        ToggleWaveTrain(view, data);
        EXPECT_EQ(view.waveTrainMode, c.after);
    }
}

TEST(DisplaySwitches, TimeDomainTogglesTheViewOnly) {
    Bench bench;
    ViewState view;
    const std::vector<std::uint8_t> before = testing::serialise(bench.doc.data());
    ToggleTimeDomain(view, bench.doc.data());
    EXPECT_FALSE(view.timeDomain);
    ToggleTimeDomain(view, bench.doc.data());
    EXPECT_TRUE(view.timeDomain);
    EXPECT_TRUE(bench.log.changes.empty());
    EXPECT_EQ(testing::serialise(bench.doc.data()), before);
}

TEST(ArrowHotKeys, UpAndDownStepThroughTheLineAndSwapInAWaveTrain) {
    struct Case {
        ArrowHotKey key;
        std::int32_t mode, from, to;
    };
    const Case cases[] = {
        {ArrowHotKey::Up, 0, 2, 1},   {ArrowHotKey::Up, 0, 0, 0},   {ArrowHotKey::Down, 0, 2, 3},
        {ArrowHotKey::Down, 0, 4, 4}, {ArrowHotKey::Up, 2, 2, 3},   {ArrowHotKey::Up, 1, 4, 4},
        {ArrowHotKey::Down, 1, 2, 1}, {ArrowHotKey::Down, 2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.key)) + " mode " + std::to_string(c.mode) +
                     " from " + std::to_string(c.from));
        Bench bench(5, [&](DocumentData& data) { data.nonCrossingList->currentIndex = c.from; });
        ViewState view;
        view.waveTrainMode = c.mode;
        const HotKeyOutcome outcome = ApplyArrowHotKey(bench.doc, c.key, true, view);
        EXPECT_TRUE(outcome.acted);
        EXPECT_EQ(bench.line().currentIndex, c.to);
        EXPECT_EQ(outcome.tableRow, c.to + 1);
        EXPECT_FALSE(bench.log.saw(DocumentChange::Data));
        EXPECT_FALSE(bench.doc.IsModified());
    }
}

TEST(ArrowHotKeys, MoveTheArrivalAndTheTimeShiftWithinTheirLimitsAsEdits) {
    struct Case {
        ArrowHotKey key;
        std::int32_t arrival;
        float shift;
        std::int32_t expectedArrival;
        float expectedShift;
        const char* edit; // none: nothing changed
    };
    const Case cases[] = {
        {ArrowHotKey::Left, 10, 0, 9, 0, kMoveArrivalName},
        {ArrowHotKey::Left, 0, 0, 0, 0, nullptr},
        {ArrowHotKey::Right, kSamples - 1, 0, kSamples, 0,
         kMoveArrivalName}, // the count itself is allowed
        {ArrowHotKey::Right, kSamples, 0, kSamples, 0, nullptr},
        {ArrowHotKey::CtrlLeft, 10, 1.0f, 10, 0.5f, kShiftTimeName},
        {ArrowHotKey::CtrlRight, 10, 1.0f, 10, 1.5f, kShiftTimeName},
        {ArrowHotKey::CtrlRight, 10, 199.75f, 10, 200.0f, kShiftTimeName},
        {ArrowHotKey::CtrlLeft, 10, -199.75f, 10, -200.0f, kShiftTimeName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.key)) + " at " + std::to_string(c.arrival) +
                     "/" + std::to_string(c.shift));
        Bench bench(5, [&](DocumentData& data) {
            MeasuringPoint& point = (*data.nonCrossingList)[1];
            point.arrivalIndex = c.arrival;
            point.amplitudeIndex = c.arrival;
            point.timeShift = c.shift;
        });
        const MeasuringPoint& point = bench.line()[1];
        const HotKeyOutcome outcome = ApplyArrowHotKey(bench.doc, c.key, true, ViewState{});
        EXPECT_TRUE(outcome.acted);
        EXPECT_FALSE(outcome.tableRow.has_value());
        EXPECT_EQ(point.arrivalIndex, c.expectedArrival);
        EXPECT_FLOAT_EQ(point.timeShift, c.expectedShift);
        EXPECT_EQ(bench.line().currentIndex, 1);
        EXPECT_EQ(bench.doc.IsModified(), c.edit != nullptr) << "a re-pick is saved or asked for";
        if (c.edit != nullptr) {
            EXPECT_EQ(bench.doc.undoable()->name(), c.edit);
        }
        const bool arrivalKey = c.key == ArrowHotKey::Left || c.key == ArrowHotKey::Right;
        if (arrivalKey && c.edit != nullptr) {
            EXPECT_EQ(point.amplitudeIndex, point.arrivalIndex)
                << "the amplitude is read at the arrival, as after a click";
        }
    }
}

TEST(ArrowHotKeys, SuccessivePressesOnOnePointAreOneEdit) {
    Bench bench;
    const std::vector<std::uint8_t> before = testing::serialise(bench.doc.data());
    for (int press = 0; press < 6; ++press) {
        ApplyArrowHotKey(bench.doc, ArrowHotKey::Right, true, ViewState{});
    }
    EXPECT_EQ(bench.line()[1].arrivalIndex, 11 + 6);
    bench.doc.Undo();
    EXPECT_EQ(testing::serialise(bench.doc.data()), before);
    EXPECT_FALSE(bench.doc.IsModified());
    EXPECT_EQ(bench.doc.undoable(), nullptr);

    // On another point they are another edit.
    bench.doc.Redo();
    ApplyArrowHotKey(bench.doc, ArrowHotKey::Down, true, ViewState{});
    ApplyArrowHotKey(bench.doc, ArrowHotKey::Left, true, ViewState{});
    bench.doc.Undo();
    EXPECT_EQ(bench.line()[1].arrivalIndex, 17);
    EXPECT_EQ(bench.line()[2].arrivalIndex, 12);
}

TEST(ArrowHotKeys, ActOnlyWithAnActiveContentViewAndAShownPoint) {
    Bench inactive;
    EXPECT_FALSE(ApplyArrowHotKey(inactive.doc, ArrowHotKey::Right, false, ViewState{}).acted);
    EXPECT_EQ(inactive.line()[1].arrivalIndex, 11);

    Bench empty(0);
    EXPECT_FALSE(ApplyArrowHotKey(empty.doc, ArrowHotKey::Down, true, ViewState{}).acted);
    EXPECT_EQ(empty.line().currentIndex, 0);

    Bench none(5, [](DocumentData& data) { data.shown = ShownLine::None; });
    EXPECT_FALSE(ApplyArrowHotKey(none.doc, ArrowHotKey::CtrlRight, true, ViewState{}).acted);

    for (Bench* bench : {&inactive, &empty, &none}) {
        EXPECT_TRUE(bench->log.changes.empty());
    }
}

} // namespace
} // namespace crackdepth
