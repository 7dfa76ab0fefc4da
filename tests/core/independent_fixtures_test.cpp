// Files written by an independent tool: our readers must agree with someone else's reading
// of the formats, which round trips through our own writer cannot show.
#include "core/data/result_file.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

TEST(IndependentFixtures, RawFilesReadAsTheOtherToolWroteThem) {
    struct Case {
        const char* file;
        const char* signature;
        std::int32_t pointCount;
        float distance0, delay0, gain0;
        std::int32_t arrival0;
        const char* note;
    };
    const Case cases[] = {
        {"SITE.DP0", kNonCrossingSignature, 5, 100, 4.8f, 2, 23, "SITE.DP0"},
        {"SITE_C1.DP1", kCrossingSignature, 6, 50, 9.6f, 2, 41, "SITE_C1.DP1"},
        {"SITE_C2.DP1", kCrossingSignature, 12, 50, 9.6f, 5, 92, "SITE_C2.DP1"},
    };
    for (const Case& c : cases) {
        const auto bytes = testing::readBytes(kFixtures / c.file);
        MemorySource source(bytes);
        std::uint64_t offset = 0;
        TestParameters header;
        PointList points;
        ASSERT_EQ(ReadLineBlock(source, offset, header, points), BlockStatus::Ok) << c.file;
        EXPECT_EQ(offset, bytes.size());
        EXPECT_EQ(header.signature, c.signature);
        EXPECT_EQ(header.projectName, "滨江大桥 主梁") << "the inner blank reads back whole";
        EXPECT_EQ(header.organisation, "市建设工程质量检测中心");
        EXPECT_EQ(header.testDate, "2023-6-14");
        EXPECT_EQ(header.note, c.note);
        EXPECT_EQ(header.pointCount, c.pointCount);
        EXPECT_EQ(header.sampleCount, 512);
        EXPECT_EQ(header.firstSpacing, 100.0f);
        EXPECT_EQ(header.stepPartA, 50.0f);
        EXPECT_EQ(header.step, 50.0f);
        ASSERT_EQ(points.size(), static_cast<std::size_t>(c.pointCount));
        EXPECT_EQ(points[0].distance, c.distance0);
        EXPECT_FLOAT_EQ(points[0].delay, c.delay0);
        EXPECT_EQ(points[0].gain, c.gain0);
        EXPECT_EQ(points[0].arrivalIndex, c.arrival0);
        EXPECT_FLOAT_EQ(points[0].record.samplingInterval(), 0.8f);

        // Our writer reproduces the other tool's bytes, except that the arrival time is
        // stored on the sample grid of the picked index and samples are whole numbers.
        std::vector<std::uint8_t> again;
        WriteLineBlock(again, header, points);
        auto expected = bytes;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const std::size_t record = 512 + k * recordSize(512);
            const float dt = points[k].record.samplingInterval();
            storeLE(
                &expected[record + PointRecord::kArrivalTime],
                dt * static_cast<float>(points[k].record.delaySamples() + points[k].arrivalIndex));
            for (std::size_t sample = 0; sample < 512; ++sample) {
                const std::size_t at = record + 128 + 4 * sample;
                storeLE(&expected[at], std::trunc(loadLE<float>(&expected[at])) + 0.0f);
            }
        }
        EXPECT_EQ(testing::firstDifference(again, expected), -1) << c.file;
    }
}

TEST(IndependentFixtures, ResultFileHoldsThreeLinesAndTheProjectBlock) {
    const auto bytes = testing::readBytes(kFixtures / "SITE.DPA");
    MemorySource source(bytes);
    ResultFileContents contents;
    ASSERT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
    ASSERT_EQ(contents.lines.size(), 3u);
    EXPECT_EQ(contents.lines[0].header.lineCount, 3);
    EXPECT_EQ(contents.lines[1].header.note, "SITE_C1.DP1");
    EXPECT_EQ(contents.lines[2].points.size(), 12u);
    ProjectInfo info;
    contents.projectBlock.copyInto(info);
    EXPECT_EQ(info.texts[kProjectName], "滨江大桥 主梁");
    EXPECT_EQ(info.texts[kCommissionNumber], "WT-2023-118");
    EXPECT_EQ(info.texts[kInstrumentModel], "超声波检测仪");
    EXPECT_EQ(info.texts[kReportDate], "2023-6-20");

    std::vector<LineRef> refs;
    for (const LineData& line : contents.lines) {
        refs.push_back({&line.header, &line.points});
    }
    std::vector<std::uint8_t> again;
    WriteResultFile(again, refs, contents.projectBlock);
    ASSERT_EQ(again.size(), bytes.size());
    std::size_t at = 0;
    for (const LineData& line : contents.lines) {
        for (std::size_t k = 0; k < line.points.size(); ++k) {
            const std::size_t field = at + 512 + k * recordSize(512) + PointRecord::kArrivalTime;
            std::copy_n(&bytes[field], 4, &again[field]);
        }
        at += static_cast<std::size_t>(blockSize(line.header));
    }
    EXPECT_EQ(testing::firstDifference(again, bytes), -1)
        << "blocks, reserved and zero areas and the project block";
}

} // namespace
} // namespace crackdepth
