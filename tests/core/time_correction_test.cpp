#include "core/analysis/transit_time.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/time_correction_state.h"
#include "document_support.h"
#include "test_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {
namespace {

using testing::EventLog;
using testing::makePoints;

// A result of a non-crossing line and two crossing lines, each with its own sampling
// interval, with tab `tab` selected; `prepare` changes the data before the document takes
// them.
struct Bench {
    explicit Bench(float nonCrossingDt = 0.5f, float crossing1Dt = 0.1f, float crossing2Dt = 1.0f,
                   std::int32_t tab = 0, std::function<void(DocumentData&)> prepare = {}) {
        DocumentData data;
        data.nonCrossingList = std::make_unique<PointList>(makePoints(4, 16, nonCrossingDt));
        data.nonCrossingParameters.sampleCount = 16;
        for (float dt : {crossing1Dt, crossing2Dt}) {
            data.crossingLists.push_back(std::make_unique<PointList>(makePoints(3, 16, dt)));
            data.crossingParameters.emplace_back().sampleCount = 16;
            data.crossingCorrections.push_back(0);
        }
        data.shown = ShownLine::NonCrossing;
        if (prepare) {
            prepare(data);
        }
        doc.Load(std::move(data));
        doc.SelectTab(tab);
        doc.addListener(&log);
    }
    ~Bench() { doc.removeListener(&log); }

    TimeCorrectionState open() {
        auto state = TimeCorrectionState::start(doc);
        EXPECT_TRUE(state.has_value());
        return std::move(*state);
    }
    void forget() {
        log.changes.clear();
        prompts.shown.clear();
    }
    const DocumentData& data() const { return doc.data(); }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    EventLog log;
};

TEST(TimeCorrectionCommand, WithoutAShownLineOnlyShowsItsMessage) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    EXPECT_FALSE(TimeCorrectionState::start(doc).has_value());
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"请先打开文件再进行延时修正!"});
}

TEST(TimeCorrectionCommand, OpensOnTheSelectedTabsCorrectionInItsLinesFormat) {
    struct Case {
        std::int32_t tab;
        float nonCrossing, crossing1, crossing2, all;
        const char* lineText;
        const char* allText;
    };
    const Case cases[] = {
        {0, -3.04f, 9, 9, 1.26f, "-3.0", "1.3"}, // dt 0.5: one decimal
        {1, 9, 0.36f, 9, -0.04f, "0.4", "-0.0"}, // dt 0.1: one decimal
        {2, 9, 9, 12.6f, 0.4f, "13", "0"},       // dt 1.0: none
        {2, 9, 9, -150.5f, 3, "-150", "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lineText);
        Bench bench(0.5f, 0.1f, 1.0f, c.tab, [&](DocumentData& data) {
            data.correctionNonCrossing = c.nonCrossing;
            data.crossingCorrections = {c.crossing1, c.crossing2};
            data.correctionAll = c.all;
        });
        const TimeCorrectionView view = bench.open().view();
        EXPECT_EQ(bench.data().currentTab, c.tab);
        EXPECT_EQ(view.title, "声时修正");
        EXPECT_EQ(view.lineText, c.lineText);
        EXPECT_EQ(view.allText, c.allText);
        EXPECT_TRUE(view.lineEditable);
    }
}

// Every keystroke is checked and only a correction within −200 … 200 us reaches the views;
// the text stays as typed, the title says what is wrong and no message interrupts the typing.
// Before, "x1" and "abc" silently became 0 and 250 was replaced by "0.0".
TEST(TimeCorrectionDialog, OnlyValidEntriesArePreviewed) {
    const std::string range = "声时修正范围为-200.0-200.0us";
    const std::string noNumber = "请输入一个数值";
    struct Case {
        float dt;
        std::string text;
        std::optional<float> correction; // none: the entry is refused
        std::string problem;             // the title's text after the field's caption
    };
    const Case cases[] = {
        {0.5f, "200", 200, ""},      {0.5f, "-200", -200, ""},    {0.5f, "-12.5", -12.5f, ""},
        {0.5f, " 3 ", 3, ""},        {0.5f, "250", {}, range},    {2.0f, "250", {}, range},
        {0.5f, "-200.5", {}, range}, {0.5f, "nan", {}, noNumber}, {0.5f, "abc", {}, noNumber},
        {0.5f, "x1", {}, noNumber},  {0.5f, "1x", {}, noNumber},  {0.5f, "", {}, noNumber},
    };
    for (const bool lineField : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE((lineField ? "line " : "all ") + c.text);
            Bench bench(c.dt, 0.1f, 1.0f, 0, [](DocumentData& data) {
                data.correctionNonCrossing = 1;
                data.correctionAll = 1;
            });
            const DocumentData& data = bench.data();
            TimeCorrectionState state = bench.open();
            bench.forget();
            const TimeCorrectionView view =
                lineField ? state.onLineTextChanged(c.text) : state.onAllTextChanged(c.text);
            const std::string caption = lineField ? "当前缝修正值" : "所有缝修正值";
            const std::string title = c.correction         ? "声时修正"
                                      : c.problem == range ? range
                                                           : caption + "：" + c.problem;
            EXPECT_EQ(view.title, title);
            EXPECT_EQ(lineField ? view.lineText : view.allText, c.text);
            EXPECT_EQ(lineField ? data.correctionNonCrossing : data.correctionAll,
                      c.correction.value_or(1.0f));
            EXPECT_EQ(lineField ? data.correctionAll : data.correctionNonCrossing, 1.0f);
            EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0, 0}));
            EXPECT_EQ(bench.log.saw(DocumentChange::Data), c.correction.has_value());
            EXPECT_TRUE(bench.prompts.shown.empty());
            EXPECT_FALSE(bench.doc.IsModified()) << "a preview is no edit";
        }
    }
}

