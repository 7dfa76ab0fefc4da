#include "core/analysis/transit_time.h"
#include "core/data/result_file.h"
#include "core/document/model/result_io.h"
#include "core/document/model/scripted_prompts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

using testing::makeHeader;
using testing::makePoints;

// A document holding a result of one non-crossing line and `crossingCounts` crossing lines;
// crossing points have delays 3, 4, 5, … us so that the minimum delay matters.
DocumentData resultDocument(const std::vector<std::int32_t>& crossingCounts) {
    DocumentData data;
    data.nonCrossingList = std::make_unique<PointList>(makePoints(5));
    data.nonCrossingParameters = makeHeader(kNonCrossingSignature);
    data.nonCrossingParameters.pointCount = 5;
    for (std::size_t k = 0; k < crossingCounts.size(); ++k) {
        auto list = std::make_unique<PointList>(makePoints(crossingCounts[k]));
        for (std::size_t i = 0; i < list->size(); ++i) {
            (*list)[i].delay = 3.0f + static_cast<float>(i);
        }
        list->minDelay = list->computeMinDelay();
        data.crossingLists.push_back(std::move(list));
        TestParameters header = makeHeader(kCrossingSignature);
        header.pointCount = crossingCounts[k];
        header.note = "C" + std::to_string(k + 1) + ".DP1";
        data.crossingParameters.push_back(header);
        data.crossingCorrections.push_back(0.0f);
    }
    data.shown = ShownLine::NonCrossing;
    data.projectInfo.texts[kProjectName] = "滨江大桥 主梁";
    data.projectInfo.texts[kClient] = "市政设施管理处";
    return data;
}

std::vector<float> transitTimes(const PointList& line, float correction = 0) {
    std::vector<float> times;
    for (std::size_t i = 0; i < line.size(); ++i) {
        times.push_back(transitTime(line[i], correction, 0.0f).time);
    }
    return times;
}

TEST(CommitCorrections, ShiftsTheWaveformByTheCorrectionInWholeSamples) {
    DocumentData data = resultDocument({});
    PointList& line = *data.nonCrossingList;
    for (std::size_t i = 0; i < line.size(); ++i) {
        line[i].delay = 0; // equal to the line's minimum delay
    }
    line.minDelay = 0;
    data.correctionAll = 2.0f; // 4 samples at dt 0.5
    const auto before = line[1].samples;
    const std::int32_t arrival = line[1].arrivalIndex;
    CommitCorrections(data);
    EXPECT_EQ(line[1].originalSamples, before) << "the working waveform is the new original";
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(line[1].samples[c], kZeroLine);
    }
    for (std::size_t c = 4; c < before.size(); ++c) {
        EXPECT_EQ(line[1].samples[c], before[c - 4]);
    }
    EXPECT_EQ(line[1].arrivalIndex, arrival + 4);
    EXPECT_EQ(line[1].amplitudeIndex, arrival + 4);
    EXPECT_EQ(data.correctionAll, 0.0f);
}

TEST(CommitCorrections, ShiftsBeyondTheRecordLeaveTheZeroLine) {
    for (const float correction : {8.0f, -8.0f, 100.0f}) { // 16 samples = the whole record
        DocumentData data = resultDocument({});
        data.correctionNonCrossing = correction;
        CommitCorrections(data);
        for (const Sample s : (*data.nonCrossingList)[0].samples) {
            EXPECT_EQ(s, kZeroLine) << correction;
        }
    }
}

TEST(CommitCorrections, NormalisesDelaysAndKeepsEveryTransitTime) {
    DocumentData data = resultDocument({4, 3});
    data.crossingCorrections = {1.0f, -0.5f};
    data.correctionAll = 0.5f;
    (*data.crossingLists[1])[2].timeShift = 1.5f;
    const auto expectFirst = [&] {
        std::vector<float> times;
        for (std::size_t i = 0; i < data.crossingLists[0]->size(); ++i) {
            times.push_back(transitTime((*data.crossingLists[0])[i], 1.0f, 0.5f).time);
        }
        return times;
    }();
    const auto expectSecond = [&] {
        std::vector<float> times;
        for (std::size_t i = 0; i < data.crossingLists[1]->size(); ++i) {
            times.push_back(transitTime((*data.crossingLists[1])[i], -0.5f, 0.5f).time);
        }
        return times;
    }();
    CommitCorrections(data);
    EXPECT_EQ(transitTimes(*data.crossingLists[0]), expectFirst);
    EXPECT_EQ(transitTimes(*data.crossingLists[1]), expectSecond);
    for (std::size_t i = 0; i < data.crossingLists[0]->size(); ++i) {
        EXPECT_EQ((*data.crossingLists[0])[i].delay, 3.0f) << "every delay is the minimum";
        EXPECT_EQ((*data.crossingLists[0])[i].timeShift, 0.0f);
    }
    EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0.0f, 0.0f}));

    // Committing again changes nothing.
    const auto samples = (*data.crossingLists[0])[3].samples;
    CommitCorrections(data);
    EXPECT_EQ((*data.crossingLists[0])[3].samples, samples);
    EXPECT_EQ(transitTimes(*data.crossingLists[0]), expectFirst);
}

