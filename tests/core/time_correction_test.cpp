#include "core/analysis/transit_time.h"
#include "core/document/scripted_prompts.h"
#include "core/document/time_correction_state.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace crackdepth {
namespace {

using testing::makePoints;

struct EventLog final : DocumentListener {
    std::vector<DocumentEvent> events;
    void documentChanged(DocumentEvent event) override { events.push_back(event); }
};

// A result of a non-crossing line and two crossing lines, each with its own sampling
// interval, showing the non-crossing line.
struct Bench {
    explicit Bench(float nonCrossingDt = 0.5f, float crossing1Dt = 0.1f, float crossing2Dt = 1.0f) {
        DocumentData& data = doc.data();
        data.nonCrossingList = std::make_unique<PointList>(makePoints(4, 16, nonCrossingDt));
        data.nonCrossingParameters.sampleCount = 16;
        for (float dt : {crossing1Dt, crossing2Dt}) {
            data.crossingLists.push_back(std::make_unique<PointList>(makePoints(3, 16, dt)));
            data.crossingParameters.emplace_back().sampleCount = 16;
            data.crossingCorrections.push_back(0);
        }
        data.shownList = data.nonCrossingList.get();
        doc.addListener(&log);
    }
    ~Bench() { doc.removeListener(&log); }

    // Selects crossing tab k as the tab strip does.
    void showCrossing(std::int32_t k) {
        DocumentData& data = doc.data();
        data.currentTab = k;
        data.currentCrossingList = data.crossingLists[static_cast<std::size_t>(k - 1)].get();
        data.currentCrossingParameters = data.crossingParameters[static_cast<std::size_t>(k - 1)];
        data.shownList = data.currentCrossingList;
        data.showingNonCrossing = false;
    }
    TimeCorrectionState open(std::optional<std::int32_t> tab = std::nullopt) {
        auto state = TimeCorrectionState::start(doc, tab);
        EXPECT_TRUE(state.has_value());
        return std::move(*state);
    }
    void settle() {
        doc.data().viewsDirty = false;
        log.events.clear();
        prompts.shown.clear();
    }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    EventLog log;
};

TEST(TimeCorrectionCommand, WithoutAShownLineOnlyShowsItsMessage) {
    Bench bench;
    bench.doc.data().shownList = nullptr;
    bench.doc.data().viewsDirty = false;
    EXPECT_FALSE(TimeCorrectionState::start(bench.doc, 1).has_value());
    EXPECT_EQ(bench.prompts.messages(), std::vector<std::string>{"请先打开文件再进行延时修正!"});
    EXPECT_TRUE(bench.doc.data().viewsDirty);
    EXPECT_EQ(bench.doc.data().currentTab, 0);
}

TEST(TimeCorrectionCommand, OpensOnTheSelectedTabsCorrectionInItsLinesFormat) {
    struct Case {
        std::optional<std::int32_t> selected;
        std::int32_t presetTab;
        float nonCrossing, crossing1, crossing2, all;
        const char* lineText;
        const char* allText;
    };
    const Case cases[] = {
        {0, 2, -3.04f, 9, 9, 1.26f, "-3.0", "1.3"},       // dt 0.5: one decimal
        {1, 0, 9, 0.36f, 9, -0.04f, "0.4", "-0.0"},       // dt 0.1: one decimal
        {2, 0, 9, 9, 12.6f, 0.4f, "13", "0"},             // dt 1.0: none
        {std::nullopt, 2, 9, 9, -150.5f, 3, "-150", "3"}, // no active view: the tab stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lineText);
        Bench bench;
        DocumentData& data = bench.doc.data();
        data.currentTab = c.presetTab;
        data.correctionNonCrossing = c.nonCrossing;
        data.crossingCorrections = {c.crossing1, c.crossing2};
        data.correctionAll = c.all;
        const TimeCorrectionView view = bench.open(c.selected).view();
        EXPECT_EQ(data.currentTab, c.selected.value_or(c.presetTab));
        EXPECT_EQ(view.title, "声时修正");
        EXPECT_EQ(view.lineText, c.lineText);
        EXPECT_EQ(view.allText, c.allText);
        EXPECT_TRUE(view.lineEditable);
    }
}

TEST(TimeCorrectionDialog, EntriesOutsideTwoHundredMicrosecondsBecomeZero) {
    const std::string range = "声时修正范围为-200.0-200.0us";
    struct Case {
        float dt;
        std::string text;
        float correction;
        std::string title;
        std::string fieldText;
        bool repaints;
    };
    const Case cases[] = {
        {0.5f, "200", 200, "声时修正", "200", true},
        {0.5f, "-200", -200, "声时修正", "-200", true},
        {0.5f, "-12.5", -12.5f, "声时修正", "-12.5", true},
        {0.5f, "250", 0, range, "0.0", true},
        {2.0f, "250", 0, range, "0", true},
        {0.5f, "-200.5", 0, range, "0.0", true},
        {0.5f, "nan", 0, range, "0.0", true},
        {0.5f, "abc", 0, "声时修正", "abc", true},
        {0.5f, "", 0, "声时修正", "", false},
    };
    for (const bool lineField : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE((lineField ? "line " : "all ") + c.text);
            Bench bench(c.dt);
            DocumentData& data = bench.doc.data();
            data.correctionNonCrossing = 1;
            data.correctionAll = 1;
            TimeCorrectionState state = bench.open(0);
            bench.settle();
            const TimeCorrectionView view =
                lineField ? state.onLineTextChanged(c.text) : state.onAllTextChanged(c.text);
            EXPECT_EQ(view.title, c.title);
            EXPECT_EQ(lineField ? view.lineText : view.allText, c.fieldText);
            EXPECT_EQ(lineField ? data.correctionNonCrossing : data.correctionAll, c.correction);
            EXPECT_EQ(lineField ? data.correctionAll : data.correctionNonCrossing, 1.0f);
            EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0, 0}));
            EXPECT_EQ(bench.log.events.empty(), !c.repaints);
            EXPECT_EQ(data.viewsDirty, c.repaints);
            EXPECT_TRUE(bench.prompts.shown.empty());
            EXPECT_FALSE(bench.doc.IsModified());
        }
    }
}