// "确定" with a field that holds no correction in range keeps the dialog open and says which
// field and why; the views show the corrections as they were.
TEST(TimeCorrectionDialog, OkRefusesAFieldWithoutACorrectionInRange) {
    const struct {
        const char* line;
        const char* all;
        const char* message;
    } cases[] = {
        {"x1", "2", "当前缝修正值：请输入一个数值"},
        {"3", "250", "所有缝修正值：声时修正范围为-200.0-200.0us"},
        {"", "2", "当前缝修正值：请输入一个数值"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Bench bench;
        const DocumentData& data = bench.data();
        TimeCorrectionState state = bench.open();
        state.onLineTextChanged(c.line);
        state.onAllTextChanged(c.all);
        bench.forget();
        EXPECT_FALSE(state.onOk());
        EXPECT_EQ(bench.prompts.messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(data.correctionNonCrossing, 0.0f);
        EXPECT_EQ(data.correctionAll, 0.0f);
        EXPECT_EQ(bench.doc.undoable(), nullptr);

        // Put right, the same dialog takes the entries.
        state.onLineTextChanged("3");
        state.onAllTextChanged("2");
        EXPECT_TRUE(state.onOk());
        EXPECT_EQ(data.correctionNonCrossing, 3.0f);
        EXPECT_EQ(data.correctionAll, 2.0f);
    }
}

TEST(TimeCorrectionDialog, ACorrectionMovesTheArrivalAtOnceWithoutTouchingWaveforms) {
    Bench bench(0.5f, 0.1f, 1.0f, 1); // dt 0.1
    TimeCorrectionState state = bench.open();
    const PointList& line = *bench.data().shownList();
    const std::vector<Sample> samples = line[0].samples;
    const std::int32_t before = transitTime(line[0], 0, 0).shift;

    state.onLineTextChanged("0.35");
    const TimeCorrections corrections = bench.data().tabCorrections();
    EXPECT_EQ(transitTime(line[0], corrections.line, corrections.all).shift, before + 3);
    EXPECT_EQ(bench.data().crossingCorrections[0], 0.35f);
    EXPECT_EQ(line[0].samples, samples);
    ASSERT_EQ(bench.log.changes.size(), 1u);
    EXPECT_TRUE(bench.log.changes[0].has(DocumentChange::Data));
}

TEST(TimeCorrectionDialog, UndoClearsTheLineCorrectionsAndTheShownLinesPointShifts) {
    Bench bench(0.5f, 0.1f, 1.0f, 1, [](DocumentData& data) {
        data.crossingCorrections = {1.5f, 2.5f};
        data.correctionNonCrossing = 3;
        data.correctionAll = 4;
        for (PointList* line : {data.crossingLists[0].get(), data.nonCrossingList.get()}) {
            for (std::size_t i = 0; i < line->size(); ++i) {
                (*line)[i].timeShift = 0.5f;
            }
        }
    });
    const DocumentData& data = bench.data();
    const std::vector<std::uint8_t> original = testing::serialise(data);
    TimeCorrectionState state = bench.open();
    state.onLineTextChanged("7");
    state.onAllTextChanged("9");
    bench.forget();

    const TimeCorrectionView view = state.onUndoCorrections();
    EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0, 0}));
    EXPECT_EQ(data.correctionNonCrossing, 0.0f);
    EXPECT_EQ(data.correctionAll, 9.0f) << "the correction of all lines stays";
    for (std::size_t i = 0; i < data.shownList()->size(); ++i) {
        EXPECT_EQ((*data.shownList())[i].timeShift, 0.0f);
    }
    EXPECT_EQ((*data.nonCrossingList)[0].timeShift, 0.5f) << "other lines keep theirs";
    EXPECT_EQ(view.lineText, "0.0");
    EXPECT_EQ(view.allText, "9");
    EXPECT_EQ(view.title, "声时修正");
    EXPECT_TRUE(bench.log.saw(DocumentChange::Data));

    // Cancel brings back the correction of all lines but not what the button dropped.
    state.onCancel();
    EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0, 0}));
    EXPECT_EQ(data.correctionAll, 4.0f);
    EXPECT_TRUE(bench.doc.IsModified()) << "the button's edit stays";

    // Undo takes the steps back one by one, to the data as they were.
    while (bench.doc.undoable() != nullptr) {
        bench.doc.Undo();
    }
    EXPECT_EQ(testing::serialise(data), original);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(TimeCorrectionDialog, OkTakesTheTextsAndCancelTheStartingValues) {
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "ok" : "cancel");
        Bench bench(0.5f, 0.1f, 1.0f, 2, [](DocumentData& data) {
            data.crossingCorrections = {5, 6};
            data.correctionAll = -2;
        });
        const DocumentData& data = bench.data();
        TimeCorrectionState state = bench.open();
        state.onLineTextChanged("-7.5");
        state.onAllTextChanged("1.25");
        if (ok) {
            EXPECT_TRUE(state.onOk());
        } else {
            state.onCancel();
        }
        EXPECT_EQ(data.crossingCorrections, (std::vector<float>{5, ok ? -7.5f : 6}));
        EXPECT_EQ(data.correctionAll, ok ? 1.25f : -2.0f);
        EXPECT_EQ(data.correctionNonCrossing, 0.0f);
        EXPECT_EQ(bench.doc.IsModified(), ok);
        // The dialog's live changes are one edit; a cancelled dialog leaves none.
        if (ok) {
            ASSERT_NE(bench.doc.undoable(), nullptr);
            EXPECT_EQ(bench.doc.undoable()->name(), "声时修正");
            bench.doc.Undo();
            EXPECT_EQ(data.crossingCorrections, (std::vector<float>{5, 6}));
            EXPECT_EQ(data.correctionAll, -2.0f);
        }
        EXPECT_EQ(bench.doc.undoable(), nullptr);
    }
}

