// The bands of a printed page from the device and the print settings, the bitmap canvas, and
// the page-number texts.
#include "report/page_geometry.h"

#include <gtest/gtest.h>

namespace crackdepth::report {
namespace {

// A4 at 600 dpi with a printable area 100 pixels in from each edge (4.2 mm).
constexpr DeviceMetrics kA4Printer{600, 600, 100, 100, 4760, 6815};

TEST(PageGeometry, PrintedPageBandsFollowTheSettings) {
    PrintSettings settings; // margins 20 / 15 / 15 / 15 mm, no header or footer
    PageGeometry page = PrintedPageGeometry(kA4Printer, settings);
    // Left and right margins trunc(600 × 15 / 25.40005…) = 354, top 472, all measured from
    // the paper's edge: the origin is the printable area's corner, 100 pixels in. A "mm" of
    // the fixed bands is trunc(600 / 25.4) = 23 pixels; the title band takes 15 of them.
    EXPECT_EQ(page.titleBox, (PageBox{254, 372, 4506, 372 + 345 - 46}));
    EXPECT_EQ(page.body, (PageBox{254, 717, 4506, 6561}));
    EXPECT_FALSE(page.header);
    EXPECT_FALSE(page.footer);

    // A header 5 mm down and 8 mm high; a footer 24 mm above the bottom and 10 mm high; each
    // takes 10 mm off the body.
    settings.headerOn = 1;
    settings.pageNumberOn = 1;
    page = PrintedPageGeometry(kA4Printer, settings);
    EXPECT_TRUE(page.header);
    EXPECT_TRUE(page.footer);
    EXPECT_EQ(page.headerBox, (PageBox{254, 118, 4506, 118 + 230 - 46}));
    EXPECT_EQ(page.footerBox, (PageBox{254, 6815 - 566, 4506, 6815 - 566 + 230}));
    EXPECT_EQ(page.body, (PageBox{254, 717, 4506, 6561 - 460}));
    EXPECT_DOUBLE_EQ(page.rowHeight(), page.body.height() / 30.0);
    EXPECT_EQ(page.x(18), page.body.right);
    EXPECT_EQ(page.y(30), page.body.bottom);
}

TEST(PageGeometry, MarginsBelowThePrintableAreaAreRaisedToIt) {
    PrintSettings settings;
    settings.leftMargin = settings.topMargin = settings.rightMargin = settings.bottomMargin = 0;
    settings.headerOn = 1;
    settings.headerHeight = 0;
    const PageGeometry page = PrintedPageGeometry(kA4Printer, settings);
    EXPECT_EQ(page.body.left, 0);
    EXPECT_EQ(page.body.right, 4760);
    EXPECT_EQ(page.titleBox.top, 0);
    EXPECT_EQ(page.headerBox.top, 0) << "a header height of 0 is the printable area's top";

    // A margin of 150 mm is taken as typed, whatever is left of the page.
    settings.leftMargin = 150;
    EXPECT_EQ(PrintedPageGeometry(kA4Printer, settings).body.left, 3543 - 100);
}

TEST(PageGeometry, TheBitmapCanvas) {
    const PageGeometry page = BitmapPageGeometry();
    EXPECT_EQ(page.titleBox, (PageBox{30, 30, 1000, 98}));
    EXPECT_EQ(page.body, (PageBox{30, 98, 1000, 1370}));
    EXPECT_DOUBLE_EQ(page.columnWidth(), 970.0 / 18);
    EXPECT_DOUBLE_EQ(page.rowHeight(), 1272.0 / 30);
    EXPECT_FALSE(page.header || page.footer);
}

TEST(PageGeometry, PageNumberTexts) {
    const struct {
        std::int32_t format;
        std::int32_t start;
        std::int32_t page;
        const char* text;
    } cases[] = {
        {0, 1, 1, "1 "},   {0, 5, 2, "6 "},    {1, 5, 2, "VI"},
        {1, 1, 14, "XIV"}, {1, 1, 49, "XLIX"}, {1, 1000, 1, "M"},
        {1, 1000, 2, ""},  {1, 0, 1, ""},      {0, 2147483647, 2, "-2147483648 "},
    };
    for (const auto& c : cases) {
        PrintSettings settings;
        settings.pageNumberFormat = c.format;
        settings.startPageNumber = c.start;
        EXPECT_EQ(pageNumberText(settings, c.page), c.text) << c.start << " + " << c.page;
    }
}

} // namespace
} // namespace crackdepth::report
