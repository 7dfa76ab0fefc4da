// The large result file of the benchmarks and of the end-to-end measurement of the
// command-line tool: 10 lines × 1000 points × 1024 samples, about 42 MB.
#pragma once

#include "core/data/result_file.h"

#include <cstdint>
#include <vector>

namespace crackdepth::bench {

constexpr std::int32_t kLines = 10;
constexpr std::int32_t kPoints = 1000;
constexpr std::int32_t kSamples = 1024;

inline std::vector<LineData> makeLines() {
    std::vector<LineData> lines(kLines);
    for (std::int32_t k = 0; k < kLines; ++k) {
        LineData& line = lines[static_cast<std::size_t>(k)];
        line.header.fileId = kFileId;
        line.header.signature = k == 0 ? kNonCrossingSignature : kCrossingSignature;
        line.header.sampleCount = kSamples;
        line.header.pointCount = kPoints;
        line.header.lineCount = k == 0 ? kLines : 0;
        line.header.note = "BENCH.DPA";
        line.points.sampleCount = kSamples;
        std::vector<Sample> samples(kSamples);
        for (std::int32_t p = 0; p < kPoints; ++p) {
            for (std::size_t c = 0; c < samples.size(); ++c) {
                samples[c] = static_cast<Sample>(
                    2048 + ((c * 37 + static_cast<std::size_t>(p)) % 801) - 400);
            }
            line.points.Append(samples, static_cast<float>(50 + p));
            line.points.cursor()->record.setSamplingInterval(0.5f);
            line.points.cursor()->arrivalIndex = 10 + p % 500;
            line.points.cursor()->kept = 1;
            line.points.cursor()->record.setEndPosition(static_cast<float>(50 + p) / 1000.0f);
        }
    }
    return lines;
}

inline std::vector<std::uint8_t> serialise(const std::vector<LineData>& lines) {
    std::vector<LineRef> refs;
    for (const LineData& line : lines) {
        refs.push_back({&line.header, &line.points});
    }
    std::vector<std::uint8_t> bytes;
    WriteResultFile(bytes, refs, {});
    return bytes;
}

} // namespace crackdepth::bench
