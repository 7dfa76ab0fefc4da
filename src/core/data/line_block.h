// The line block shared by the raw files (one block) and the result file (a block per
// line): a 512-byte header followed by one record per measuring point.
#pragma once

#include "core/common/byte_source.h"
#include "core/data/point_list.h"
#include "core/data/test_parameters.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace crackdepth {

inline constexpr std::uint64_t kHeaderSize = 512;
inline constexpr std::int32_t kMaxSampleCount = 1048576;
inline constexpr std::int32_t kMaxPointCount = 65535;

inline constexpr const char* kUnrecognisedFileMessage = "无法识别的文件类型！";
inline constexpr const char* kFilePointerMessage = "文件指针错误！";

enum class BlockStatus {
    Ok,
    // The header could not be read at all (I/O failure): "文件指针错误！", then the caller's
    // "无法识别的文件类型！".
    ReadError,
    // Not a line block, or one whose counts are absurd or do not fit the file:
    // "无法识别的文件类型！".
    Unrecognised,
    // A consistent file whose points would need more memory than a file may take
    // (memory_budget.h), or more than the system gave: "无法识别的文件类型！" as well.
    TooLarge,
};

// What a read came to: its status and, for a refused file, why, in the user's words (the
// second line under "无法识别的文件类型！"). Converts to its status, so that callers that only
// need the verdict compare it with a BlockStatus as before.
struct BlockResult {
    BlockStatus status = BlockStatus::Ok;
    std::string reason;

    BlockResult() = default;
    BlockResult(BlockStatus value, std::string why = {}) : status(value), reason(std::move(why)) {}
    operator BlockStatus() const { return status; }
    bool ok() const { return status == BlockStatus::Ok; }
};

// The reasons given for a file whose length is not the one its headers add up to, a read
// that failed at `offset`, and a file that would need more memory than a file may take.
std::string lengthMismatchReason(std::uint64_t fileSize, std::uint64_t expected);
std::string readFailedReason(std::uint64_t offset);
std::string tooLargeReason();

// How much of each point a reader takes: everything, or for a command that draws and
// changes nothing only the point record and the one sample the amplitude reads (the
// waveforms stay empty). Both refuse exactly the same files.
enum class SampleDetail { All, AmplitudeOnly };

// Bytes of one point record for the given sample count.
constexpr std::uint64_t recordSize(std::int32_t sampleCount) {
    return 128 + 4 * static_cast<std::uint64_t>(sampleCount);
}

// Reads and checks the header at `offset`: the file id, counts within their limits and the
// whole block inside the source. Nothing is allocated for the points.
BlockResult ReadBlockHeader(ByteSource& source, std::uint64_t offset, TestParameters& header);

// Reads the points of a block whose header was read by ReadBlockHeader into `list` and
// advances `offset` past the block.
BlockResult ReadBlockPoints(ByteSource& source, std::uint64_t& offset, const TestParameters& header,
                            PointList& list, SampleDetail detail = SampleDetail::All);

// Each point's stored waveform in file order, one point at a time in a buffer the next point
// reuses, for `blocks` consecutive blocks from the start of the source (the line of a raw
// file, or every line of a result file): for commands that look at every waveform once and
// keep none. The blocks are checked as ReadBlockHeader checks them.
using WaveformVisit =
    std::function<void(std::size_t line, std::size_t point, std::span<const Sample> samples)>;
BlockResult VisitWaveforms(ByteSource& source, std::size_t blocks, const WaveformVisit& visit);

// Header and points together; `offset` advances past the block on success. A block whose
// points would not fit the memory budget is refused before any point is read.
BlockResult ReadLineBlock(ByteSource& source, std::uint64_t& offset, TestParameters& header,
                          PointList& list, SampleDetail detail = SampleDetail::All);

// Appends the block of `header` and the points of `list` to `out`.
void WriteLineBlock(std::vector<std::uint8_t>& out, const TestParameters& header,
                    const PointList& list);

// Total size of a block whose header is known.
std::uint64_t blockSize(const TestParameters& header);

} // namespace crackdepth
