#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/model/view_state.h"
#include "document_support.h"
#include "test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace crackdepth {
namespace {

using testing::EventLog;
using testing::makeHeader;
using testing::makePoints;
using testing::TempDir;

TestParameters headerFor(const char* signature, std::int32_t count, std::string note) {
    TestParameters header = makeHeader(signature);
    header.pointCount = count;
    header.countCopy = count;
    header.referencePoint = count;
    header.note = std::move(note);
    return header;
}

// A result document: a non-crossing line of `nonCrossing` points and crossing lines of the given
// point counts (points at 100, 150, … mm, no delays), with tab 0 selected.
DocumentData resultData(std::int32_t nonCrossing, const std::vector<std::int32_t>& crossing) {
    DocumentData data;
    const auto line = [](std::int32_t count) {
        auto list = std::make_unique<PointList>(makePoints(count));
        for (std::size_t i = 0; i < list->size(); ++i) {
            (*list)[i].delay = 0;
        }
        return list;
    };
    data.nonCrossingList = line(nonCrossing);
    data.nonCrossingParameters = headerFor(kNonCrossingSignature, nonCrossing, "SITE.DP0");
    data.nonCrossingParameters.lineCount = static_cast<std::int32_t>(1 + crossing.size());
    for (std::size_t k = 0; k < crossing.size(); ++k) {
        data.crossingLists.push_back(line(crossing[k]));
        data.crossingParameters.push_back(
            headerFor(kCrossingSignature, crossing[k], "C" + std::to_string(k + 1) + ".DP1"));
        data.crossingCorrections.push_back(0.1f * static_cast<float>(k + 1));
    }
    data.shown = ShownLine::NonCrossing;
    return data;
}

// Gives the document `data`, selects tab `tab` and makes point `current` of the shown line
// current.
void load(Document& doc, DocumentData data, std::int32_t tab = 0,
          std::optional<std::int32_t> current = std::nullopt) {
    doc.Load(std::move(data));
    doc.SelectTab(tab);
    if (current) {
        doc.SelectPoint(*doc.data().shownId(), *current);
    }
}

std::vector<float> distances(const PointList& line) {
    std::vector<float> values;
    for (std::size_t i = 0; i < line.size(); ++i) {
        values.push_back(line[i].distance);
    }
    return values;
}

TEST(PointMenu, EnablingFollowsTheShownLineTheCopyAndThePointsMark) {
    using E = PointMenuEnabling;
    struct Case {
        const char* name;
        std::int32_t tab;
        bool plotClick; // the non-crossing line shown under the tab
        bool copied;
        float mark;
        bool reversal;
        E expected;
    };
    const Case cases[] = {
        {"non-crossing line", 0, false, false, 0, false,
         E{true, false, true, false, false, false, false}},
        {"non-crossing after a copy", 0, false, true, 0, false,
         E{true, true, true, false, false, false, false}},
        {"non-crossing under a crossing tab", 1, true, false, 0, true,
         E{true, false, true, false, false, false, false}},
        {"crossing, automatic point", 1, false, false, 0, false,
         E{true, false, true, true, false, true, true}},
        {"crossing, reversal set", 1, false, true, 0, true,
         E{true, true, true, true, true, true, true}},
        {"crossing, manually excluded", 1, false, false, 8000, false,
         E{true, false, true, true, false, false, true}},
        {"crossing, manually kept (999.5)", 1, false, false, 999.5f, false,
         E{true, false, true, true, false, true, false}},
        {"crossing, mark 1002 is automatic", 1, false, false, 1002, false,
         E{true, false, true, true, false, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData data = resultData(4, {4});
        data.crossingParameters[0].lineFlag = c.reversal ? 1 : 0;
        (*data.crossingLists[0])[1].record.setManualMark(c.mark);
        load(doc, std::move(data), c.tab);
        if (c.plotClick) {
            ShowNonCrossingPoint(doc, 1);
        }
        doc.SelectPoint(*doc.data().shownId(), 1);
        PointClipboard clipboard;
        if (c.copied) {
            CopyPoint(doc, clipboard);
        }
        EXPECT_EQ(pointMenuEnabling(doc.data(), clipboard), c.expected);
    }
    ScriptedPrompts prompts;
    Document empty(prompts, {});
    EXPECT_EQ(pointMenuEnabling(empty.data(), {}), PointMenuEnabling{}) << "no point, no entry";
}

TEST(DeletePoint, LimitsKeepThreePointsOnTheNonCrossingAndOnTheOnlyCrossingLine) {
    struct Case {
        const char* name;
        std::int32_t tab;
        std::vector<std::int32_t> crossing; // with `raw`, the points of a crossing raw file
        bool raw;
        std::int32_t nonCrossing;
        std::string message; // empty: the point is deleted
    };
    const std::string nonCrossingLimit = "不跨裂缝波形数量小于3个，您将不能继续删除了！";
    const std::string crossingLimit = "跨裂缝波形数量小于3个，您将不能继续删除了！";
    const Case cases[] = {
        {"non-crossing line of 3", 0, {3}, false, 3, ""},
        {"non-crossing line of 2", 0, {3}, false, 2, nonCrossingLimit},
        {"only crossing line of 3", 1, {3}, false, 3, ""},
        {"only crossing line of 2", 1, {2}, false, 3, crossingLimit},
        {"crossing raw line of 2", 1, {2}, true, 3, crossingLimit},
        {"one of two crossing lines, 2 points", 1, {2, 2}, false, 3, ""},
        {"one of two crossing lines, 1 point", 2, {2, 1}, false, 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData data =
            resultData(c.nonCrossing, c.raw ? std::vector<std::int32_t>{} : c.crossing);
        if (c.raw) {
            data.rawCrossingList = std::make_unique<PointList>(makePoints(c.crossing[0]));
            data.rawCrossingParameters = headerFor(kCrossingSignature, c.crossing[0], "R.DP1");
        }
        load(doc, std::move(data), c.tab);
        const std::size_t before = doc.data().shownList()->size();
        const PointList* shown = doc.data().shownList();
        const bool deleted = DeletePoint(doc);
        EXPECT_EQ(deleted, c.message.empty());
        EXPECT_EQ(prompts.messages(), c.message.empty() ? std::vector<std::string>{}
                                                        : std::vector<std::string>{c.message});
        EXPECT_EQ(doc.IsModified(), deleted);
        if (!deleted) {
            EXPECT_EQ(shown->size(), before);
        }
    }
}

TEST(DeletePoint, RemovesTheCurrentPointAndStepsBack) {
    struct Case {
        std::int32_t current;
        std::vector<float> remaining;
        std::int32_t currentAfter;
    };
    const Case cases[] = {
        {0, {150, 200, 250}, 0},
        {2, {100, 150, 250}, 1},
        {3, {100, 150, 200}, 2},
        {8, {100, 150, 200}, 2}, // a stale index stands for the last point
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData data = resultData(4, {3});
        data.nonCrossingList->currentIndex = c.current;
        doc.Load(std::move(data));
        EventLog log;
        doc.addListener(&log);
        ASSERT_TRUE(DeletePoint(doc));
        EXPECT_EQ(distances(*doc.data().nonCrossingList), c.remaining);
        EXPECT_EQ(doc.data().nonCrossingList->currentIndex, c.currentAfter);
        EXPECT_EQ(doc.data().nonCrossingParameters.pointCount, 3);
        EXPECT_EQ(doc.data().nonCrossingParameters.countCopy, 3);
        ASSERT_EQ(log.changes.size(), 1u);
        EXPECT_TRUE(log.changes[0].has(DocumentChange::Data));
        EXPECT_EQ(log.changes[0].line, kNonCrossingLine);
        EXPECT_EQ(doc.undoable()->name(), "删除测点");
        doc.removeListener(&log);
    }
}

TEST(DeletePoint, TheReferencePointKeepsNamingTheSamePoint) {
    struct Case {
        std::int32_t reference; // 1-based
        std::int32_t deleted;   // 0-based
        std::int32_t expected;
    };
    const Case cases[] = {
        {4, 3, 3}, // the last point was the reference: the new last point is
        {4, 1, 3}, // a point before it: same point, one number lower
        {2, 3, 2}, // a point after it: unchanged
        {3, 2, 2}, // the reference point itself: the point before it
        {1, 0, 1}, // never below the first point
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.reference << " " << c.deleted);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData data = resultData(4, {3});
        data.nonCrossingParameters.referencePoint = c.reference;
        load(doc, std::move(data), 0, c.deleted);
        ASSERT_TRUE(DeletePoint(doc));
        EXPECT_EQ(doc.data().nonCrossingParameters.referencePoint, c.expected);
    }
}

TEST(DeletePoint, TheCrossingLinesHeaderFollows) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    load(doc, resultData(3, {5, 4}), 2, 3);
    ASSERT_TRUE(DeletePoint(doc));
    const TestParameters& header = doc.data().currentCrossingParameters();
    EXPECT_EQ(&header, &doc.data().crossingParameters[1]);
    EXPECT_EQ(header.pointCount, 3);
    EXPECT_EQ(header.countCopy, 3);
    EXPECT_EQ(header.referencePoint, 3);
    EXPECT_EQ(doc.data().crossingParameters[0].pointCount, 5) << "the other line is untouched";
}

TEST(DeletePoint, AnEmptiedCrossingLineIsRemovedWithItsTab) {
    struct Case {
        std::int32_t lineCount;
        std::int32_t lineCountAfter;
    };
    for (const Case& c : {Case{4, 3}, Case{1, 1}, Case{0, 1}}) {
        SCOPED_TRACE(c.lineCount);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData loaded = resultData(3, {3, 1, 2});
        loaded.nonCrossingParameters.lineCount = c.lineCount;
        load(doc, std::move(loaded), 2);
        ViewState view;
        view.waveTrainMode = 1;
        const DocumentData& data = doc.data();
        const PointList* first = data.crossingLists[0].get();
        const PointList* third = data.crossingLists[2].get();
        EventLog log;
        doc.addListener(&log);
        ASSERT_TRUE(DeletePoint(doc));
        FollowTab(view, data);
        EXPECT_TRUE(prompts.messages().empty());
        ASSERT_EQ(data.crossingLists.size(), 2u);
        EXPECT_EQ(data.crossingLists[0].get(), first);
        EXPECT_EQ(data.crossingLists[1].get(), third);
        EXPECT_EQ(data.crossingParameters[1].note, "C3.DP1");
        EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0.1f, 0.3f}));
        EXPECT_EQ(data.nonCrossingParameters.lineCount, c.lineCountAfter);
        EXPECT_EQ(data.currentTab, 0);
        EXPECT_EQ(data.shownList(), data.nonCrossingList.get());
        EXPECT_EQ(data.currentCrossingList(), first) << "never a freed line";
        EXPECT_EQ(view.waveTrainMode, 2) << "the wave train follows tab 0";
        EXPECT_EQ(tabLabels(data), (std::vector<std::string>{"SITE", "C1", "C3"}));
        EXPECT_TRUE(log.saw(DocumentChange::Tabs));
        EXPECT_TRUE(doc.IsModified());
        doc.removeListener(&log);
    }
}

