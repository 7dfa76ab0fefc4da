// The result file's layout: the non-crossing line block, one crossing line block per crack,
// a reserved area, a zero area and the project block.
#pragma once

#include "core/common/byte_source.h"
#include "core/data/line_block.h"
#include "core/data/project_info.h"

#include <cstdint>
#include <span>
#include <vector>

namespace crackdepth {

inline constexpr std::uint64_t kResultReservedSize = 256;
inline constexpr std::uint64_t kResultZeroSize = 2048;

struct LineData {
    TestParameters header;
    PointList points;
};

struct ResultFileContents {
    std::vector<LineData> lines; // the non-crossing line first, then the crossing lines
    ProjectBlock projectBlock;
};

// A line to write: the header and points as the document holds them.
struct LineRef {
    const TestParameters* header;
    const PointList* points;
};

// Checks the whole layout first (signatures, lineCount ≥ 1, every block and the trailing
// sections inside the file, the file ending exactly with the project block, the memory all
// blocks need) and only then reads the points, so a
// damaged or oversized file is refused before anything is allocated for it. `contents` is
// replaced only on success.
BlockResult ReadResultFile(ByteSource& source, ResultFileContents& contents,
                           SampleDetail detail = SampleDetail::All);

// Appends the whole file: the blocks in order, the reserved and zero areas, the project
// block. The caller has set the first header's lineCount.
void WriteResultFile(std::vector<std::uint8_t>& out, std::span<const LineRef> lines,
                     const ProjectBlock& projectBlock);

void ReadProjectBlock(std::span<const std::uint8_t> bytes, ProjectBlock& block);
void WriteProjectBlock(std::vector<std::uint8_t>& out, const ProjectBlock& block);

} // namespace crackdepth
