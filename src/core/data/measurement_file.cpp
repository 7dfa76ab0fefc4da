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

BlockStatus ReadRawFile(const std::filesystem::path& path, LineData& line) {
    FileSource source(path);
    return source.isOpen() ? ReadRawFile(source, line) : BlockStatus::Unrecognised;
}

BlockStatus ReadRawFile(ByteSource& source, LineData& line, SampleDetail detail) {
    LineData read;
    std::uint64_t offset = 0;
    const BlockStatus status = ReadLineBlock(source, offset, read.header, read.points, detail);
    if (status == BlockStatus::Ok) {
        line = std::move(read);
    }
    return status;
}

OpenFailure openFailureOf(BlockStatus status) {
    switch (status) {
    case BlockStatus::Ok:
        break;
    case BlockStatus::ReadError:
        return {std::string(kFilePointerMessage) + "\n" + kUnrecognisedFileMessage,
                "the file could not be read"};
    case BlockStatus::Unrecognised:
        break;
    case BlockStatus::TooLarge:
        return {kUnrecognisedFileMessage,
                "the file's points would need more memory than the " +
                    std::to_string(memoryBudget() >> 20) +
                    " MiB a file may take here, or than the system could give"};
    }
    return {kUnrecognisedFileMessage, "not a measurement file of this kind, or a damaged one"};
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
    BlockStatus status = BlockStatus::Ok;
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
        if (status == BlockStatus::Ok && line.header.signature != expected) {
            status = BlockStatus::Unrecognised;
        }
        read.lines.push_back(std::move(line));
    }
    if (status != BlockStatus::Ok) {
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