TEST(PastePoint, TakesTheCopysMeasurementButKeepsTheTargetsDistanceThroughASave) {
    TempDir dir;
    const std::string path = (dir.path() / "PASTE.DPA").string();
    {
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData data = resultData(3, {3, 3});
        MeasuringPoint& stored = (*data.crossingLists[0])[2];
        stored.arrivalIndex = 7;
        stored.gain = 9;
        stored.record.setManualMark(kManualExcludeMark);
        stored.samples[5] = 4000;
        stored.record.setStartPosition(0.05f); // stored positions of the same 200 mm
        stored.record.setEndPosition(0.25f);
        (*data.crossingLists[1])[0].kept = 1;
        load(doc, std::move(data), 2);
        PointClipboard clipboard;
        EXPECT_FALSE(PastePoint(doc, clipboard)) << "nothing copied yet";
        EXPECT_FALSE(doc.IsModified());

        doc.SelectTab(1);
        doc.SelectPoint(*doc.data().shownId(), 2);
        const MeasuringPoint& source = (*doc.data().crossingLists[0])[2];
        ASSERT_TRUE(CopyPoint(doc, clipboard));

        doc.SelectTab(2);
        doc.SelectPoint(*doc.data().shownId(), 0);
        const MeasuringPoint& target = (*doc.data().crossingLists[1])[0];
        ASSERT_TRUE(PastePoint(doc, clipboard));
        EXPECT_EQ(target.distance, 100.0f);
        EXPECT_EQ(target.kept, 1);
        EXPECT_EQ(target.samples, source.samples);
        EXPECT_EQ(target.originalSamples, source.originalSamples);
        EXPECT_EQ(target.arrivalIndex, 7);
        EXPECT_EQ(target.gain, 9.0f);
        EXPECT_EQ(target.record.manualMark(), kManualExcludeMark);
        EXPECT_TRUE(doc.IsModified());
        ASSERT_TRUE(doc.SaveDocument(path));
    }
    ScriptedPrompts prompts;
    Document reopened(prompts, {});
    ASSERT_TRUE(reopened.OpenDocument(path));
    const PointList& line = *reopened.data().crossingLists[1];
    EXPECT_EQ(line[0].distance, 100.0f) << "the pasted point comes back at its own distance";
    EXPECT_EQ(line[0].arrivalIndex, 7);
    EXPECT_EQ(line[0].samples[5], 4000);
    EXPECT_EQ(line[0].record.manualMark(), kManualExcludeMark);
}

