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

// The rows as PNG filters them: a filter byte, then the row (the first) or its bytewise
// difference from the row above ("Up").
std::vector<std::uint8_t> filteredRows(const QImage& gray) {
    const auto width = static_cast<std::size_t>(gray.width());
    std::vector<std::uint8_t> rows((width + 1) * static_cast<std::size_t>(gray.height()));
    std::uint8_t* out = rows.data();
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* row = gray.constScanLine(y);
        if (y == 0) {
            *out++ = 0; // None
            std::copy(row, row + width, out);
        } else {
            *out++ = 2; // Up
            const uchar* above = gray.constScanLine(y - 1);
            for (std::size_t x = 0; x < width; ++x) {
                out[x] = static_cast<std::uint8_t>(row[x] - above[x]);
            }
        }
        out += width;
    }
    return rows;
}

// zlib's stream of the rows. Runs of equal bytes are all it looks for: after the Up filter a
// picture's rows are mostly zeros, and this is both faster and smaller than its fastest
// general level.
bool deflated(const std::vector<std::uint8_t>& rows, std::string& packed) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 9, Z_RLE) != Z_OK) {
        return false;
    }
    packed.resize(deflateBound(&stream, static_cast<uLong>(rows.size())));
    stream.next_in = const_cast<Bytef*>(rows.data());
    stream.avail_in = static_cast<uInt>(rows.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return done;
}

} // namespace

std::string encodeGrayPng(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    const QImage gray = image.format() == QImage::Format_Grayscale8
                            ? image
                            : image.convertToFormat(QImage::Format_Grayscale8);
    const std::vector<std::uint8_t> rows = filteredRows(gray);
    std::string packed;
    if (!deflated(rows, packed)) {
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
