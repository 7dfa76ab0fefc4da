#include "core/data/result_file.h"

#include "core/common/bytes.h"
#include "core/data/memory_budget.h"
#include "core/data/text_field.h"

#include <array>
#include <new>
#include <string>
#include <utility>

namespace crackdepth {

void ReadProjectBlock(std::span<const std::uint8_t> bytes, ProjectBlock& block) {
    std::size_t at = 0;
    for (std::size_t field = 0; field < ProjectBlock::kTextCount; ++field) {
        const std::size_t width = ProjectBlock::widthOf(field);
        block.texts[field] =
            at < bytes.size()
                ? readTextField(bytes.subspan(at, std::min(width * 2, bytes.size() - at)), width)
                : std::string{};
        at += width * 2;
    }
}

void WriteProjectBlock(std::vector<std::uint8_t>& out, const ProjectBlock& block) {
    ByteWriter writer(out);
    for (std::size_t field = 0; field < ProjectBlock::kTextCount; ++field) {
        writeTextField(writer, block.texts[field], ProjectBlock::widthOf(field));
    }
}

namespace {

// The reason of a refused block, naming the block (counted from 1, the non-crossing line
// first) so that the user can tell which line of the file is damaged.
BlockResult inBlock(std::size_t block, BlockResult result) {
    if (!result.reason.empty()) {
        result.reason = "第 " + std::to_string(block + 1) + " 块：" + result.reason;
    }
    return result;
}

// First pass: the headers of every block, checked against the file and, together, against
// the memory budget, without reading any point.
BlockResult readResultHeaders(ByteSource& source, std::vector<TestParameters>& headers,
                              std::uint64_t& end) {
    std::uint64_t offset = 0;
    TestParameters first;
    BlockResult status = ReadBlockHeader(source, offset, first);
    if (!status.ok()) {
        return inBlock(0, std::move(status));
    }
    if (first.signature != kNonCrossingSignature) {
        return inBlock(
            0, {BlockStatus::Unrecognised, std::string("标志不是“") + kNonCrossingSignature + "”"});
    }
    if (first.lineCount < 1) {
        return {BlockStatus::Unrecognised, "测线数 " + std::to_string(first.lineCount) + " 小于 1"};
    }
    const std::uint64_t budget = memoryBudget();
    std::uint64_t memory = memoryForBlock(first);
    if (memory > budget) {
        return {BlockStatus::TooLarge, tooLargeReason()};
    }
    offset += blockSize(first);
    headers.push_back(first);
    for (std::int32_t k = 1; k < first.lineCount; ++k) {
        const auto block = static_cast<std::size_t>(k);
        TestParameters header;
        status = ReadBlockHeader(source, offset, header);
        if (!status.ok()) {
            return inBlock(block, std::move(status));
        }
        if (header.signature != kCrossingSignature) {
            return inBlock(block, {BlockStatus::Unrecognised,
                                   std::string("标志不是“") + kCrossingSignature + "”"});
        }
        // Counted as the walk goes, so that millions of empty blocks are refused too.
        memory += memoryForBlock(header);
        if (memory > budget) {
            return {BlockStatus::TooLarge, tooLargeReason()};
        }
        offset += blockSize(header);
        headers.push_back(std::move(header));
    }
    end = offset;
    return BlockStatus::Ok;
}

BlockResult readWholeResultFile(ByteSource& source, ResultFileContents& contents,
                                SampleDetail detail) {
    std::vector<TestParameters> headers;
    std::uint64_t offset = 0;
    BlockResult status = readResultHeaders(source, headers, offset);
    if (!status.ok()) {
        return status;
    }
    // The file ends with the project block, right after the last block and the two areas
    // that follow it: the instrument's files and ours carry no padding. A file that goes on
    // after that was written with other counts (a damaged count would otherwise read the
    // project texts from waveform bytes, and a save would then drop the lines beyond it).
    const std::uint64_t projectAt = offset + kResultReservedSize + kResultZeroSize;
    if (source.size() != projectAt + ProjectBlock::kByteSize) {
        return {BlockStatus::Unrecognised,
                lengthMismatchReason(source.size(), projectAt + ProjectBlock::kByteSize)};
    }

    // Second pass: the points and the project block.
    ResultFileContents read;
    offset = 0;
    for (std::size_t k = 0; k < headers.size(); ++k) {
        LineData line;
        status = ReadBlockPoints(source, offset, headers[k], line.points, detail);
        if (!status.ok()) {
            return inBlock(k, std::move(status));
        }
        line.header = headers[k];
        read.lines.push_back(std::move(line));
    }
    std::array<std::uint8_t, ProjectBlock::kByteSize> projectBytes{};
    if (!source.read(projectAt, projectBytes)) {
        return {BlockStatus::ReadError, readFailedReason(projectAt)};
    }
    ReadProjectBlock(projectBytes, read.projectBlock);
    contents = std::move(read);
    return BlockStatus::Ok;
}

} // namespace

BlockResult ReadResultFile(ByteSource& source, ResultFileContents& contents, SampleDetail detail) {
    try {
        return readWholeResultFile(source, contents, detail);
    } catch (const std::bad_alloc&) {
        // Within the budget, but more than the system would give now.
        return {BlockStatus::TooLarge, tooLargeReason()};
    }
}

void WriteResultFile(std::vector<std::uint8_t>& out, std::span<const LineRef> lines,
                     const ProjectBlock& projectBlock) {
    for (const LineRef& line : lines) {
        WriteLineBlock(out, *line.header, *line.points);
    }
    out.resize(out.size() + kResultReservedSize + kResultZeroSize, 0);
    WriteProjectBlock(out, projectBlock);
}

} // namespace crackdepth
