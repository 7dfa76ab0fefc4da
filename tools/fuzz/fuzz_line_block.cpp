// Feeds arbitrary bytes to the raw-file reader. A block that reads must write back and read
// again to the same points: whatever a file holds, the program can save what it opened.
#include "core/data/line_block.h"
#include "core/data/sample_detail.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace crackdepth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source({data, size});
    std::uint64_t offset = 0;
    TestParameters header;
    PointList points;
    const BlockStatus status = ReadLineBlock(source, offset, header, points);
    // The reader that skips the waveforms refuses exactly the same and reads the same points.
    std::uint64_t recordsOffset = 0;
    TestParameters recordsHeader;
    PointList records;
    if (ReadLineBlock(source, recordsOffset, recordsHeader, records, SampleDetail::AmplitudeOnly) !=
        status) {
        std::abort();
    }
    if (status != BlockStatus::Ok) {
        return 0;
    }
    if (recordsOffset != offset || !sameRecords(records, points)) {
        std::abort();
    }
    if (offset > size || points.size() != static_cast<std::size_t>(header.pointCount)) {
        std::abort();
    }
    std::vector<std::uint8_t> written;
    WriteLineBlock(written, header, points);
    MemorySource again(written);
    std::uint64_t offsetAgain = 0;
    TestParameters headerAgain;
    PointList pointsAgain;
    if (ReadLineBlock(again, offsetAgain, headerAgain, pointsAgain) != BlockStatus::Ok ||
        offsetAgain != written.size() || pointsAgain.size() != points.size()) {
        std::abort();
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (pointsAgain[k].samples != points[k].samples ||
            pointsAgain[k].distance != points[k].distance) {
            std::abort();
        }
    }
    return 0;
}
