// Reading a large result file (10 lines × 1000 points × 1024 samples, about 42 MB) from
// disk, and writing one, to compare with the raw speed of the disk cache.
#include "core/common/atomic_file.h"
#include "core/data/result_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace crackdepth;

namespace {

constexpr std::int32_t kLines = 10;
constexpr std::int32_t kPoints = 1000;
constexpr std::int32_t kSamples = 1024;

std::vector<LineData> makeLines() {
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

std::vector<std::uint8_t> serialise(const std::vector<LineData>& lines) {
    std::vector<LineRef> refs;
    for (const LineData& line : lines) {
        refs.push_back({&line.header, &line.points});
    }
    std::vector<std::uint8_t> bytes;
    WriteResultFile(bytes, refs, {});
    return bytes;
}

const std::filesystem::path& benchFile() {
    static const std::filesystem::path path = [] {
        auto file = std::filesystem::temp_directory_path() / "crackdepth-bench-10x1000x1024.DPA";
        const auto bytes = serialise(makeLines());
        writeFileAtomically(file, bytes);
        return file;
    }();
    return path;
}

void BM_ReadResultFile(benchmark::State& state) {
    const auto& path = benchFile();
    const auto size = std::filesystem::file_size(path);
    for (auto _ : state) {
        FileSource source(path);
        ResultFileContents contents;
        if (ReadResultFile(source, contents) != BlockStatus::Ok) {
            state.SkipWithError("the bench file did not read");
            break;
        }
        benchmark::DoNotOptimize(contents.lines.back().points[999].samples[1023]);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(size));
}
BENCHMARK(BM_ReadResultFile)->Unit(benchmark::kMillisecond);

void BM_WriteResultFile(benchmark::State& state) {
    const auto lines = makeLines();
    const auto target = std::filesystem::temp_directory_path() / "crackdepth-bench-write.DPA";
    std::size_t size = 0;
    for (auto _ : state) {
        const auto bytes = serialise(lines);
        size = bytes.size();
        if (!writeFileAtomically(target, bytes).ok) {
            state.SkipWithError("cannot write the bench file");
            break;
        }
    }
    std::filesystem::remove(target);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(size));
}
BENCHMARK(BM_WriteResultFile)->Unit(benchmark::kMillisecond);

} // namespace

// `--write-large-result=PATH` writes the benchmark's file and exits, for the end-to-end
// measurement of the command-line tool (bench/cli_end_to_end.sh).
int main(int argc, char** argv) {
    const std::string flag = "--write-large-result=";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(flag, 0) == 0) {
            return writeFileAtomically(arg.substr(flag.size()), serialise(makeLines())).ok ? 0 : 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
