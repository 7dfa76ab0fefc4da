#include "report/gray_png.h"

#include <cstdint>
#include <vector>
#include <zlib.h>

namespace crackdepth::report {
namespace {

void appendBigEndian(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

// A chunk: its length, type and data, and the CRC of type and data.
void appendChunk(std::string& out, const char (&type)[5], const std::string& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out += data;
    const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    appendBigEndian(out, static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), bytes,
                                                          static_cast<uInt>(4 + data.size()))));
}

// zlib's stream of the rows as PNG filters them: a filter byte, then the row (the first) or
// its bytewise difference from the row above ("Up"), fed a row at a time. Runs of equal bytes
// are all it looks for: after the Up filter a picture's rows are mostly zeros, and this is
// both faster and smaller than zlib's fastest general level.
bool deflatedRows(const QImage& gray, std::string& packed) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 9, Z_RLE) != Z_OK) {
        return false;
    }
    const auto width = static_cast<std::size_t>(gray.width());
    std::vector<std::uint8_t> row(width + 1);
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    int status = Z_OK;
    for (int y = 0; y < gray.height() && status == Z_OK; ++y) {
        const uchar* pixels = gray.constScanLine(y);
        if (y == 0) {
            row[0] = 0; // None
            std::copy(pixels, pixels + width, row.begin() + 1);
        } else {
            row[0] = 2; // Up
            const uchar* above = gray.constScanLine(y - 1);
            for (std::size_t x = 0; x < width; ++x) {
                row[x + 1] = static_cast<std::uint8_t>(pixels[x] - above[x]);
            }
        }
        const bool last = y + 1 == gray.height();
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(row.size());
        // Until the row is taken in (at the end: the stream finished) with room to spare.
        do {
            const std::size_t had = packed.size();
            packed.resize(had + kChunk);
            stream.next_out = reinterpret_cast<Bytef*>(packed.data() + had);
            stream.avail_out = static_cast<uInt>(kChunk);
            status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            packed.resize(had + kChunk - stream.avail_out);
        } while (status == Z_OK && stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return status == Z_STREAM_END;
}

} // namespace

std::string encodeGrayPng(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    const QImage gray = image.format() == QImage::Format_Grayscale8
                            ? image
                            : image.convertToFormat(QImage::Format_Grayscale8);
    std::string packed;
    if (!deflatedRows(gray, packed)) {
        return {};
    }

    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(gray.width()));
    appendBigEndian(header, static_cast<std::uint32_t>(gray.height()));
    header += std::string("\x08\x00\x00\x00\x00",
                          5); // 8 bits, grey, deflate, per-row filters, not interlaced
    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace crackdepth::report
