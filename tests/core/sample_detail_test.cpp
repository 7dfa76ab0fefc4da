// Reading without the waveforms: the same points, refusals and analysis as a whole read, for
// the measurement files as they are and for damaged copies of them.
#include "core/data/line_block.h"
#include "core/data/measurement_file.h"
#include "core/data/sample_detail.h"
#include "test_support.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

TEST(SampleDetail, TheFilesReadToTheSamePointsWithoutTheirWaveforms) {
    for (const char* name : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
        SCOPED_TRACE(name);
        MeasurementFile whole;
        MeasurementFile records;
        OpenFailure failure;
        ASSERT_TRUE(openMeasurementFile(kFixtures / name, whole, failure));
        ASSERT_TRUE(
            openMeasurementFile(kFixtures / name, records, failure, SampleDetail::AmplitudeOnly));
        ASSERT_EQ(records.lines.size(), whole.lines.size());
        for (std::size_t k = 0; k < whole.lines.size(); ++k) {
            EXPECT_TRUE(sameRecords(records.lines[k].points, whole.lines[k].points));
            EXPECT_TRUE(records.lines[k].points[0].samples.empty());
            EXPECT_EQ(records.lines[k].header.note, whole.lines[k].header.note);
        }
        EXPECT_EQ(records.projectBlock.texts, whole.projectBlock.texts);
    }
}

// Damaged copies: cut short anywhere (the blocks then no longer fit the file and both
// readers refuse), or with garbage in the waveforms only (both read the same records).
TEST(SampleDetail, DamagedFilesAreRefusedOrReadAlike) {
    const auto bytes = testing::readBytes(kFixtures / "SITE.DPA");
    const auto compare = [](const std::vector<std::uint8_t>& file) {
        MemorySource source(file);
        ResultFileContents whole;
        ResultFileContents records;
        const BlockStatus status = ReadResultFile(source, whole);
        EXPECT_EQ(ReadResultFile(source, records, SampleDetail::AmplitudeOnly), status);
        if (status == BlockStatus::Ok) {
            for (std::size_t k = 0; k < whole.lines.size(); ++k) {
                EXPECT_TRUE(sameRecords(records.lines[k].points, whole.lines[k].points));
            }
        }
        return status;
    };
    for (const std::size_t keep :
         {std::size_t{0}, std::size_t{511}, std::size_t{600}, bytes.size() / 2, bytes.size() - 1}) {
        SCOPED_TRACE(keep);
        EXPECT_NE(compare(std::vector<std::uint8_t>(
                      bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep))),
                  BlockStatus::Ok);
    }
    // Every sample float of the first point of the first line: NaN, infinite, huge.
    MeasurementFile file;
    OpenFailure failure;
    ASSERT_TRUE(openMeasurementFile(kFixtures / "SITE.DPA", file, failure));
    const auto sampleCount = static_cast<std::size_t>(file.lines[0].header.sampleCount);
    std::vector<std::uint8_t> garbled = bytes;
    const std::uint64_t firstSamples = kHeaderSize + 128;
    const float values[] = {std::nanf(""), INFINITY, -1e30f, 1e30f};
    for (std::size_t i = 0; i < sampleCount; ++i) {
        std::memcpy(&garbled[firstSamples + 4 * i], &values[i % 4], 4);
    }
    EXPECT_EQ(compare(garbled), BlockStatus::Ok);
}

} // namespace
} // namespace crackdepth