TEST(TimeCorrectionDialog, ACorrectionMovesTheArrivalAtOnceWithoutTouchingWaveforms) {
    Bench bench;
    bench.showCrossing(1); // dt 0.1
    TimeCorrectionState state = bench.open(1);
    PointList& line = *bench.doc.data().shownList;
    const std::vector<Sample> samples = line[0].samples;
    const std::int32_t before = transitTime(line[0], 0, 0).shift;

    state.onLineTextChanged("0.35");
    const TimeCorrections corrections = bench.doc.data().tabCorrections();
    EXPECT_EQ(transitTime(line[0], corrections.line, corrections.all).shift, before + 3);
    EXPECT_EQ(bench.doc.data().crossingCorrections[0], 0.35f);
    EXPECT_EQ(line[0].samples, samples);
    EXPECT_EQ(bench.log.events, std::vector{DocumentEvent::RepaintContentViews});
}

TEST(TimeCorrectionDialog, UndoClearsTheLineCorrectionsAndTheShownLinesPointShifts) {
    Bench bench;
    bench.showCrossing(1);
    DocumentData& data = bench.doc.data();
    data.crossingCorrections = {1.5f, 2.5f};
    data.correctionNonCrossing = 3;
    data.correctionAll = 4;
    for (PointList* line : {data.shownList, data.nonCrossingList.get()}) {
        for (std::size_t i = 0; i < line->size(); ++i) {
            (*line)[i].timeShift = 0.5f;
        }
    }
    TimeCorrectionState state = bench.open(1);
    state.onLineTextChanged("7");
    state.onAllTextChanged("9");
    bench.settle();

    const TimeCorrectionView view = state.onUndoCorrections();
    EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0, 0}));
    EXPECT_EQ(data.correctionNonCrossing, 0.0f);
    EXPECT_EQ(data.correctionAll, 9.0f) << "the correction of all lines stays";
    for (std::size_t i = 0; i < data.shownList->size(); ++i) {
        EXPECT_EQ((*data.shownList)[i].timeShift, 0.0f);
    }
    EXPECT_EQ((*data.nonCrossingList)[0].timeShift, 0.5f) << "other lines keep theirs";
    EXPECT_EQ(view.lineText, "0.0");
    EXPECT_EQ(view.allText, "9");
    EXPECT_EQ(view.title, "声时修正");
    EXPECT_FALSE(bench.log.events.empty());
    EXPECT_TRUE(data.viewsDirty);

    // Cancel brings back the correction of all lines but not what the button dropped.
    state.onCancel();
    EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0, 0}));
    EXPECT_EQ(data.correctionAll, 4.0f);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(TimeCorrectionDialog, OkTakesTheTextsAndCancelTheStartingValues) {
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "ok" : "cancel");
        Bench bench;
        DocumentData& data = bench.doc.data();
        data.crossingCorrections = {5, 6};
        data.correctionAll = -2;
        TimeCorrectionState state = bench.open(2);
        state.onLineTextChanged("-7.5");
        state.onAllTextChanged("1.25");
        bench.settle();
        ok ? state.onOk() : state.onCancel();
        EXPECT_EQ(data.crossingCorrections, (std::vector<float>{5, ok ? -7.5f : 6}));
        EXPECT_EQ(data.correctionAll, ok ? 1.25f : -2.0f);
        EXPECT_EQ(data.correctionNonCrossing, 0.0f);
        EXPECT_TRUE(data.viewsDirty);
        EXPECT_EQ(bench.log.events.size(), ok ? 0u : 1u);
        EXPECT_FALSE(bench.doc.IsModified());
    }
}

TEST(TimeCorrectionDialog, ACrossingRawFilesTabHasNoLineCorrectionToEdit) {
    Bench bench(0.5f);
    DocumentData& data = bench.doc.data();
    data.crossingLists.clear();
    data.crossingParameters.clear();
    data.crossingCorrections.clear();
    data.rawCrossingList = std::make_unique<PointList>(makePoints(3, 16, 2.0f));
    data.currentCrossingList = data.rawCrossingList.get();
    data.shownList = data.currentCrossingList;
    data.showingNonCrossing = false;
    (*data.shownList)[1].timeShift = 4;

    TimeCorrectionState state = bench.open(1);
    EXPECT_FALSE(state.view().lineEditable);
    EXPECT_EQ(state.view().lineText, "0") << "the raw line's dt 2.0 chooses the format";
    EXPECT_EQ(state.onLineTextChanged("5").lineText, "0");
    EXPECT_TRUE(bench.log.events.empty());

    state.onAllTextChanged("5");
    EXPECT_EQ(state.onUndoCorrections().lineText, "0");
    EXPECT_EQ((*data.shownList)[1].timeShift, 0.0f);
    state.onOk();
    EXPECT_TRUE(data.crossingCorrections.empty());
    EXPECT_EQ(data.correctionAll, 5.0f);
    EXPECT_EQ(data.lineCorrection(), 0.0f);
}

} // namespace
} // namespace crackdepth
