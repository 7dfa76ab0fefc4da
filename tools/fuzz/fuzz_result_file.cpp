// Feeds arbitrary bytes to the result-file reader; a file that reads must write back into a
// file that reads to the same lines and project texts. The reader that skips the waveforms
// must refuse exactly what the whole reader refuses and read the same points, and the pass
// that visits the waveforms one at a time must see exactly the waveforms the whole reader holds.
#include "core/data/result_file.h"
#include "core/data/sample_detail.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace crackdepth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source({data, size});
    ResultFileContents contents;
    const BlockStatus status = ReadResultFile(source, contents);
    ResultFileContents records;
    if (ReadResultFile(source, records, SampleDetail::AmplitudeOnly) != status) {
        std::abort();
    }
    if (status != BlockStatus::Ok) {
        return 0;
    }
    if (records.lines.size() != contents.lines.size()) {
        std::abort();
    }
    for (std::size_t k = 0; k < contents.lines.size(); ++k) {
        if (!sameRecords(records.lines[k].points, contents.lines[k].points)) {
            std::abort();
        }
    }
    if (contents.lines.empty() ||
        static_cast<std::int32_t>(contents.lines.size()) != contents.lines[0].header.lineCount) {
        std::abort();
    }
    std::size_t visited = 0;
    const BlockStatus visit =
        VisitWaveforms(source, contents.lines.size(),
                       [&](std::size_t line, std::size_t point, std::span<const Sample> samples) {
                           const PointList& points = contents.lines.at(line).points;
                           if (point >= points.size() || !std::equal(samples.begin(), samples.end(),
                                                                     points[point].samples.begin(),
                                                                     points[point].samples.end())) {
                               std::abort();
                           }
                           ++visited;
                       });
    std::size_t held = 0;
    for (const LineData& line : contents.lines) {
        held += line.points.size();
    }
    if (visit != BlockStatus::Ok || visited != held) {
        std::abort();
    }
    std::vector<LineRef> refs;
    for (const LineData& line : contents.lines) {
        refs.push_back({&line.header, &line.points});
    }
    std::vector<std::uint8_t> written;
    WriteResultFile(written, refs, contents.projectBlock);
    MemorySource again(written);
    ResultFileContents contentsAgain;
    if (ReadResultFile(again, contentsAgain) != BlockStatus::Ok ||
        contentsAgain.lines.size() != contents.lines.size()) {
        std::abort();
    }
    for (std::size_t k = 0; k < contents.lines.size(); ++k) {
        if (contentsAgain.lines[k].points.size() != contents.lines[k].points.size()) {
            std::abort();
        }
    }
    return 0;
}
