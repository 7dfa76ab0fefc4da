#include "core/common/numbers.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/filter_dialog_state.h"
#include "core/document/panel_state/number_entry.h"
#include "core/signal/filter.h"
#include "document_support.h"
#include "test_support.h"

#include <functional>
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
        bench.doc.rememberFilterSettings(
            {.highCut = 3.456f, .lowCut = 123.6f, .highOn = true, .lowOn = true});
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
        EXPECT_EQ(bench.doc.filterSettings().highOn, c.highOn);
        EXPECT_EQ(bench.doc.filterSettings().lowOn, c.lowOn);
        EXPECT_EQ(bench.point().samples, bench.original) << "opening filters nothing";
    }
}

struct EntryCase {
    float otherCut; // the low-pass cut-off for a high-pass entry, and the other way round
    bool otherOn;   // whether that other filter is on
    std::string text;
    std::string title;
    std::string fieldText;
    Messages messages;
};

// Types `c.text` into one edit of a dialog whose switch for it is on and checks what the
// dialog shows and whether the point was re-filtered with the typed value.
void checkEntry(bool highPass, const EntryCase& c) {
    SCOPED_TRACE(c.text + (c.otherOn ? ", other filter on" : ", other filter off"));
    Bench bench;
    if (highPass) {
        bench.markFiltered(true, 5, c.otherOn, c.otherCut);
    } else {
        bench.markFiltered(c.otherOn, c.otherCut, true, 100);
    }
    FilterDialogState state = bench.open();
    bench.forget();

    const FilterDialogView view =
        highPass ? state.onHighPassTextChanged(c.text) : state.onLowPassTextChanged(c.text);
    EXPECT_EQ(view.title, c.title);
    EXPECT_EQ(highPass ? view.highPassText : view.lowPassText, c.fieldText);
    EXPECT_EQ(bench.prompts.messages(), c.messages);

    // The preview shows an accepted entry; the history is not touched until OK.
    const bool accepted = c.title == kFilterAppliedTitle;
    EXPECT_FALSE(bench.doc.IsModified());
    EXPECT_EQ(bench.doc.undoable(), nullptr);
    EXPECT_EQ(bench.log.changes.size(), accepted ? 1u : 0u);
    if (accepted) {
        const float cut = *readNumberEntry(c.text).value;
        const auto expected = highPass ? bench.filtered(true, cut, c.otherOn, c.otherCut)
                                       : bench.filtered(c.otherOn, c.otherCut, true, cut);
        EXPECT_EQ(bench.point().samples, expected);
    } else {
        EXPECT_EQ(bench.point().samples, bench.original);
    }
}

TEST(FilterDialog, HighPassEntriesFollowTheRangeRules) {
    const std::string range = "高通范围为0.01-20kHz";
    const EntryCase cases[] = {
        {50, false, "0.01", "数字滤波", "0.01", {}},
        {50, false, "0.0099", range, "0.0099", {}},
        {50, true, "20", "数字滤波", "20", {}},
        {50, false, "20.01", range, "20.01", {}},
        {50, false, "-3", range, "-3", {}},
        {50, false, "", "高通(kHz)：请输入一个数值", "", {}},
        {50, false, "nan", "高通(kHz)：请输入一个数值", "nan", {}},
        {50, false, "x1", "高通(kHz)：请输入一个数值", "x1", {}},
        {50, false, "5abc", "高通(kHz)：请输入一个数值", "5abc", {}},
        {50, false, " 8 ", "数字滤波", " 8 ", {}},
        {10, true, "15", "高通值必须小于低通值", "15", {}},
        {10, true, "10", "数字滤波", "10", {}}, // equal cut-offs are accepted
        // A low-pass that is off does not count: its cut-off is no limit.
        {10, false, "15", "数字滤波", "15", {}},
        // Typing shows no message: the text stays as typed and the title says why.
        {50, false, "12345", range, "12345", {}},
        {50, false, "1e3", range, "1e3", {}},
        {50,
         false,
         "123456789012345678901",
         "高通(kHz)：数字过长，请输入小于20位的数值",
         "123456789012345678901",
         {}},
    };
    for (const EntryCase& c : cases) {
        checkEntry(true, c);
    }
}

