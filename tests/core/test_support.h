// Small builders shared by the core tests: lines with known points and whole files in memory.
#pragma once

#include "core/common/bytes.h"
#include "core/data/line_block.h"
#include "core/data/result_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace crackdepth::testing {

inline TestParameters makeHeader(const char* signature, std::int32_t sampleCount = 16) {
    TestParameters header;
    header.fileId = kFileId;
    header.signature = signature;
    header.projectName = "Bridge 3 deck";
    header.organisation = "QA lab";
    header.operatorName = "Li";
    header.testDate = "2024-5-6";
    header.sampleCount = sampleCount;
    header.firstSpacing = 100;
    header.stepPartA = 50;
    header.step = 50;
    header.referencePoint = 1;
    header.note = "LINE.DP0";
    return header;
}

// A line of `count` points at 100, 150, … mm whose samples ramp from a per-point start.
inline PointList makePoints(std::int32_t count, std::int32_t sampleCount = 16, float dt = 0.5f) {
    PointList list;
    list.sampleCount = sampleCount;
    for (std::int32_t k = 0; k < count; ++k) {
        std::vector<Sample> samples(static_cast<std::size_t>(sampleCount));
        for (std::size_t c = 0; c < samples.size(); ++c) {
            samples[c] = static_cast<Sample>(1000 + 100 * k + static_cast<int>(c));
        }
        const float distance = 100.0f + 50.0f * static_cast<float>(k);
        list.Append(samples, distance);
        MeasuringPoint& point = *list.cursor();
        point.record.setSamplingInterval(dt);
        point.record.setStartPosition(0.0f);
        point.record.setEndPosition(distance / 1000.0f);
        point.delay = 2.0f * static_cast<float>(k);
        point.gain = 2.0f;
        point.arrivalIndex = 10 + k;
        point.amplitudeIndex = point.arrivalIndex;
        point.kept = 1;
    }
    return list;
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Index of the first byte where two buffers differ, or -1 when they are equal (sizes
// included); readable in a failure message, unlike a dump of both buffers.
inline long firstDifference(const std::vector<std::uint8_t>& a,
                            const std::vector<std::uint8_t>& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return static_cast<long>(i);
        }
    }
    return a.size() == b.size() ? -1 : static_cast<long>(n);
}

struct SparseBlock {
    const char* signature;
    std::int32_t points;
    std::int32_t samples;
};

// A consistent file of the given line blocks (and, for a result file, the trailing sections)
// whose point records are holes: the file system stores the headers only, however large the
// file says it is.
inline void writeSparse(const std::filesystem::path& path, const std::vector<SparseBlock>& blocks,
                        bool resultFile) {
    std::uint64_t at = 0;
    {
        std::ofstream out(path, std::ios::binary);
        for (const SparseBlock& block : blocks) {
            TestParameters header = makeHeader(block.signature, block.samples);
            header.lineCount = static_cast<std::int32_t>(blocks.size());
            std::vector<std::uint8_t> bytes;
            WriteLineBlock(bytes, header, PointList{});
            storeLE(bytes.data() + 0x100, block.points); // the header's pointCount
            out.seekp(static_cast<std::streamoff>(at));
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            at +=
                kHeaderSize + static_cast<std::uint64_t>(block.points) * recordSize(block.samples);
        }
    }
    if (resultFile) {
        at += kResultReservedSize + kResultZeroSize + ProjectBlock::kByteSize;
    }
    std::filesystem::resize_file(path, at);
}

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("crackdepth-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace crackdepth::testing
