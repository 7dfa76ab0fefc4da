#include "core/common/bytes.h"
#include "core/data/line_block.h"
#include "test_support.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace crackdepth {
namespace {

using testing::makeHeader;
using testing::makePoints;

std::vector<std::uint8_t> blockBytes(const TestParameters& header, const PointList& list) {
    std::vector<std::uint8_t> out;
    WriteLineBlock(out, header, list);
    return out;
}

struct ReadBack {
    BlockStatus status;
    TestParameters header;
    PointList points;
    std::uint64_t offset = 0;
};

ReadBack readBack(const std::vector<std::uint8_t>& bytes) {
    MemorySource source(bytes);
    ReadBack result;
    result.status = ReadLineBlock(source, result.offset, result.header, result.points);
    return result;
}

constexpr std::size_t kRecordsAt = 512;
constexpr std::size_t kSlotsAt = 0x110;

// Offsets of the sample floats and record fields of point k in a written block.
std::size_t sampleAt(std::int32_t sampleCount, std::size_t k, std::size_t c) {
    return kRecordsAt + k * recordSize(sampleCount) + 128 + 4 * c;
}
std::size_t recordAt(std::int32_t sampleCount, std::size_t k, std::size_t field) {
    return kRecordsAt + k * recordSize(sampleCount) + field;
}

TEST(LineBlock, SizeOfTenPointsOf512Samples) {
    const auto bytes = blockBytes(makeHeader(kNonCrossingSignature, 512), makePoints(10, 512));
    EXPECT_EQ(bytes.size(), 22272u);
}

TEST(LineBlock, WriteReadRoundTripKeepsPointsTextsSlotsAndRecords) {
    TestParameters header = makeHeader(kCrossingSignature);
    header.projectName = "滨江 大桥 主梁 "; // inner and trailing blanks are part of the text
    header.organisation = "😀 surrogate pair";
    header.originOffset = 50;
    header.referenceDistance = 250;
    header.referencePoint = 4;
    header.zeroCalibration = 1.25f;
    header.reservedSlot6 = 0xDEADBEEF;
    header.lineFlag = 1;
    header.reversalIndex = 3;
    header.lineCount = 7;
    header.lineDate = {2024, 5, 6, {0xAB, 0xCD}};
    header.reservedIntegers = {11, 0xFFFFFFFF};
    header.countCopy = 5; // as a read header holds it
    PointList points = makePoints(5);
    points[2].record.setStoredLevelA(-1234.5f);
    points[2].record.setStoredLevelB(0.1f);
    points[2].record.setManualMark(8000.0f);
    points[3].kept = 0;

    const auto bytes = blockBytes(header, points);
    const ReadBack back = readBack(bytes);
    ASSERT_EQ(back.status, BlockStatus::Ok);
    EXPECT_EQ(back.offset, bytes.size());
    EXPECT_EQ(back.header.fileId, "UlkWinID");
    EXPECT_EQ(back.header.signature, header.signature);
    EXPECT_EQ(back.header.projectName, header.projectName);
    EXPECT_EQ(back.header.organisation, header.organisation);
    EXPECT_EQ(back.header.operatorName, header.operatorName);
    EXPECT_EQ(back.header.testDate, header.testDate);
    EXPECT_EQ(back.header.note, header.note);
    EXPECT_EQ(back.header.instrumentId, "");
    EXPECT_EQ(back.header.pointCount, 5);
    EXPECT_EQ(back.header.countCopy, 5);
    EXPECT_EQ(back.header.originOffset, 50.0f);
    EXPECT_EQ(back.header.firstSpacing, 100.0f);
    EXPECT_EQ(back.header.referenceDistance, 250.0f);
    EXPECT_EQ(back.header.step, 50.0f);
    EXPECT_EQ(back.header.referencePoint, 4);
    EXPECT_EQ(back.header.zeroCalibration, 1.25f);
    EXPECT_EQ(back.header.reservedSlot6, 0xDEADBEEF);
    EXPECT_EQ(back.header.lineFlag, 1);
    EXPECT_EQ(back.header.reversalIndex, 3);
    EXPECT_EQ(back.header.lineCount, 7);
    EXPECT_EQ(back.header.lineDate, header.lineDate);
    EXPECT_EQ(back.header.reservedIntegers, header.reservedIntegers);

    ASSERT_EQ(back.points.size(), points.size());
    EXPECT_EQ(back.points.sampleCount, 16);
    for (std::size_t k = 0; k < points.size(); ++k) {
        const MeasuringPoint& in = points[k];
        const MeasuringPoint& out = back.points[k];
        EXPECT_EQ(out.samples, in.samples);
        EXPECT_EQ(out.originalSamples, in.samples);
        EXPECT_EQ(out.distance, in.distance);
        EXPECT_EQ(out.delay, in.delay);
        EXPECT_EQ(out.arrivalIndex, in.arrivalIndex);
        EXPECT_EQ(out.amplitudeIndex, in.arrivalIndex);
        EXPECT_EQ(out.gain, in.gain);
        EXPECT_EQ(out.kept, in.kept);
        EXPECT_EQ(out.record.manualMark(), in.record.manualMark());
        EXPECT_EQ(out.record.levelA(), in.record.levelA());
    }
    // A second write reproduces the file byte for byte: nothing drifts, levels included.
    const auto again = blockBytes(back.header, back.points);
    EXPECT_EQ(testing::firstDifference(again, bytes), -1);
}

TEST(LineBlock, TextFieldsPadWithNulAndCutAtTheirWidth) {
    TestParameters header = makeHeader(kNonCrossingSignature);
    header.projectName = "Bridge 3";
    header.operatorName = "ABCDEFGHIJKLMNOPQ"; // 17 characters in a 16-wide field
    header.note = std::string(45, 'n');
    const auto bytes = blockBytes(header, PointList{});
    // "Bridge 3" keeps its blank and is padded with U+0000.
    EXPECT_EQ(loadLE<std::uint16_t>(&bytes[0x40 + 2 * 6]), u' ');
    EXPECT_EQ(loadLE<std::uint16_t>(&bytes[0x40 + 2 * 8]), 0);
    const ReadBack back = readBack(bytes);
    EXPECT_EQ(back.header.projectName, "Bridge 3");
    EXPECT_EQ(back.header.operatorName, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(back.header.note, std::string(40, 'n'));
}

TEST(LineBlock, ZeroPointLineIsABareHeader) {
    const auto bytes = blockBytes(makeHeader(kNonCrossingSignature), PointList{});
    ASSERT_EQ(bytes.size(), 512u);
    const ReadBack back = readBack(bytes);
    ASSERT_EQ(back.status, BlockStatus::Ok);
    EXPECT_TRUE(back.points.empty());
}

TEST(LineBlock, StoredSampleFloatsConvertByTruncation) {
    struct Case {
        float stored;
        Sample expected;
    };
    const Case cases[] = {
        {-3000.7f, 64584}, // -3000 + 2048 kept as 16 bits
        {100.9f, 2148},
        {-0.9f, 2048},
        {0.0f, 2048},
        {std::numeric_limits<float>::quiet_NaN(), 2048},
        {std::numeric_limits<float>::infinity(), 2047}, // saturated, then kept as 16 bits
    };
    const TestParameters header = makeHeader(kNonCrossingSignature, 1);
    const PointList points = makePoints(1, 1);
    auto bytes = blockBytes(header, points);
    for (const Case& c : cases) {
        storeLE(&bytes[sampleAt(1, 0, 0)], c.stored);
        const ReadBack back = readBack(bytes);
        ASSERT_EQ(back.status, BlockStatus::Ok);
        EXPECT_EQ(back.points[0].samples[0], c.expected) << c.stored;
    }
}

TEST(LineBlock, DistanceComesFromThePositionPair) {
    struct Case {
        float start, end, expected;
    };
    const Case cases[] = {{0.1f, 0.35f, 250}, {0.2f, 0.2f, 0}, {0.1f, 0.05f, -50}};
    auto bytes = blockBytes(makeHeader(kNonCrossingSignature, 1), makePoints(1, 1));
    for (const Case& c : cases) {
        storeLE(&bytes[recordAt(1, 0, PointRecord::kStartPosition)], c.start);
        storeLE(&bytes[recordAt(1, 0, PointRecord::kEndPosition)], c.end);
        EXPECT_EQ(readBack(bytes).points[0].distance, c.expected) << c.start << " " << c.end;
    }
}

TEST(LineBlock, DelayAndArrivalStoredFormsTruncate) {
    struct Case {
        float dt, delay;
        std::int32_t arrival;
        std::int32_t delaySamples;
        float arrivalTime;
        float delayBack;
    };
    const Case cases[] = {
        {0.5f, 10.0f, 100, 20, 60.0f, 10.0f},
        // 10 / 0.4f is just below 25: the division truncates to 24 samples.
        {0.4f, 10.0f, 100, 24, 0.4f * 124, 24 * 0.4f},
    };
    for (const Case& c : cases) {
        PointList points = makePoints(1, 4, c.dt);
        points[0].delay = c.delay;
        points[0].arrivalIndex = c.arrival;
        const auto bytes = blockBytes(makeHeader(kNonCrossingSignature, 4), points);
        EXPECT_EQ(loadLE<std::int32_t>(&bytes[recordAt(4, 0, PointRecord::kDelaySamples)]),
                  c.delaySamples);
        EXPECT_EQ(loadLE<float>(&bytes[recordAt(4, 0, PointRecord::kArrivalTime)]), c.arrivalTime);
        const ReadBack back = readBack(bytes);
        EXPECT_EQ(back.points[0].delay, c.delayBack);
        EXPECT_EQ(back.points[0].arrivalIndex, c.arrival);
        EXPECT_EQ(points[0].record.delaySamples(), 0)
            << "the in-memory record is not patched by writing";
    }
}

TEST(LineBlock, StoredKeepFlagOtherThanZeroOrOneReadsAsExcluded) {
    auto bytes = blockBytes(makeHeader(kNonCrossingSignature, 1), makePoints(1, 1));
    for (const auto& [stored, expected] : {std::pair{5, 0}, {1, 1}, {0, 0}, {-1, 0}}) {
        storeLE(&bytes[recordAt(1, 0, PointRecord::kStoredKept)], std::int32_t{stored});
        EXPECT_EQ(readBack(bytes).points[0].kept, expected) << stored;
    }
}

TEST(LineBlock, GeometrySlotsAreMetresInTheFile) {
    TestParameters header = makeHeader(kNonCrossingSignature);
    header.originOffset = 50;
    header.firstSpacing = 100;
    header.stepPartA = 30;
    header.stepPartB = 20;
    header.step = 999; // recomputed on reading
    header.countCopy = 77;
    const auto bytes = blockBytes(header, PointList{});
    EXPECT_FLOAT_EQ(loadLE<float>(&bytes[kSlotsAt + 0]), -0.05f);
    EXPECT_FLOAT_EQ(loadLE<float>(&bytes[kSlotsAt + 4]), 0.1f);
    EXPECT_EQ(loadLE<float>(&bytes[kSlotsAt + 44]), 999.0f) << "slot 11 is written as held";
    const ReadBack back = readBack(bytes);
    EXPECT_EQ(back.header.originOffset, 50.0f);
    EXPECT_EQ(back.header.step, 50.0f);
    EXPECT_EQ(back.header.countCopy, 0) << "slot 10 becomes the point count";
}

TEST(LineBlock, DamagedOrForeignBlocksAreRefusedBeforeReadingPoints) {
    const TestParameters header = makeHeader(kNonCrossingSignature, 8);
    const auto good = blockBytes(header, makePoints(3, 8));
    struct Case {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"shorter than a header", [](auto& b) { b.resize(511); }},
        {"empty file", [](auto& b) { b.clear(); }},
        {"foreign file id", [](auto& b) { b[0] = 'X'; }},
        {"negative point count", [](auto& b) { storeLE(&b[0x100], std::int32_t{-1}); }},
        {"point count above 65535", [](auto& b) { storeLE(&b[0x100], std::int32_t{65536}); }},
        {"sample count 0", [](auto& b) { storeLE(&b[0x104], std::int32_t{0}); }},
        {"sample count above 2^20", [](auto& b) { storeLE(&b[0x104], std::int32_t{1048577}); }},
        {"last record cut short", [](auto& b) { b.pop_back(); }},
        {"more points than the file holds", [](auto& b) { storeLE(&b[0x100], std::int32_t{4}); }},
        {"huge block claimed by a tiny file",
         [](auto& b) {
             b.resize(512);
             storeLE(&b[0x100], std::int32_t{65535});
             storeLE(&b[0x104], std::int32_t{1048576});
         }},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        c.damage(bytes);
        ReadBack back = readBack(bytes);
        EXPECT_EQ(back.status, BlockStatus::Unrecognised) << c.what;
        EXPECT_TRUE(back.points.empty()) << c.what;
    }
}

TEST(LineBlock, SecondBlockIsReadFromTheAdvancedOffset) {
    std::vector<std::uint8_t> bytes;
    WriteLineBlock(bytes, makeHeader(kNonCrossingSignature), makePoints(2));
    WriteLineBlock(bytes, makeHeader(kCrossingSignature, 8), makePoints(3, 8));
    MemorySource source(bytes);
    std::uint64_t offset = 0;
    TestParameters header;
    PointList points;
    ASSERT_EQ(ReadLineBlock(source, offset, header, points), BlockStatus::Ok);
    EXPECT_EQ(offset, 512 + 2 * recordSize(16));
    ASSERT_EQ(ReadLineBlock(source, offset, header, points), BlockStatus::Ok);
    EXPECT_EQ(header.signature, kCrossingSignature);
    EXPECT_EQ(points.size(), 3u);
    EXPECT_EQ(offset, bytes.size());
}

} // namespace
} // namespace crackdepth
