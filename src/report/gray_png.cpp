#include "report/gray_png.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
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

// The CRC of a chunk's type and data.
std::uint32_t crcOf(const char* typeAndData, std::size_t size) {
    return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                            reinterpret_cast<const Bytef*>(typeAndData),
                                            static_cast<uInt>(size)));
}

// A chunk: its length, type and data, and the CRC of type and data.
void appendChunk(std::string& out, const char (&type)[5], const std::string& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out += data;
    appendBigEndian(out, crcOf(out.data() + typeAt, 4 + data.size()));
}

// A row's grey levels at `bits` bits a pixel (8, 4, 2 or 1), rounded to the nearest level
// through `levelOf` and packed as PNG packs them: the first pixel in the highest bits, the
// last byte padded.
void packRow(const uchar* pixels, std::size_t width, int bits,
             const std::array<std::uint8_t, 256>& levelOf, std::uint8_t* into) {
    if (bits == 8) {
        std::copy(pixels, pixels + width, into);
        return;
    }
    const std::size_t perByte = 8 / static_cast<std::size_t>(bits);
    std::size_t x = 0;
    std::size_t out = 0;
    while (x < width) {
        // White, most of a picture, takes one look per eight pixels: `bits` bytes of ones.
        if (x % 8 == 0 && x + 8 <= width) {
            std::uint64_t eight = 0;
            std::memcpy(&eight, pixels + x, sizeof eight);
            if (eight == ~std::uint64_t{0}) {
                std::memset(into + out, 0xff, static_cast<std::size_t>(bits));
                x += 8;
                out += static_cast<std::size_t>(bits);
                continue;
            }
        }
        unsigned byte = 0;
        for (std::size_t k = 0; k < perByte; ++k, ++x) {
            byte = (byte << bits) | (x < width ? levelOf[pixels[x]] : 0u);
        }
        into[out++] = static_cast<std::uint8_t>(byte);
    }
}

// zlib's stream of the rows as PNG filters them: a filter byte, then the row (the first) or
// its bytewise difference from the row above ("Up"), fed a row at a time. After the Up filter
// a picture's rows are mostly zeros: at 8 bits a pixel, looking for runs of equal bytes alone
// is both faster and smaller than zlib's fastest general level; packed pixels repeat as
// patterns, which that level finds in the same time. The stream is written to the end of
// `out`, into room for the most it can take, so that nothing is copied on the way.
bool appendDeflatedRows(const QImage& gray, int bits, std::string& out) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 9,
                     bits == 8 ? Z_RLE : Z_DEFAULT_STRATEGY) != Z_OK) {
        return false;
    }
    const std::size_t rowBytes =
        (static_cast<std::size_t>(gray.width()) * static_cast<std::size_t>(bits) + 7) / 8;
    std::vector<std::uint8_t> above(rowBytes);
    std::vector<std::uint8_t> current(rowBytes);
    std::vector<std::uint8_t> row(rowBytes + 1);
    std::array<std::uint8_t, 256> levelOf{};
    const unsigned levels = (1u << bits) - 1;
    for (unsigned v = 0; v < 256; ++v) {
        levelOf[v] = static_cast<std::uint8_t>((v * levels + 127u) / 255u);
    }
    const std::size_t start = out.size();
    const auto total = (rowBytes + 1) * static_cast<std::size_t>(gray.height());
    out.resize(start + deflateBound(&stream, static_cast<uLong>(total)));
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + start);
    stream.avail_out = static_cast<uInt>(out.size() - start);
    int status = Z_OK;
    for (int y = 0; y < gray.height() && status == Z_OK; ++y) {
        packRow(gray.constScanLine(y), static_cast<std::size_t>(gray.width()), bits, levelOf,
                current.data());
        row[0] = y == 0 ? 0 : 2; // None, then Up
        for (std::size_t x = 0; x < rowBytes; ++x) {
            row[x + 1] = static_cast<std::uint8_t>(current[x] - (y == 0 ? 0 : above[x]));
        }
        std::swap(above, current);
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == gray.height() ? Z_FINISH : Z_NO_FLUSH;
        status = deflate(&stream, flush);
        // The bound holds for one pass; should the rows' stream outgrow it, more room.
        while ((status == Z_OK || status == Z_BUF_ERROR) && stream.avail_out == 0) {
            const std::size_t written = start + stream.total_out;
            out.resize(out.size() + (std::size_t{1} << 16));
            stream.next_out = reinterpret_cast<Bytef*>(out.data() + written);
            stream.avail_out = static_cast<uInt>(out.size() - written);
            status = deflate(&stream, flush);
        }
    }
    out.resize(start + stream.total_out);
    deflateEnd(&stream);
    return status == Z_STREAM_END;
}

} // namespace

std::string encodeGrayPng(const QImage& image, int bits) {
    if (image.isNull() || (bits != 1 && bits != 2 && bits != 4 && bits != 8)) {
        return {};
    }
    const QImage gray = image.format() == QImage::Format_Grayscale8
                            ? image
                            : image.convertToFormat(QImage::Format_Grayscale8);
    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(gray.width()));
    appendBigEndian(header, static_cast<std::uint32_t>(gray.height()));
    header.push_back(static_cast<char>(bits));
    // Grey, deflate, per-row filters, not interlaced.
    header += std::string("\x00\x00\x00\x00", 4);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);

    // The image data chunk is written in place: its length is filled in after the stream.
    const std::size_t lengthAt = png.size();
    appendBigEndian(png, 0);
    png.append("IDAT", 4);
    if (!appendDeflatedRows(gray, bits, png)) {
        return {};
    }
    const std::size_t dataSize = png.size() - lengthAt - 8;
    std::string length;
    appendBigEndian(length, static_cast<std::uint32_t>(dataSize));
    png.replace(lengthAt, 4, length);
    appendBigEndian(png, crcOf(png.data() + lengthAt + 4, 4 + dataSize));
    appendChunk(png, "IEND", {});
    png.shrink_to_fit();
    return png;
}

} // namespace crackdepth::report
