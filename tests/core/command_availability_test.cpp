#include "core/document/commands/command_availability.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/model/view_state.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

enum class State { Empty, NonCrossing, RawCrossing, Result, ResultWaveTrain, Spectrum };

// Puts the document and the window's view into one of the states the menus are evaluated in.
void enter(Document& doc, ViewState& view, State state) {
    DocumentData data;
    if (state != State::Empty) {
        data.nonCrossingList = std::make_unique<PointList>(testing::makePoints(3));
        data.nonCrossingParameters.sampleCount = 16;
        data.shown = ShownLine::NonCrossing;
    }
    if (state == State::RawCrossing) {
        data.rawCrossingList = std::make_unique<PointList>(testing::makePoints(2));
        data.paths.crossingName = "C1.DP1";
    } else if (state != State::Empty && state != State::NonCrossing) {
        data.crossingLists.push_back(std::make_unique<PointList>(testing::makePoints(2)));
        data.crossingParameters.emplace_back();
        data.crossingCorrections.push_back(0);
        data.paths.crossingName = data.paths.currentFileName = "R.DPA";
    }
    doc.Load(std::move(data));
    view.waveTrainMode = state == State::ResultWaveTrain ? 2 : 0;
    view.timeDomain = state != State::Spectrum;
}

TEST(CommandAvailability, FollowsTheDocumentState) {
    // Columns: Empty, NonCrossing, RawCrossing, Result, ResultWaveTrain, Spectrum.
    struct Row {
        Command command;
        std::array<bool, 6> available;
    };
    const Row rows[] = {
        {Command::OpenNonCrossing, {true, true, false, false, false, false}},
        {Command::OpenResult, {true, true, false, true, true, true}},
        {Command::QuickSave, {false, false, true, true, true, true}},
        {Command::SaveAs, {false, false, true, true, true, true}},
        {Command::Close, {false, true, true, true, true, true}},
        {Command::PrintPreview, {false, false, true, true, false, true}},
        {Command::WordReport, {false, false, true, true, false, true}},
        {Command::PdfReport, {false, false, true, true, false, true}},
        {Command::TestParameters, {false, true, true, true, true, true}},
        {Command::WaveTrain, {false, true, true, true, true, true}},
        {Command::Invert, {false, true, true, true, true, false}},
        {Command::Filter, {false, true, true, true, true, true}},
        {Command::Merge, {true, true, true, true, true, true}},
        {Command::Contents, {false, false, false, false, false, false}},
        {Command::Undo, {false, false, false, false, false, false}},
        {Command::Redo, {false, false, false, false, false, false}},
    };
    const State states[] = {State::Empty,  State::NonCrossing,     State::RawCrossing,
                            State::Result, State::ResultWaveTrain, State::Spectrum};
    for (std::size_t s = 0; s < 6; ++s) {
        ScriptedPrompts prompts;
        Document doc{prompts, {}};
        ViewState view;
        enter(doc, view, states[s]);
        for (const Row& row : rows) {
            EXPECT_EQ(isAvailable(row.command, doc, view), row.available[s])
                << "command " << static_cast<int>(row.command) << " in state " << s;
        }
    }
}

TEST(CommandAvailability, PointSteppingStopsAtTheEnds) {
    const struct {
        std::int32_t index;
        bool previous, next;
    } cases[] = {{0, false, true}, {1, true, true}, {2, true, false}, {7, true, true}};
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        Document doc{prompts, {}};
        DocumentData data;
        data.nonCrossingList = std::make_unique<PointList>(testing::makePoints(3));
        data.nonCrossingList->currentIndex = c.index;
        data.shown = ShownLine::NonCrossing;
        doc.Load(std::move(data));
        const ViewState view;
        EXPECT_EQ(isAvailable(Command::PreviousPoint, doc, view), c.previous) << c.index;
        EXPECT_EQ(isAvailable(Command::NextPoint, doc, view), c.next) << c.index;
    }
}

TEST(CommandAvailability, UndoAndRedoFollowTheHistory) {
    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    ViewState view;
    enter(doc, view, State::Result);
    InvertCurrentPoint(doc);
    EXPECT_TRUE(isAvailable(Command::Undo, doc, view));
    EXPECT_FALSE(isAvailable(Command::Redo, doc, view));
    doc.Undo();
    EXPECT_FALSE(isAvailable(Command::Undo, doc, view));
    EXPECT_TRUE(isAvailable(Command::Redo, doc, view));
}

} // namespace
} // namespace crackdepth
