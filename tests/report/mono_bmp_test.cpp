// The black-and-white bitmap files: sizes, header fields, palette, padded bottom-up rows, and
// a failed write that leaves nothing behind.
#include "../core/test_support.h"
#include "report/mono_bmp.h"

#include <QColor>
#include <QImage>
#include <cstring>
#include <gtest/gtest.h>

namespace crackdepth::report {
namespace {

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TEST(MonoBmp, FileSizesAndHeaderFields) {
    const struct {
        int width, height;
        std::uint32_t rowSize, imageBytes, fileBytes;
    } cases[] = {
        {1030, 1400, 132, 184800, 184862}, // a bitmap report page
        {370, 230, 48, 11136, 11198},      // the plot picture: 232 rows
        {375, 315, 48, 48 * 316, 48 * 316 + 62},
        {1, 1, 4, 16, 78},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(MonoBmpWriter::rowSize(static_cast<std::uint32_t>(c.width)), c.rowSize);
        const std::vector<std::uint8_t> bytes =
            MonoBmpWriter::encode(whiteImage(c.width, c.height));
        ASSERT_EQ(bytes.size(), c.fileBytes);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(read32(bytes, 2), c.fileBytes);
        EXPECT_EQ(read32(bytes, 10), 62u);
        EXPECT_EQ(read32(bytes, 14), 40u);
        EXPECT_EQ(read32(bytes, 18), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(read32(bytes, 22), static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(read32(bytes, 26), 0x00010001u); // one plane, one bit
        EXPECT_EQ(read32(bytes, 30), 0u);
        EXPECT_EQ(read32(bytes, 34), c.imageBytes);
        EXPECT_EQ(read32(bytes, 46), 2u);
        EXPECT_EQ(read32(bytes, 54), 0x00000000u); // black
        EXPECT_EQ(read32(bytes, 58), 0x00FFFFFFu); // white
    }
}

TEST(MonoBmp, RowsRunBottomUpWithPaddingAndFillerOfZeros) {
    // 10 × 3: a black pixel at the top left, a dark grey one (nearer black) at the bottom
    // right, a light grey one (nearer white) beside it.
    QImage image = whiteImage(10, 3);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(9, 2, qRgb(100, 100, 100));
    image.setPixel(8, 2, qRgb(160, 160, 160));
    const std::vector<std::uint8_t> bytes = MonoBmpWriter::encode(image);
    const std::size_t rows = 62;
    ASSERT_EQ(bytes.size(), rows + 4 * 4);
    // The file's first row is the image's bottom row: white but for pixel 9.
    EXPECT_EQ(bytes[rows + 0], 0xFF);
    EXPECT_EQ(bytes[rows + 1], 0x80) << "pixel 8 white, pixel 9 black, the rest padding";
    EXPECT_EQ(bytes[rows + 2], 0x00);
    EXPECT_EQ(bytes[rows + 3], 0x00);
    // The middle row: all white.
    EXPECT_EQ(bytes[rows + 4], 0xFF);
    EXPECT_EQ(bytes[rows + 5], 0xC0);
    // The top row: pixel 0 black.
    EXPECT_EQ(bytes[rows + 8], 0x7F);
    EXPECT_EQ(bytes[rows + 9], 0xC0);
    // The fourth row is filler.
    for (std::size_t i = rows + 12; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], 0x00);
    }
}

TEST(MonoBmp, WritingIntoAMissingFolderFailsAndCreatesNothing) {
    const crackdepth::testing::TempDir dir;
    const auto path = dir.path() / "missing" / "page.bmp";
    const WriteOutcome outcome = MonoBmpWriter::write(path, whiteImage(8, 8));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_FALSE(std::filesystem::exists(path.parent_path()));

    const auto good = dir.path() / "page.bmp";
    ASSERT_TRUE(MonoBmpWriter::write(good, whiteImage(370, 230)).ok);
    EXPECT_EQ(std::filesystem::file_size(good), 11198u);
    // Another program reads it back as the same picture.
    const QImage back(QString::fromStdString(good.string()));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(370, 230));
    EXPECT_EQ(back.pixel(0, 0), qRgb(255, 255, 255));
}

} // namespace
} // namespace crackdepth::report
