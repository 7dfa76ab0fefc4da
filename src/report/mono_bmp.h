// The monochrome bitmap files of the reports: 1 bit per pixel, a black-and-white palette, rows
// bottom-up and padded to four bytes, the height rounded up to four rows of zero filler.
#pragma once

#include "core/common/atomic_file.h"

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace crackdepth::report {

inline constexpr const char* kBmpWriteFailedMessage = "error!";
inline constexpr const char* kBmpPageWrittenMessage = "导出打印内容到BMP成功！";

// Whether a pixel is nearer to black than to white (the two colours of the palette).
inline bool nearerToBlack(QRgb pixel) {
    return qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 383;
}

// The image with every pixel replaced by the nearer of black and white, as the file keeps it.
QImage toMonochrome(const QImage& image);

class MonoBmpWriter {
public:
    // ceil(width / 8) rounded up to a multiple of 4 bytes.
    static std::uint32_t rowSize(std::uint32_t width);
    // The whole file.
    static std::vector<std::uint8_t> encode(const QImage& image);
    // Writes the file whole or not at all: a failed write leaves what was at `path`.
    static WriteOutcome write(const std::filesystem::path& path, const QImage& image);
};

} // namespace crackdepth::report
