#include "core/document/command_availability.h"
#include "core/document/document.h"
#include "core/document/scripted_prompts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

enum class State { Empty, NonCrossing, RawCrossing, Result, ResultWaveTrain, Spectrum };

// Puts the document into one of the states the menus are evaluated in.
void enter(Document& doc, State state) {
    DocumentData& data = doc.data();
    if (state == State::Empty) {
        return;
    }
    data.nonCrossingList = std::make_unique<PointList>(testing::makePoints(3));
    data.shownList = data.nonCrossingList.get();
    if (state == State::NonCrossing) {
        return;
    }
    if (state == State::RawCrossing) {
        data.rawCrossingList = std::make_unique<PointList>(testing::makePoints(2));
        data.currentCrossingList = data.rawCrossingList.get();
        data.paths.crossingName = "C1.DP1";
        return;
    }
    data.crossingLists.push_back(std::make_unique<PointList>(testing::makePoints(2)));
    data.crossingParameters.emplace_back();
    data.crossingCorrections.push_back(0);
    data.currentCrossingList = data.crossingLists[0].get();
    data.paths.crossingName = data.paths.currentFileName = "R.DPA";
    doc.waveTrainMode = state == State::ResultWaveTrain ? 2 : 0;
    doc.timeDomain = state != State::Spectrum;
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
        {Command::TestParameters, {false, true, true, true, true, true}},
        {Command::WaveTrain, {false, true, true, true, true, true}},
        {Command::Invert, {false, true, true, true, true, false}},
        {Command::Filter, {false, true, true, true, true, true}},
        {Command::Merge, {true, true, true, true, true, true}},
        {Command::Contents, {false, false, false, false, false, false}},
    };
    const State states[] = {State::Empty,  State::NonCrossing,     State::RawCrossing,
                            State::Result, State::ResultWaveTrain, State::Spectrum};
    for (std::size_t s = 0; s < 6; ++s) {
        ScriptedPrompts prompts;
        Document doc{prompts, {}};
        enter(doc, states[s]);
        for (const Row& row : rows) {
            EXPECT_EQ(isAvailable(row.command, doc), row.available[s])
                << "command " << static_cast<int>(row.command) << " in state " << s;
        }
    }
}

TEST(CommandAvailability, PointSteppingStopsAtTheEnds) {
    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    enter(doc, State::NonCrossing);
    PointList& line = *doc.data().shownList;
    const struct {
        std::int32_t index;
        bool previous, next;
    } cases[] = {{0, false, true}, {1, true, true}, {2, true, false}, {7, true, true}};
    for (const auto& c : cases) {
        line.currentIndex = c.index;
        EXPECT_EQ(isAvailable(Command::PreviousPoint, doc), c.previous) << c.index;
        EXPECT_EQ(isAvailable(Command::NextPoint, doc), c.next) << c.index;
    }
}

} // namespace
} // namespace crackdepth
