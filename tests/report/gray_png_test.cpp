// The word processor's PNG pictures read back as the images they were made of.
#include "report/gray_png.h"

#include <QImage>
#include <gtest/gtest.h>

namespace crackdepth::report {
namespace {

QImage readBack(const std::string& png) {
    return QImage::fromData(QByteArray::fromRawData(png.data(), static_cast<qsizetype>(png.size())),
                            "PNG");
}

TEST(GrayPng, ReadsBackAsTheSameGreyLevels) {
    // Odd sizes, one pixel, every grey level in a row, a picture whose rows repeat and
    // differ, and a colour image, which is stored as its grey levels.
    QImage ramp(256, 7, QImage::Format_Grayscale8);
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < ramp.width(); ++x) {
            ramp.scanLine(y)[x] = static_cast<uchar>((x * (y + 1) + y * 31) % 256);
        }
    }
    QImage white(1999, 3, QImage::Format_Grayscale8);
    white.fill(255);
    QImage dot(1, 1, QImage::Format_Grayscale8);
    dot.fill(0);
    QImage colour(33, 17, QImage::Format_RGB32);
    colour.fill(QColor(10, 200, 90));
    colour.setPixel(5, 9, qRgb(250, 0, 0));
    for (const QImage& image : {ramp, white, dot, colour}) {
        SCOPED_TRACE(image.width());
        const std::string png = encodeGrayPng(image);
        ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        const QImage back = readBack(png);
        ASSERT_FALSE(back.isNull());
        EXPECT_EQ(back.size(), image.size());
        EXPECT_TRUE(back.isGrayscale());
        EXPECT_EQ(back.convertToFormat(QImage::Format_Grayscale8),
                  image.convertToFormat(QImage::Format_Grayscale8));
    }
    EXPECT_TRUE(encodeGrayPng(QImage()).empty());
}

// Fewer bits a pixel: each grey read back as the nearest level the depth has, whatever the
// row's length in bits (rows end inside a byte).
TEST(GrayPng, FewerBitsKeepTheNearestLevel) {
    QImage ramp(259, 5, QImage::Format_Grayscale8);
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < ramp.width(); ++x) {
            ramp.scanLine(y)[x] = static_cast<uchar>((x + y * 57) % 256);
        }
    }
    for (const int bits : {1, 2, 4}) {
        SCOPED_TRACE(bits);
        const int levels = (1 << bits) - 1;
        const QImage back = readBack(encodeGrayPng(ramp, bits));
        ASSERT_EQ(back.size(), ramp.size());
        const QImage grey = back.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < ramp.height(); ++y) {
            for (int x = 0; x < ramp.width(); ++x) {
                const int v = ramp.constScanLine(y)[x];
                const int nearest = (v * levels + 127) / 255 * 255 / levels;
                ASSERT_EQ(grey.constScanLine(y)[x], nearest) << x << ", " << y;
            }
        }
    }
    EXPECT_TRUE(encodeGrayPng(ramp, 3).empty());
}

} // namespace
} // namespace crackdepth::report