// A cancelled dialog leaves the history as it found it, the redo steps included. Before, the
// first keystroke was an edit, which dropped what redo offered.
TEST(TimeCorrectionDialog, CancelLeavesUndoAndRedoAsTheyWere) {
    Bench bench;
    Corrections corrections = correctionsOf(bench.data());
    corrections.all = 4;
    bench.doc.perform(makeCorrectionsEdit("声时修正", corrections));
    bench.doc.Undo();
    const Edit* redo = bench.doc.redoable();
    ASSERT_NE(redo, nullptr);

    TimeCorrectionState state = bench.open();
    state.onLineTextChanged("7");
    state.onAllTextChanged("x1");
    state.onAllTextChanged("9");
    state.onCancel();
    EXPECT_EQ(bench.doc.redoable(), redo);
    EXPECT_EQ(bench.doc.undoable(), nullptr);
    EXPECT_FALSE(bench.doc.IsModified());
    EXPECT_EQ(bench.data().correctionNonCrossing, 0.0f);
    EXPECT_EQ(bench.data().correctionAll, 0.0f);
}

TEST(TimeCorrectionDialog, ACrossingRawFilesTabHasNoLineCorrectionToEdit) {
    Bench bench(0.5f, 0.1f, 1.0f, 1, [](DocumentData& data) {
        data.crossingLists.clear();
        data.crossingParameters.clear();
        data.crossingCorrections.clear();
        data.rawCrossingList = std::make_unique<PointList>(makePoints(3, 16, 2.0f));
        (*data.rawCrossingList)[1].timeShift = 4;
    });
    const DocumentData& data = bench.data();

    TimeCorrectionState state = bench.open();
    EXPECT_FALSE(state.view().lineEditable);
    EXPECT_EQ(state.view().lineText, "0") << "the raw line's dt 2.0 chooses the format";
    EXPECT_EQ(state.onLineTextChanged("5").lineText, "0");
    EXPECT_TRUE(bench.log.changes.empty());

    state.onAllTextChanged("5");
    EXPECT_EQ(state.onUndoCorrections().lineText, "0");
    EXPECT_EQ((*data.shownList())[1].timeShift, 0.0f);
    EXPECT_TRUE(state.onOk());
    EXPECT_TRUE(data.crossingCorrections.empty());
    EXPECT_EQ(data.correctionAll, 5.0f);
    EXPECT_EQ(data.lineCorrection(), 0.0f);
}

} // namespace
} // namespace crackdepth