TEST(PastePoint, TheWaveformTakesTheTargetLinesSampleCount) {
    for (const std::int32_t count : {8, 16, 24}) {
        SCOPED_TRACE(count);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData data = resultData(3, {3});
        *data.crossingLists[0] = makePoints(3, count);
        load(doc, std::move(data));
        PointClipboard clipboard;
        ASSERT_TRUE(CopyPoint(doc, clipboard)); // 16 samples
        const std::vector<Sample> copied = clipboard.point->samples;
        doc.SelectTab(1);
        ASSERT_TRUE(PastePoint(doc, clipboard));
        const MeasuringPoint& target = (*doc.data().crossingLists[0])[0];
        ASSERT_EQ(target.samples.size(), static_cast<std::size_t>(count));
        ASSERT_EQ(target.originalSamples.size(), static_cast<std::size_t>(count));
        for (std::size_t c = 0; c < target.samples.size(); ++c) {
            EXPECT_EQ(target.samples[c], c < copied.size() ? copied[c] : kZeroLine) << c;
        }
    }
}

TEST(ManualMarks, WriteTheMarkAndKeptOfTheSelectedCrossingPointOnly) {
    struct Case {
        const char* name;
        bool (*command)(Document&);
        std::int32_t tab;
        float mark;
        bool changes;
        float markAfter;
        std::int32_t keptAfter;
    };
    const Case cases[] = {
        {"exclude an automatic point", MarkManualExclude, 1, 0, true, 8000, 0},
        {"keep an excluded point", MarkManualKeep, 1, 8000, true, 1000, 1},
        {"exclude a kept point", MarkManualExclude, 1, 1000, true, 8000, 0},
        {"keep a kept point (1001.5)", MarkManualKeep, 1, 1001.5f, false, 1001.5f, 5},
        {"exclude on the non-crossing line", MarkManualExclude, 0, 0, false, 0, 5},
        {"keep on the non-crossing line", MarkManualKeep, 0, 0, false, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData data = resultData(3, {3});
        for (PointList* line : {data.nonCrossingList.get(), data.crossingLists[0].get()}) {
            (*line)[1].record.setManualMark(c.mark);
            (*line)[1].kept = 5; // neither value, to see whether it is written
        }
        load(doc, std::move(data), c.tab, 1);
        const MeasuringPoint& point = (*doc.data().shownList())[1];
        EXPECT_EQ(c.command(doc), c.changes);
        EXPECT_EQ(point.record.manualMark(), c.markAfter);
        EXPECT_EQ(point.kept, c.keptAfter);
        EXPECT_EQ(doc.IsModified(), c.changes);
    }
}

TEST(ReversalPoint, IsStoredWithItsLineAndComesBackWithItsTab) {
    ScriptedPrompts prompts;
    Document doc(prompts, {});
    load(doc, resultData(3, {4, 4}), 1, 2);
    const DocumentData& data = doc.data();
    ASSERT_TRUE(SetReversalPoint(doc));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(data.crossingParameters[0].lineFlag, 1);
    EXPECT_EQ(data.crossingParameters[0].reversalIndex, 2);
    EXPECT_FALSE(SetReversalPoint(doc)) << "already there";

    doc.SelectTab(2);
    EXPECT_FALSE(currentReversal(data).set) << "the other line has its own";
    EXPECT_FALSE(ClearReversalPoint(doc)) << "nothing to clear there";
    doc.SelectTab(1);
    EXPECT_TRUE(currentReversal(data).set);
    EXPECT_EQ(currentReversal(data).index, 2);

    doc.SelectPoint(*data.shownId(), 0); // setting it again moves it
    ASSERT_TRUE(SetReversalPoint(doc));
    EXPECT_EQ(data.crossingParameters[0].reversalIndex, 0);

    ASSERT_TRUE(ClearReversalPoint(doc));
    EXPECT_EQ(data.crossingParameters[0].lineFlag, 0);
    EXPECT_EQ(data.crossingParameters[0].reversalIndex, 0) << "the index is left as it was";
}

TEST(ReversalPoint, NeverWritesTheNonCrossingHeader) {
    // Slot 12 of the non-crossing header is the analysis method.
    for (const bool plotClick : {false, true}) {
        SCOPED_TRACE(plotClick);
        ScriptedPrompts prompts;
        Document doc(prompts, {});
        DocumentData loaded = resultData(3, {3});
        loaded.nonCrossingParameters.lineFlag = 1;
        load(doc, std::move(loaded), plotClick ? 1 : 0);
        ShowNonCrossingPoint(doc, 2);
        const DocumentData& data = doc.data();
        EXPECT_FALSE(SetReversalPoint(doc));
        EXPECT_FALSE(ClearReversalPoint(doc));
        EXPECT_EQ(data.nonCrossingParameters.lineFlag, 1);
        EXPECT_EQ(data.nonCrossingParameters.reversalIndex, 0);
        EXPECT_EQ(data.crossingParameters[0].lineFlag, 0);
        EXPECT_FALSE(doc.IsModified());
    }
}

} // namespace
} // namespace crackdepth
