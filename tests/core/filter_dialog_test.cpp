#include "core/common/numbers.h"
#include "core/document/filter_dialog_state.h"
#include "core/document/scripted_prompts.h"
#include "core/document/waveform_commands.h"
#include "core/signal/filter.h"
#include "document_support.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace crackdepth {
namespace {

using testing::EventLog;
using testing::makePoints;

constexpr std::int32_t kSamples = 256;
constexpr float kDt = 0.5f;

// A document showing a line of three points whose current point (1) carries a square wave
// on a drift, which every filter setting changes visibly. The data can be prepared through
// stage() until the document takes them (load(), or the first use of the dialog).
struct Bench {
    Bench() {
        staged.nonCrossingList = std::make_unique<PointList>(makePoints(3, kSamples, kDt));
        staged.nonCrossingParameters.sampleCount = kSamples;
        staged.shown = ShownLine::NonCrossing;
        staged.nonCrossingList->currentIndex = 1;
        for (std::size_t i = 0; i < original.size(); ++i) {
            const int square = (i / 6) % 2 == 0 ? 500 : -500;
            original[i] = static_cast<Sample>(2048 + square + static_cast<int>(i) * 2);
        }
        stage().samples = stage().originalSamples = original;
    }
    ~Bench() { doc.removeListener(&log); }

    MeasuringPoint& stage() { return (*staged.nonCrossingList)[1]; }
    void load() {
        if (!loaded) {
            doc.Load(std::move(staged));
            doc.addListener(&log);
            loaded = true;
        }
    }
    const MeasuringPoint& point() {
        load();
        return (*doc.data().nonCrossingList)[1];
    }
    void markFiltered(bool highOn, float highCut, bool lowOn, float lowCut) {
        stage().record.setHighPassOn(highOn ? 1.0f : 0.0f);
        stage().record.setHighPassCut(highCut);
        stage().record.setLowPassOn(lowOn ? 1.0f : 0.0f);
        stage().record.setLowPassCut(lowCut);
    }
    FilterDialogState open() {
        load();
        auto state = FilterDialogState::start(doc);
        EXPECT_TRUE(state.has_value());
        return std::move(*state);
    }
    // Forgets what was announced so far, to see what the next event does.
    void forget() {
        log.changes.clear();
        prompts.shown.clear();
    }
    std::vector<Sample> filtered(bool highOn, float highKHz, bool lowOn, float lowKHz) const {
        std::vector<Sample> out(original.size());
        FilterWaveform(original, out, kDt, highOn, highKHz * 1000.0f, lowOn, lowKHz * 1000.0f);
        EXPECT_NE(out, original) << "the bench waveform must show the filter";
        return out;
    }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    EventLog log;
    DocumentData staged;
    bool loaded = false;
    std::vector<Sample> original = std::vector<Sample>(kSamples);
};

using Messages = std::vector<std::string>;

TEST(FilterCommand, WithoutAShownLineOnlyShowsItsMessage) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    EXPECT_FALSE(FilterDialogState::start(doc).has_value());
    EXPECT_EQ(prompts.messages(), Messages{"请先打开文件再进行滤波!"});
}