TEST(FilterDialog, LowPassEntriesFollowTheRangeRules) {
    const std::string range = "低通范围为2-500kHz";
    const EntryCase cases[] = {
        {1, true, "2", "数字滤波", "2", {}},
        {1, false, "1.99", range, "1.99", {}},
        {1, false, "500", "数字滤波", "500", {}},
        {1, false, "500.5", range, "500.5", {}},
        {20, true, "20", "数字滤波", "20", {}},
        {20, true, "19", "高通值必须小于低通值", "19", {}},
        // With the high-pass unticked its field (20 by default) is no limit: a low-pass of 5
        // or 8 kHz alone used to be refused because of it.
        {20, false, "5", "数字滤波", "5", {}},
        {20, false, "8", "数字滤波", "8", {}},
        {1, false, "12345", range, "12345", {}},
        {1, false, "abc", "低通(kHz)：请输入一个数值", "abc", {}},
    };
    for (const EntryCase& c : cases) {
        checkEntry(false, c);
    }
}

TEST(FilterDialog, SwitchesEnableTheirEditsAndRefilter) {
    Bench bench;
    bench.doc.rememberFilterSettings({.highCut = 20, .lowCut = 50});
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
    EXPECT_FALSE(bench.doc.IsModified()) << "a preview is no edit";

    // OK makes the dialog's result one edit; one undo gives the point as it was.
    state.onLowPassSwitched(true);
    ASSERT_TRUE(state.onOk());
    EXPECT_EQ(bench.point().samples, bench.filtered(false, 20, true, 20));
    ASSERT_NE(bench.doc.undoable(), nullptr);
    EXPECT_EQ(bench.doc.undoable()->name(), "滤波");
    EXPECT_TRUE(bench.doc.IsModified());
    bench.doc.Undo();
    EXPECT_EQ(bench.point().samples, bench.original);
    EXPECT_EQ(bench.point().record.lowPassCut(), 0.0f);
    EXPECT_EQ(bench.doc.undoable(), nullptr);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(FilterDialog, SwitchingOnWithAnInvalidCutOffDoesNotFilter) {
    Bench bench;
    bench.doc.rememberFilterSettings({.highCut = 30});
    FilterDialogState state = bench.open();
    bench.forget();
    const FilterDialogView view = state.onHighPassSwitched(true);
    EXPECT_EQ(view.title, "高通范围为0.01-20kHz");
    EXPECT_TRUE(view.highPassOn);
    EXPECT_EQ(bench.point().samples, bench.original);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(FilterDialog, CancelBringsBackTheWaveformThePointHadAtOpening) {
    Bench bench;
    bench.load();
    bench.doc.rememberFilterSettings({.highCut = 5, .highOn = true});
    RefilterCurrentPoint(bench.doc, bench.doc.filterSettings());
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
    EXPECT_TRUE(bench.doc.filterSettings().highOn);
    EXPECT_FALSE(bench.doc.filterSettings().lowOn);
    EXPECT_EQ(bench.doc.filterSettings().highCut, 5.0f);
    EXPECT_TRUE(bench.doc.IsModified()) << "the filter before the dialog stays";
    EXPECT_EQ(bench.doc.undoable(), filteredBefore) << "the cancelled dialog left no edit";

    // The cancelled dialog leaves nothing to undo: one undo reaches the unfiltered point.
    bench.doc.Undo();
    EXPECT_EQ(bench.point().samples, bench.original);
    EXPECT_FALSE(bench.doc.IsModified());
}

// A cancelled dialog, or one closed with OK and no change, leaves the undo history, redo
// and the modified flag exactly as they were. Before, its live changes were edits: ticking
// "低通" dropped what redo offered, and Cancel's re-filter once left a "滤波" step behind.
TEST(FilterDialog, ADialogThatChangesNothingLeavesTheHistoryAsItWas) {
    const std::pair<const char*, std::function<void(FilterDialogState&)>> cases[] = {
        {"tick 低通, cancel",
         [](FilterDialogState& s) {
             s.onLowPassSwitched(true);
             s.onCancel();
         }},
        {"type, refuse, cancel",
         [](FilterDialogState& s) {
             s.onHighPassSwitched(true);
             s.onHighPassTextChanged("8");
             s.onHighPassTextChanged("x1");
             s.onZeroPhaseSwitched(true);
             s.onCancel();
         }},
        {"tick and untick, OK",
         [](FilterDialogState& s) {
             s.onLowPassSwitched(true);
             s.onLowPassSwitched(false);
             EXPECT_TRUE(s.onOk());
         }},
        {"nothing, cancel", [](FilterDialogState& s) { s.onCancel(); }},
    };
    for (const auto& [name, events] : cases) {
        SCOPED_TRACE(name);
        Bench bench;
        bench.load();
        InvertCurrentPoint(bench.doc); // an edit for redo to offer
        bench.doc.Undo();
        const Edit* redo = bench.doc.redoable();
        ASSERT_NE(redo, nullptr);
        const PointRecord record = bench.point().record;

        FilterDialogState state = bench.open();
        events(state);
        EXPECT_EQ(bench.doc.redoable(), redo);
        EXPECT_EQ(bench.doc.undoable(), nullptr);
        EXPECT_FALSE(bench.doc.IsModified());
        EXPECT_EQ(bench.point().samples, bench.original);
        EXPECT_EQ(bench.point().record.bytes(), record.bytes());
    }
}

// Types a text one keystroke at a time, as the operator does.
void type(FilterDialogState& state, bool highPass, const std::string& text) {
    for (std::size_t n = 1; n <= text.size(); ++n) {
        highPass ? state.onHighPassTextChanged(text.substr(0, n))
                 : state.onLowPassTextChanged(text.substr(0, n));
    }
}

// "确定" closes only when the point carries what the fields show; otherwise it says why and
// the dialog stays open. Before, OK took both texts as they stood and closed without a word:
// letters, an out-of-range value or a cut text ("12345" shows "1234" while the point kept
// 123, and reopening showed 123) were taken silently.
TEST(FilterDialog, OkClosesOnlyWhenThePointCarriesWhatTheFieldsShow) {
    struct Case {
        const char* name;
        std::function<void(FilterDialogState&)> events;
        const char* message; // none: the dialog closes
    };
    const Case cases[] = {
        {"high-pass out of range",
         [](FilterDialogState& s) {
             s.onHighPassSwitched(true);
             type(s, true, "5");
             type(s, true, "30");
         },
         "高通(kHz)：高通范围为0.01-20kHz"},
        {"high-pass letters",
         [](FilterDialogState& s) {
             s.onHighPassSwitched(true);
             type(s, true, "abc");
         },
         "高通(kHz)：请输入一个数值"},
        {"low-pass above its range",
         [](FilterDialogState& s) {
             s.onLowPassSwitched(true);
             type(s, false, "12345");
         },
         "低通(kHz)：低通范围为2-500kHz"},
        {"high-pass above low-pass",
         [](FilterDialogState& s) {
             s.onHighPassSwitched(true);
             s.onLowPassSwitched(true);
             type(s, false, "10");
         },
         "高通(kHz)：高通值必须小于低通值"},
        {"low-pass alone below the unticked high-pass",
         [](FilterDialogState& s) {
             s.onLowPassSwitched(true);
             type(s, false, "5");
         },
         nullptr},
        {"a wrong entry switched off",
         [](FilterDialogState& s) {
             s.onLowPassSwitched(true);
             s.onHighPassSwitched(true);
             type(s, true, "30");
             s.onHighPassSwitched(false);
         },
         nullptr},
        {"nothing changed", [](FilterDialogState&) {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        bench.doc.rememberFilterSettings({.highCut = 20, .lowCut = 50});
        FilterDialogState state = bench.open();
        c.events(state);
        const FilterDialogView shown = state.view();
        bench.forget();

        EXPECT_EQ(state.onOk(), c.message == nullptr);
        if (c.message != nullptr) {
            EXPECT_EQ(bench.prompts.messages(), Messages{c.message});
            EXPECT_NE(state.view().title, kFilterAppliedTitle);
            continue;
        }
        EXPECT_TRUE(bench.prompts.shown.empty());
        const PointRecord& record = bench.point().record;
        EXPECT_EQ(record.highPassOn() != 0, shown.highPassOn);
        EXPECT_EQ(record.lowPassOn() != 0, shown.lowPassOn);
        if (shown.highPassOn) {
            EXPECT_EQ(record.highPassCut(), textToFloat(shown.highPassText).value);
        }
        if (shown.lowPassOn) {
            EXPECT_EQ(record.lowPassCut(), textToFloat(shown.lowPassText).value);
        }
        EXPECT_EQ(bench.point().samples,
                  shown.highPassOn || shown.lowPassOn
                      ? bench.filtered(shown.highPassOn, bench.doc.filterSettings().highCut,
                                       shown.lowPassOn, bench.doc.filterSettings().lowCut)
                      : bench.original);
    }
}

// Switching one filter off re-filters with the other only when the other's entry can be
// applied. Before, it re-filtered at once, so a low-pass of 1.5 kHz that its own field had
// refused reached the point as soon as the high-pass was switched off.
TEST(FilterDialog, SwitchingOneFilterOffDoesNotApplyTheOthersRefusedEntry) {
    Bench bench;
    FilterDialogState state = bench.open();
    state.onHighPassSwitched(true);
    type(state, true, "5");
    state.onLowPassSwitched(true); // 5 and 50 kHz
    ASSERT_EQ(bench.point().samples, bench.filtered(true, 5, true, 50));
    type(state, false, "1.5");
    EXPECT_EQ(state.view().title, kLowPassRangeTitle);
    EXPECT_EQ(bench.point().samples, bench.original) << "only valid entries are previewed";

    EXPECT_EQ(state.onHighPassSwitched(false).title, kLowPassRangeTitle);
    EXPECT_EQ(bench.point().samples, bench.original);
    EXPECT_EQ(bench.point().record.lowPassOn(), 0.0f);
    type(state, false, "150");
    EXPECT_EQ(state.view().title, kFilterAppliedTitle);
    EXPECT_EQ(bench.point().samples, bench.filtered(false, 5, true, 150));
}

TEST(FilterDialog, OkKeepsTheTypedCutOffsForTheNextUnfilteredPoint) {
    Bench bench;
    FilterDialogState state = bench.open();
    state.onHighPassSwitched(true);
    type(state, true, "8");
    state.onLowPassSwitched(true);
    type(state, false, "120");
    state.onLowPassSwitched(false);
    ASSERT_TRUE(state.onOk());
    EXPECT_EQ(bench.doc.filterSettings().highCut, 8.0f);
    EXPECT_EQ(bench.doc.filterSettings().lowCut, 120.0f);
    EXPECT_EQ(bench.point().record.highPassCut(), 8.0f);

    // An unfiltered point opens with the last entries, the filtered one with its own filter.
    bench.doc.SelectPoint(kNonCrossingLine, 2);
    const FilterDialogView other = bench.open().view();
    EXPECT_EQ(other.highPassText, "8.00");
    EXPECT_EQ(other.lowPassText, "120");
    EXPECT_FALSE(other.highPassOn);
    EXPECT_FALSE(other.lowPassOn);
    bench.doc.SelectPoint(kNonCrossingLine, 1);
    const FilterDialogView again = bench.open().view();
    EXPECT_EQ(again.highPassText, "8.00");
    EXPECT_TRUE(again.highPassOn);
    EXPECT_FALSE(again.lowPassOn);
}

} // namespace
} // namespace crackdepth
