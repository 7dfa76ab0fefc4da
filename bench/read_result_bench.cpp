// Reading a large result file (10 lines × 1000 points × 1024 samples, about 42 MB) from
// disk, and writing one, to compare with the raw speed of the disk cache.
#include "core/common/atomic_file.h"
#include "core/data/result_file.h"
#include "large_result_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace crackdepth;
using crackdepth::bench::makeLines;
using crackdepth::bench::serialise;

namespace {

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