TEST(ResultIo, ThreeCrackResultSavesAndReopensWithTheSameNumbers) {
    testing::TempDir dir;
    const std::string path = (dir.path() / "BRIDGE.DPA").string();
    DocumentData saved = resultDocument({4, 6, 3});
    saved.crossingCorrections[1] = 1.0f;
    ScriptedPrompts prompts;
    CommitCorrections(saved); // as every save does first
    ASSERT_TRUE(WriteResult(path, saved, prompts));
    EXPECT_TRUE(prompts.shown.empty());

    DocumentData reopened;
    ASSERT_TRUE(ReadResult(path, reopened, prompts));
    EXPECT_TRUE(prompts.shown.empty());
    ASSERT_EQ(reopened.crossingLists.size(), 3u);
    EXPECT_EQ(reopened.nonCrossingParameters.lineCount, 4);
    EXPECT_EQ(reopened.crossingCorrections, (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(reopened.correctionAll, 0.0f);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(transitTimes(*reopened.crossingLists[k]), transitTimes(*saved.crossingLists[k]))
            << "crossing line " << k + 1;
        EXPECT_EQ(reopened.crossingParameters[k].note, saved.crossingParameters[k].note);
        EXPECT_EQ(reopened.crossingLists[k]->minDelay, 3.0f);
    }
    EXPECT_EQ(transitTimes(*reopened.nonCrossingList), transitTimes(*saved.nonCrossingList));
    EXPECT_EQ(reopened.projectInfo.texts[kProjectName], "滨江大桥 主梁");
    EXPECT_EQ(reopened.projectInfo.texts[kClient], "市政设施管理处");
    EXPECT_EQ(reopened.shownList(), reopened.nonCrossingList.get());
    EXPECT_EQ(reopened.currentCrossingList(), reopened.crossingLists[0].get());
    EXPECT_EQ(reopened.paths.currentFileName, "BRIDGE.DPA");
    EXPECT_EQ(reopened.paths.currentBaseName, "BRIDGE");
    EXPECT_EQ(reopened.paths.crossingPath, path);
    EXPECT_EQ(reopened.nonCrossingParameters.referenceDistance, 100.0f)
        << "the distance of the reference point";
}

TEST(ResultIo, AResultWithoutCrossingLinesCannotBeWrittenBack) {
    testing::TempDir dir;
    const std::string path = (dir.path() / "ONLY.DPA").string();
    std::vector<std::uint8_t> bytes;
    TestParameters header = makeHeader(kNonCrossingSignature);
    header.lineCount = 1;
    const PointList points = makePoints(3);
    const LineRef line{&header, &points};
    WriteResultFile(bytes, {&line, 1}, {});
    testing::writeBytes(path, bytes);

    DocumentData data;
    ScriptedPrompts prompts;
    ASSERT_TRUE(ReadResult(path, data, prompts));
    EXPECT_TRUE(data.crossingLists.empty());
    EXPECT_EQ(data.currentCrossingList(), nullptr);
    EXPECT_FALSE(WriteResult(path, data, prompts));
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"暂时无法保存此文件类型！"});
    EXPECT_EQ(testing::readBytes(path), bytes);
}

TEST(ResultIo, FailuresLeaveDocumentAndFilesAsTheyWere) {
    testing::TempDir dir;
    const std::string good = (dir.path() / "GOOD.DPA").string();
    DocumentData data = resultDocument({4});
    ScriptedPrompts prompts;
    ASSERT_TRUE(WriteResult(good, data, prompts));
    const auto goodBytes = testing::readBytes(good);

    // A damaged file is refused and the open document keeps its lines.
    auto cut = goodBytes;
    cut.resize(cut.size() - 100);
    const std::string damaged = (dir.path() / "CUT.DPA").string();
    testing::writeBytes(damaged, cut);
    PointList* before = data.nonCrossingList.get();
    EXPECT_FALSE(ReadResult(damaged, data, prompts));
    EXPECT_EQ(prompts.messages(),
              std::vector<std::string>{"无法识别的文件类型！\n文件长度与文件头不符：文件长 " +
                                       std::to_string(cut.size()) + " 字节，文件头要求至少 " +
                                       std::to_string(goodBytes.size()) + " 字节"});
    EXPECT_EQ(data.nonCrossingList.get(), before);
    EXPECT_EQ(data.crossingLists.size(), 1u);

    // A write that cannot complete is reported and the previous file stays.
    prompts.shown.clear();
    EXPECT_FALSE(WriteResult((dir.path() / "missing" / "X.DPA").string(), data, prompts));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].rfind("文件保存失败！", 0), 0u);
    EXPECT_EQ(testing::readBytes(good), goodBytes);
}

} // namespace
} // namespace crackdepth