TEST(FilterCommand, StartsFromTheFilterThePointCarriesOrFromTheLastCutOffs) {
    struct Case {
        const char* name;
        float highFlag, lowFlag, highCut, lowCut;
        const char* highText;
        const char* lowText;
        bool highOn, lowOn;
    };
    // The document's cut-offs are 3.456 and 123.6 with both switches on before each start.
    const Case cases[] = {
        {"unfiltered", 0, 0, 7, 300, "3.46", "124", false, false},
        {"flag below one counts as unfiltered", 0.5f, 0, 7, 300, "3.46", "124", false, false},
        {"high-pass only", 1, 0, 5, 200.4f, "5.00", "200", true, false},
        {"low-pass only", 0, 1, 0.5f, 80.6f, "0.50", "81", false, true},
        {"both, one flag fractional", 1, 0.5f, 12.345f, 150, "12.35", "150", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        bench.doc.filterHighCut = 3.456f;
        bench.doc.filterLowCut = 123.6f;
        bench.doc.filterHighOn = bench.doc.filterLowOn = true;
        bench.stage().record.setHighPassOn(c.highFlag);
        bench.stage().record.setLowPassOn(c.lowFlag);
        bench.stage().record.setHighPassCut(c.highCut);
        bench.stage().record.setLowPassCut(c.lowCut);

        const FilterDialogView view = bench.open().view();
        EXPECT_EQ(view.title, "滤波");
        EXPECT_EQ(view.highPassText, c.highText);
        EXPECT_EQ(view.lowPassText, c.lowText);
        EXPECT_EQ(view.highPassOn, c.highOn);
        EXPECT_EQ(view.lowPassOn, c.lowOn);
        EXPECT_EQ(bench.doc.filterHighOn, c.highOn);
        EXPECT_EQ(bench.doc.filterLowOn, c.lowOn);
        EXPECT_EQ(bench.point().samples, bench.original) << "opening filters nothing";
    }
}

struct EntryCase {
    float otherCut; // the low-pass cut-off for a high-pass entry, and the other way round
    std::string text;
    std::string title;
    std::string fieldText;
    Messages messages;
};

// Types `c.text` into one edit of a dialog whose switch for it is on and checks what the
// dialog shows and whether the point was re-filtered with the typed value.
void checkEntry(bool highPass, const EntryCase& c) {
    SCOPED_TRACE(c.text);
    Bench bench;
    if (highPass) {
        bench.markFiltered(true, 5, false, c.otherCut);
    } else {
        bench.markFiltered(false, c.otherCut, true, 100);
    }
    FilterDialogState state = bench.open();
    bench.forget();

    const FilterDialogView view =
        highPass ? state.onHighPassTextChanged(c.text) : state.onLowPassTextChanged(c.text);
    EXPECT_EQ(view.title, c.title);
    EXPECT_EQ(highPass ? view.highPassText : view.lowPassText, c.fieldText);
    EXPECT_EQ(bench.prompts.messages(), c.messages);

    const bool accepted = c.title == kFilterAppliedTitle;
    EXPECT_EQ(bench.doc.IsModified(), accepted);
    EXPECT_EQ(bench.log.changes.size(), accepted ? 1u : 0u);
    if (accepted) {
        const float cut = textToFloat(c.text, bench.prompts);
        const auto expected = highPass ? bench.filtered(true, cut, false, c.otherCut)
                                       : bench.filtered(false, c.otherCut, true, cut);
        EXPECT_EQ(bench.point().samples, expected);
    } else {
        EXPECT_EQ(bench.point().samples, bench.original);
    }
}

TEST(FilterDialog, HighPassEntriesFollowTheRangeRules) {
    const std::string range = "高通范围为0.01-20kHz";
    const EntryCase cases[] = {
        {50, "0.01", "数字滤波", "0.01", {}},
        {50, "0.0099", range, "0.0099", {}},
        {50, "20", "数字滤波", "20", {}},
        {50, "20.01", range, "20.01", {}},
        {50, "-3", range, "-3", {}},
        {50, "", range, "", {}},
        {50, "nan", range, "nan", {}},
        {10, "15", "高通值必须小于低通值", "15", {}},
        {10, "10", "数字滤波", "10", {}}, // equal cut-offs are accepted
        // Above 9999 the text is cut to four characters, which are checked in turn.
        {50, "12345", range, "1234", {range}},
        {50, "9e99", range, "9e99", {range}}, // still too large: cut once, not forever
        {50, "123456789012345678901", range, "123456789012345678901", {kNumberTooLongMessage}},
    };
    for (const EntryCase& c : cases) {
        checkEntry(true, c);
    }
}

TEST(FilterDialog, LowPassEntriesFollowTheRangeRules) {
    const std::string range = "低通范围为2-500kHz";
    const EntryCase cases[] = {
        {1, "2", "数字滤波", "2", {}},
        {1, "1.99", range, "1.99", {}},
        {1, "500", "数字滤波", "500", {}},
        {1, "500.5", range, "500.5", {}},
        {20, "20", "数字滤波", "20", {}},
        {20, "19", "高通值必须小于低通值", "19", {}}, // even with the high-pass switched off
        {1, "12345", range, "1234", {"低通范围为2-500"}},
    };
    for (const EntryCase& c : cases) {
        checkEntry(false, c);
    }
}

TEST(FilterDialog, SwitchesEnableTheirEditsAndRefilter) {
    Bench bench;
    bench.doc.filterHighCut = 20;
    bench.doc.filterLowCut = 50;
    FilterDialogState state = bench.open();

    FilterDialogView view = state.onHighPassSwitched(true);
    EXPECT_TRUE(view.highPassOn);
    EXPECT_FALSE(view.lowPassOn);
    EXPECT_EQ(bench.point().samples, bench.filtered(true, 20, false, 50));

    state.onLowPassSwitched(true);
    view = state.onLowPassTextChanged("20");
    EXPECT_EQ(view.title, "数字滤波");
    EXPECT_EQ(bench.point().samples, bench.filtered(true, 20, true, 20));

    state.onHighPassSwitched(false);
    EXPECT_EQ(bench.point().samples, bench.filtered(false, 20, true, 20));
    bench.forget();
    view = state.onLowPassSwitched(false);
    EXPECT_FALSE(view.lowPassOn);
    EXPECT_EQ(bench.point().samples, bench.original);
    EXPECT_EQ(bench.point().record.lowPassOn(), 0.0f);
    EXPECT_TRUE(bench.log.saw(DocumentChange::Data));
    EXPECT_TRUE(bench.doc.IsModified()) << "the point records the cut-offs it was filtered with";
    // The dialog's live changes are one edit: one undo gives the point as it was.
    bench.doc.Undo();
    EXPECT_EQ(bench.point().record.highPassCut(), 0.0f);
    EXPECT_EQ(bench.doc.undoable(), nullptr);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(FilterDialog, SwitchingOnWithAnInvalidCutOffDoesNotFilter) {
    Bench bench;
    bench.doc.filterHighCut = 30;
    FilterDialogState state = bench.open();
    bench.forget();
    const FilterDialogView view = state.onHighPassSwitched(true);
    EXPECT_EQ(view.title, "高通范围为0.01-20kHz");
    EXPECT_TRUE(bench.doc.filterHighOn);
    EXPECT_EQ(bench.point().samples, bench.original);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(FilterDialog, CancelBringsBackTheWaveformThePointHadAtOpening) {
    Bench bench;
    bench.load();
    bench.doc.filterHighOn = true;
    bench.doc.filterHighCut = 5;
    RefilterCurrentPoint(bench.doc);
    const Edit* filteredBefore = bench.doc.undoable();
    const std::vector<Sample> before = bench.point().samples;
    const PointRecord recordBefore = bench.point().record;

    FilterDialogState state = bench.open();
    state.onLowPassSwitched(true);
    state.onLowPassTextChanged("100");
    state.onHighPassTextChanged("8");
    ASSERT_NE(bench.point().samples, before);
    state.onCancel();
    EXPECT_EQ(bench.point().samples, before);
    EXPECT_EQ(bench.point().record.bytes(), recordBefore.bytes());
    EXPECT_TRUE(bench.doc.filterHighOn);
    EXPECT_FALSE(bench.doc.filterLowOn);
    EXPECT_EQ(bench.doc.filterHighCut, 5.0f);
    EXPECT_TRUE(bench.doc.IsModified()) << "the filter before the dialog stays";
    EXPECT_EQ(bench.doc.undoable(), filteredBefore) << "the cancelled dialog left no edit";

    // The cancelled dialog leaves nothing to undo: one undo reaches the unfiltered point.
    bench.doc.Undo();
    EXPECT_EQ(bench.point().samples, bench.original);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(FilterDialog, OkKeepsTheLastValidWaveformAndTheTypedCutOffs) {
    Bench bench;
    FilterDialogState state = bench.open();
    state.onHighPassSwitched(true);
    state.onHighPassTextChanged("5");
    const std::vector<Sample> valid = bench.point().samples;
    EXPECT_EQ(state.onHighPassTextChanged("30").title, "高通范围为0.01-20kHz");
    state.onOk();
    EXPECT_EQ(bench.doc.filterHighCut, 30.0f);
    EXPECT_EQ(bench.point().samples, valid);
    EXPECT_EQ(bench.point().record.highPassCut(), 5.0f);

    // An unfiltered point opens with the last entry, the filtered one with its own filter.
    bench.doc.SelectPoint(kNonCrossingLine, 2);
    const FilterDialogView other = bench.open().view();
    EXPECT_EQ(other.highPassText, "30.00");
    EXPECT_EQ(other.lowPassText, "50");
    EXPECT_FALSE(other.highPassOn);
    EXPECT_FALSE(other.lowPassOn);
    bench.doc.SelectPoint(kNonCrossingLine, 1);
    const FilterDialogView again = bench.open().view();
    EXPECT_EQ(again.highPassText, "5.00");
    EXPECT_TRUE(again.highPassOn);
}

} // namespace
} // namespace crackdepth
