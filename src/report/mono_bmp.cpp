#include "report/mono_bmp.h"

namespace crackdepth::report {
namespace {

constexpr std::uint32_t kHeaderBytes = 14 + 40 + 8;

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

} // namespace

QImage toMonochrome(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            line[x] = nearerToBlack(line[x]) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        }
    }
    return out;
}

std::uint32_t MonoBmpWriter::rowSize(std::uint32_t width) {
    return (width + 31) / 32 * 4;
}

std::vector<std::uint8_t> MonoBmpWriter::encode(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    const std::uint32_t row = rowSize(width);
    const std::uint32_t imageBytes = row * ((height + 3) / 4 * 4);

    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + imageBytes);
    put16(out, 0x4D42); // "BM"
    put32(out, imageBytes + kHeaderBytes);
    put32(out, 0);
    put32(out, kHeaderBytes);
    put32(out, 40);
    put32(out, width);
    put32(out, height); // positive: the rows run bottom-up
    put16(out, 1);
    put16(out, 1);
    put32(out, 0);
    put32(out, imageBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 2);
    put32(out, 0);
    put32(out, 0x00000000); // palette entry 0: black
    put32(out, 0x00FFFFFF); // palette entry 1: white

    out.resize(kHeaderBytes + imageBytes, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(int(height - 1 - y)));
        std::uint8_t* bits = out.data() + kHeaderBytes + std::size_t{y} * row;
        for (std::uint32_t x = 0; x < width; ++x) {
            if (!nearerToBlack(line[x])) {
                bits[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
    }
    return out;
}

WriteOutcome MonoBmpWriter::write(const std::filesystem::path& path, const QImage& image) {
    return writeFileAtomically(path, encode(image));
}

} // namespace crackdepth::report
