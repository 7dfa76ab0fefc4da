#include "core/data/measurement_file.h"

#include "core/data/memory_budget.h"

#include <memory>

namespace crackdepth {

bool fileKindOf(const std::string& path, FileKind& kind) {
    if (path.size() < 3) {
        return false;
    }
    const std::string ending = path.substr(path.size() - 3);
    if (ending == "DP0") {
        kind = FileKind::NonCrossingRaw;
    } else if (ending == "DP1") {
        kind = FileKind::CrossingRaw;
    } else if (ending == "DPA") {
        kind = FileKind::Result;
    } else {
        return false;
    }
    return true;
}

const char* fileKindName(FileKind kind) {
    switch (kind) {
    case FileKind::NonCrossingRaw:
        return "DP0";
    case FileKind::CrossingRaw:
        return "DP1";
    case FileKind::Result:
        return "DPA";
    }
    return "";
}

void applyReferenceDistance(TestParameters& header, PointList& points) {
    if (MeasuringPoint* point = points.PointAt(header.referencePoint - 1)) {
        header.referenceDistance = point->distance;
    }
}

BlockResult ReadRawFile(const std::filesystem::path& path, LineData& line) {
    FileSource source(path);
    return source.isOpen() ? ReadRawFile(source, line)
                           : BlockResult{BlockStatus::Unrecognised, "文件无法读取"};
}

BlockResult ReadRawFile(ByteSource& source, LineData& line, SampleDetail detail) {
    // A raw file is one block and nothing else: neither the instrument's files nor ours
    // carry padding, so a file longer or shorter than its header says was written with
    // other counts, and its records would be misread. Checked before anything is allocated.
    TestParameters header;
    BlockResult status = ReadBlockHeader(source, 0, header);
    if (status.ok() && blockSize(header) != source.size()) {
        status = {BlockStatus::Unrecognised,
                  lengthMismatchReason(source.size(), blockSize(header))};
    }
    if (!status.ok()) {
        return status;
    }
    LineData read;
    std::uint64_t offset = 0;
    status = ReadLineBlock(source, offset, read.header, read.points, detail);
    if (status.ok()) {
        line = std::move(read);
    }
    return status;
}

std::string signatureReason(const char* expected) {
    return std::string("文件标志不是“") + expected + "”";
}

std::string refusalMessage(const BlockResult& result) {
    std::string message = kUnrecognisedFileMessage;
    if (!result.reason.empty()) {
        message += "\n" + result.reason;
    }
    return message;
}

OpenFailure openFailureOf(const BlockResult& result) {
    // The command-line tool's message is the program's own text alone (scripts compare it);
    // the reason goes with the explanation.
    const auto explained = [&](std::string explanation) {
        return result.reason.empty() ? explanation : explanation + ": " + result.reason;
    };
    switch (result.status) {
    case BlockStatus::Ok:
        break;
    case BlockStatus::ReadError:
        return {std::string(kFilePointerMessage) + "\n" + kUnrecognisedFileMessage,
                explained("the file could not be read")};
    case BlockStatus::Unrecognised:
        break;
    case BlockStatus::TooLarge:
        return {kUnrecognisedFileMessage,
                explained("the file's points would need more memory than the " +
                          std::to_string(memoryBudget() >> 20) +
                          " MiB a file may take here, or than the system could give")};
    }
    return {kUnrecognisedFileMessage,
            explained("not a measurement file of this kind, or a damaged one")};
}

bool openMeasurementFile(const std::filesystem::path& path, MeasurementFile& file,
                         OpenFailure& failure, SampleDetail detail) {
    FileKind kind{};
    if (!fileKindOf(path.string(), kind)) {
        failure = {kUnsupportedFileMessage, "the file name does not end in DP0, DP1 or DPA"};
        return false;
    }
    FileSource source(path);
    if (!source.isOpen()) {
        failure = {"", "the file cannot be opened for reading"};
        return false;
    }
    MeasurementFile read;
    read.kind = kind;
    BlockResult status;
    if (kind == FileKind::Result) {
        ResultFileContents contents;
        status = ReadResultFile(source, contents, detail);
        read.lines = std::move(contents.lines);
        read.projectBlock = std::move(contents.projectBlock);
    } else {
        LineData line;
        status = ReadRawFile(source, line, detail);
        const char* expected =
            kind == FileKind::NonCrossingRaw ? kNonCrossingSignature : kCrossingSignature;
        if (status.ok() && line.header.signature != expected) {
            status = {BlockStatus::Unrecognised, signatureReason(expected)};
        }
        read.lines.push_back(std::move(line));
    }
    if (!status.ok()) {
        failure = openFailureOf(status);
        return false;
    }
    if (kind != FileKind::CrossingRaw) {
        applyReferenceDistance(read.lines.front().header, read.lines.front().points);
    }
    file = std::move(read);
    return true;
}

} // namespace crackdepth
