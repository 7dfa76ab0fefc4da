// Opening any measurement file by its extension, as the desktop program tells them apart:
// the last three characters of the path, compared exactly ("DP0", "DP1", "DPA").
#pragma once

#include "core/data/result_file.h"

#include <filesystem>
#include <string>
#include <vector>

namespace crackdepth {

enum class FileKind { NonCrossingRaw, CrossingRaw, Result };

inline constexpr const char* kUnsupportedFileMessage = "不支持打开此文件！";

// The kind chosen by the path's last three characters; false for any other ending.
bool fileKindOf(const std::string& path, FileKind& kind);
const char* fileKindName(FileKind kind); // "DP0", "DP1", "DPA"

struct MeasurementFile {
    FileKind kind = FileKind::NonCrossingRaw;
    std::vector<LineData> lines; // the non-crossing line first in a result file
    ProjectBlock projectBlock;   // empty unless a result file was read
};

struct OpenFailure {
    std::string message; // the program's own message text ("无法识别的文件类型！"), if any
    std::string explanation; // a short English explanation, followed by the reason if any
};

// The message and explanation of a refused read.
OpenFailure openFailureOf(const BlockResult& result);

// What the window shows for a refused read: "无法识别的文件类型！", and the reason on a
// second line when there is one.
std::string refusalMessage(const BlockResult& result);

// The reason given for a line block of the other kind: "文件标志不是“Ulk_CrackZero”".
std::string signatureReason(const char* expected);

// Reads the file whole. The non-crossing line's reference distance becomes the distance of
// its reference point, as every open does. On failure `failure` says why and `file` is left
// as it was.
// With SampleDetail::AmplitudeOnly the file is mapped into memory and only the point
// records and each point's amplitude sample are read; it is refused exactly when a whole
// read refuses it.
bool openMeasurementFile(const std::filesystem::path& path, MeasurementFile& file,
                         OpenFailure& failure, SampleDetail detail = SampleDetail::All);

// Reads the one line block of a raw file, which must end exactly where the file ends;
// Unrecognised also for a file that cannot be opened. `line` is replaced only on success.
BlockResult ReadRawFile(ByteSource& source, LineData& line,
                        SampleDetail detail = SampleDetail::All);
BlockResult ReadRawFile(const std::filesystem::path& path, LineData& line);

// The distance of point referencePoint − 1 (the head for 0 or below), as the line is read.
void applyReferenceDistance(TestParameters& header, PointList& points);

} // namespace crackdepth
