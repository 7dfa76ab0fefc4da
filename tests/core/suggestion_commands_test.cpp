// The suggested picks as the operator reaches them: the menu entries and the key that adopt
// them, the sample the amplitude is read at on every path to a pick, and the "测量检查" list with
// the selection a click on one of its rows makes.
#include "core/data/amplitude.h"
#include "core/document/checks/check_list.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/model/view_state.h"
#include "core/document/panel_state/suggestion_menu.h"
#include "document_support.h"
#include "onset_waveforms.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace crackdepth {
namespace {

using testing::makeHeader;
using testing::makePoints;

constexpr std::int32_t kSamples = 1024;
constexpr std::int32_t kOff = 20; // samples a disturbed pick lies after its suggestion

// A line of `count` points, each holding a clean pulse (its onset moving a little from point
// to point) picked where its suggestion lies.
std::unique_ptr<PointList> pulseLine(std::int32_t count) {
    auto line = std::make_unique<PointList>(makePoints(count, kSamples));
    for (std::size_t i = 0; i < line->size(); ++i) {
        testing::OnsetWaveformSpec spec;
        spec.count = kSamples;
        spec.onset = 200 + 10 * static_cast<double>(i);
        spec.noiseSeed = i + 11; // seeds whose pulses all get a suggestion
        MeasuringPoint& point = (*line)[i];
        point.samples = testing::makeOnsetWaveform(spec).samples;
        point.originalSamples = point.samples;
        point.delay = 0;
        setPick(point, suggestionFor(point).value().index);
    }
    return line;
}

// A result document: a non-crossing line of five pulses and two crossing lines of four, the
// non-crossing tab selected.
DocumentData pulseDocument() {
    DocumentData data;
    data.nonCrossingList = pulseLine(5);
    data.nonCrossingParameters = makeHeader(kNonCrossingSignature, kSamples);
    data.nonCrossingParameters.lineCount = 3;
    for (int k = 0; k < 2; ++k) {
        data.crossingLists.push_back(pulseLine(4));
        TestParameters header = makeHeader(kCrossingSignature, kSamples);
        header.note = "C" + std::to_string(k + 1) + ".DP1";
        data.crossingParameters.push_back(header);
        data.crossingCorrections.push_back(0);
    }
    data.shown = ShownLine::NonCrossing;
    return data;
}

std::int32_t suggested(const MeasuringPoint& point) {
    return suggestionFor(point).value().index;
}

class SuggestionCommands : public ::testing::Test {
protected:
    // Loads `data`, selects `tab` and makes point `current` current.
    void load(DocumentData data, std::int32_t tab, std::int32_t current) {
        doc.Load(std::move(data));
        doc.SelectTab(tab);
        doc.SelectPoint(*doc.data().shownId(), current);
    }
    const PointList& shown() const { return *doc.data().shownList(); }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
};

TEST_F(SuggestionCommands, EntriesAreEnabledOnlyWhenTheyWouldChangeAPick) {
    struct Case {
        const char* name;
        std::int32_t tab;                   // shown, with point 1 current
        std::int32_t disturbedTab;          // the line whose points are picked off
        std::vector<std::size_t> disturbed; // those points
        bool withoutWaveforms;              // the shown line's points hold no pulse
        bool adopt, adoptLine;
    };
    const Case cases[] = {
        {"every pick at its suggestion", 0, 0, {}, false, false, false},
        {"the current point off", 0, 0, {1}, false, true, true},
        {"another point off", 0, 0, {3}, false, false, true},
        {"a crossing line's current point off", 2, 2, {1}, false, true, true},
        {"only another crossing line off", 1, 2, {1}, false, false, false},
        {"points without a pulse", 0, 0, {1}, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentData data = pulseDocument();
        const auto lineOf = [&data](std::int32_t tab) -> PointList& {
            return tab == 0 ? *data.nonCrossingList
                            : *data.crossingLists[static_cast<std::size_t>(tab - 1)];
        };
        if (c.withoutWaveforms) {
            lineOf(c.tab) = makePoints(5, kSamples);
        }
        for (const std::size_t i : c.disturbed) {
            MeasuringPoint& point = lineOf(c.disturbedTab)[i];
            setPick(point, point.arrivalIndex + kOff);
        }
        load(std::move(data), c.tab, 1);
        const auto menu = suggestionMenuOf(doc.data());
        ASSERT_EQ(menu.size(), 2u);
        EXPECT_EQ(menu[0].text, std::string("采用建议初至"));
        EXPECT_EQ(menu[0].command, SuggestionCommand::Adopt);
        EXPECT_EQ(menu[0].enabled, c.adopt);
        EXPECT_EQ(menu[1].text, std::string("本测线全部采用建议初至"));
        EXPECT_EQ(menu[1].command, SuggestionCommand::AdoptLine);
        EXPECT_EQ(menu[1].enabled, c.adoptLine);

        // A disabled entry records nothing; an enabled one is one edit.
        for (const auto& entry : menu) {
            const auto before = testing::serialise(doc.data());
            EXPECT_EQ(RunSuggestionCommand(doc, entry.command), entry.enabled);
            if (!entry.enabled) {
                EXPECT_EQ(testing::serialise(doc.data()), before);
                EXPECT_EQ(doc.undoable(), nullptr);
            } else {
                EXPECT_EQ(doc.undoable()->name(), entry.text);
                doc.Undo();
                EXPECT_EQ(testing::serialise(doc.data()), before) << "undo gives the picks back";
            }
        }
    }
    Document empty(prompts, {});
    for (const auto& entry : suggestionMenuOf(empty.data())) {
        EXPECT_FALSE(entry.enabled);
        EXPECT_FALSE(RunSuggestionCommand(empty, entry.command));
    }
}

TEST_F(SuggestionCommands, AdoptingMovesThePointsOfItsScopeOntoTheirSuggestions) {
    for (const SuggestionCommand command :
         {SuggestionCommand::Adopt, SuggestionCommand::AdoptLine}) {
        SCOPED_TRACE(static_cast<int>(command));
        DocumentData data = pulseDocument();
        for (const std::size_t i : {1u, 3u}) {
            MeasuringPoint& point = (*data.crossingLists[0])[i];
            setPick(point, point.arrivalIndex + kOff);
        }
        load(std::move(data), 1, 1);
        ASSERT_TRUE(RunSuggestionCommand(doc, command));
        EXPECT_EQ(shown()[1].arrivalIndex, suggested(shown()[1]));
        EXPECT_EQ(shown()[1].amplitudeIndex, shown()[1].arrivalIndex)
            << "the amplitude is read at the new pick";
        EXPECT_EQ(shown()[3].arrivalIndex == suggested(shown()[3]),
                  command == SuggestionCommand::AdoptLine)
            << "only the whole-line command reaches the other points";
        EXPECT_EQ(doc.data().currentTab, 1);
        EXPECT_EQ(shown().currentIndex, 1);
    }
}

// A crossing point of the demo reached on every path that sets a pick: whichever way the pick
// got to its sample, "波幅(dB)" reads the same sample.
TEST(AmplitudeSample, FollowsThePickTheSameWayOnEveryPath) {
    constexpr std::int32_t kTab = 1; // the demo's first crossing line
    constexpr std::int32_t kPoint = 4;
    const ViewState view;
    const auto sampleAt = [](const MeasuringPoint& point, double micros) {
        return static_cast<std::int32_t>(
            std::lround((micros - point.delay) / point.record.samplingInterval()));
    };
    const auto arrows = [&](Document& doc, ArrowHotKey key, int presses) {
        for (int i = 0; i < presses; ++i) {
            ASSERT_TRUE(ApplyArrowHotKey(doc, key, true, view).acted);
        }
    };
    const struct {
        const char* name;
        std::function<void(Document&, std::int32_t suggestion)> reach;
    } paths[] = {
        {"adopted at once", [](Document& doc, std::int32_t) { AdoptSuggestion(doc); }},
        {"a click at 97 us, two Right keys, then adopted",
         [&](Document& doc, std::int32_t) {
             PickArrival(doc, sampleAt((*doc.data().shownList())[kPoint], 97.0));
             arrows(doc, ArrowHotKey::Right, 2);
             AdoptSuggestion(doc);
         }},
        {"the whole line adopted", [](Document& doc, std::int32_t) { AdoptLineSuggestions(doc); }},
        {"a click on the sample", [](Document& doc, std::int32_t s) { PickArrival(doc, s); }},
        {"a click three samples later and three Left keys",
         [&](Document& doc, std::int32_t s) {
             PickArrival(doc, s + 3);
             arrows(doc, ArrowHotKey::Left, 3);
         }},
        {"pasted from a copy picked on the sample",
         [](Document& doc, std::int32_t s) {
             PickArrival(doc, s);
             PointClipboard clipboard;
             ASSERT_TRUE(CopyPoint(doc, clipboard));
             PickArrival(doc, s + 7);
             ASSERT_TRUE(PastePoint(doc, clipboard));
         }},
    };
    std::optional<float> firstDb;
    for (const auto& path : paths) {
        SCOPED_TRACE(path.name);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        ASSERT_TRUE(doc.OpenDocument(CRACKDEPTH_EXAMPLES_DIR "/DEMO.DPA"));
        doc.SelectTab(kTab);
        doc.SelectPoint(*doc.data().shownId(), kPoint);
        const std::int32_t suggestion = suggested((*doc.data().shownList())[kPoint]);
        ASSERT_NE((*doc.data().shownList())[kPoint].arrivalIndex, suggestion)
            << "the stored pick lies elsewhere, so every path moves it";
        path.reach(doc, suggestion);

        const MeasuringPoint& point = (*doc.data().shownList())[kPoint];
        EXPECT_EQ(point.arrivalIndex, suggestion);
        EXPECT_EQ(point.amplitudeIndex, point.arrivalIndex);
        const auto db = amplitudeDb(point, doc.data().shownParameters().sampleCount);
        ASSERT_TRUE(db.has_value());
        if (!firstDb) {
            firstDb = db;
        }
        EXPECT_EQ(*db, *firstDb);
    }
}

TEST(CheckList, RowsAreTheMessagesOrNone) {
    CheckList list;
    EXPECT_EQ(list.rows(), std::vector<std::string>{"无"});
    list.checks = {{0, std::nullopt, CheckKind::Velocity, "a"}, {1, 2, CheckKind::Pick, "b"}};
    EXPECT_EQ(list.rows(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(SuggestionCommands, TheListReportsADisturbedPickAndAClickShowsItsPoint) {
    DocumentData data = pulseDocument();
    MeasuringPoint& off = (*data.crossingLists[1])[2];
    setPick(off, off.arrivalIndex + kOff);
    load(std::move(data), 0, 4);
    const CheckList list = checkListOf(doc.data(), AnalyseDocument(doc.data()));
    const auto pick = std::find_if(list.checks.begin(), list.checks.end(),
                                   [](const auto& c) { return c.kind == CheckKind::Pick; });
    ASSERT_NE(pick, list.checks.end());
    EXPECT_EQ(pick->line, 2);
    EXPECT_EQ(pick->point, 2);
    EXPECT_EQ(list.rows()[static_cast<std::size_t>(pick - list.checks.begin())], pick->message);

    ASSERT_TRUE(ShowCheck(doc, list, static_cast<std::size_t>(pick - list.checks.begin())));
    EXPECT_EQ(doc.data().currentTab, 2);
    EXPECT_EQ(doc.data().shown, ShownLine::Crossing);
    EXPECT_EQ(doc.data().shownId(), crossingLineOfTab(doc.data(), 2));
    EXPECT_EQ(shown().currentIndex, 2);
    EXPECT_FALSE(doc.IsModified()) << "a selection, not an edit";
}

TEST_F(SuggestionCommands, AClickSelectsTheFindingsTabAndPoint) {
    struct Case {
        const char* name;
        MeasurementCheck check;
        bool shows;
        std::int32_t tab;     // selected afterwards
        std::int32_t current; // the shown line's current point afterwards
    };
    const Case cases[] = {
        {"non-crossing point", {0, 3, CheckKind::Residual, "r"}, true, 0, 3},
        {"crack 1 point", {1, 0, CheckKind::Pick, "p"}, true, 1, 0},
        {"crack without a point keeps the current one",
         {2, std::nullopt, CheckKind::FewKept, "f"},
         true,
         2,
         1},
        {"a point past the line's end gives its last", {1, 9, CheckKind::Pick, "p"}, true, 1, 3},
        {"a crack the document does not hold", {3, 0, CheckKind::Pick, "p"}, false, 1, 1},
        {"a negative line", {-1, 0, CheckKind::Pick, "p"}, false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentData data = pulseDocument();
        data.nonCrossingList->currentIndex = 1;
        data.crossingLists[1]->currentIndex = 1;
        load(std::move(data), 1, 1);
        const CheckList list{{c.check}};
        EXPECT_EQ(ShowCheck(doc, list, 0), c.shows);
        EXPECT_EQ(doc.data().currentTab, c.tab);
        EXPECT_EQ(shown().currentIndex, c.current);
        EXPECT_FALSE(ShowCheck(doc, list, 1)) << "past the last finding";
        EXPECT_FALSE(ShowCheck(doc, CheckList{}, 0)) << "the row \"无\"";
    }
}

} // namespace
} // namespace crackdepth
