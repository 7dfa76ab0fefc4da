#include "core/data/result_file.h"

#include "core/common/bytes.h"
#include "core/data/memory_budget.h"
#include "core/data/text_field.h"

#include <array>
#include <new>

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

// First pass: the headers of every block, checked against the file and, together, against
// the memory budget, without reading any point.
BlockStatus readResultHeaders(ByteSource& source, std::vector<TestParameters>& headers,
                              std::uint64_t& end) {
    std::uint64_t offset = 0;
    TestParameters first;
    BlockStatus status = ReadBlockHeader(source, offset, first);
    if (status != BlockStatus::Ok) {
        return status;
    }
    if (first.signature != kNonCrossingSignature || first.lineCount < 1) {
        return BlockStatus::Unrecognised;
    }
    const std::uint64_t budget = memoryBudget();
    std::uint64_t memory = memoryForBlock(first);
    if (memory > budget) {
        return BlockStatus::TooLarge;
    }
    offset += blockSize(first);
    headers.push_back(first);
    for (std::int32_t k = 1; k < first.lineCount; ++k) {
        TestParameters header;
        status = ReadBlockHeader(source, offset, header);
        if (status != BlockStatus::Ok) {
            return status;
        }
        if (header.signature != kCrossingSignature) {
            return BlockStatus::Unrecognised;
        }
        // Counted as the walk goes, so that millions of empty blocks are refused too.
        memory += memoryForBlock(header);
        if (memory > budget) {
            return BlockStatus::TooLarge;
        }
        offset += blockSize(header);
        headers.push_back(std::move(header));
    }
    end = offset;
    return BlockStatus::Ok;
}

BlockStatus readWholeResultFile(ByteSource& source, ResultFileContents& contents,
                                SampleDetail detail) {
    std::vector<TestParameters> headers;
    std::uint64_t offset = 0;
    BlockStatus status = readResultHeaders(source, headers, offset);
    if (status != BlockStatus::Ok) {
        return status;
    }
    const std::uint64_t projectAt = offset + kResultReservedSize + kResultZeroSize;
    if (projectAt > source.size() || source.size() - projectAt < ProjectBlock::kByteSize) {
        return BlockStatus::Unrecognised;
    }

    // Second pass: the points and the project block.
    ResultFileContents read;
    offset = 0;
    for (const TestParameters& header : headers) {
        LineData line;
        status = ReadBlockPoints(source, offset, header, line.points, detail);
        if (status != BlockStatus::Ok) {
            return status;
        }
        line.header = header;
        read.lines.push_back(std::move(line));
    }
    std::array<std::uint8_t, ProjectBlock::kByteSize> projectBytes{};
    if (!source.read(projectAt, projectBytes)) {
        return BlockStatus::ReadError;
    }
    ReadProjectBlock(projectBytes, read.projectBlock);
    contents = std::move(read);
    return BlockStatus::Ok;
}

} // namespace

BlockStatus ReadResultFile(ByteSource& source, ResultFileContents& contents, SampleDetail detail) {
    try {
        return readWholeResultFile(source, contents, detail);
    } catch (const std::bad_alloc&) {
        // Within the budget, but more than the system would give now.
        return BlockStatus::TooLarge;
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
