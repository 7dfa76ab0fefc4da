// Where a report page puts its bands: header, footer, title and the ruled body, in the device
// units of the output, from its resolution, the printable area and the print settings. The
// bitmap report's pages have a fixed canvas instead.
#pragma once

#include "core/data/print_settings.h"

#include <cstdint>

namespace crackdepth::report {

// A rectangle by its edges, as the page arithmetic gives them (right and bottom are edges,
// not the last pixel).
struct PageBox {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool operator==(const PageBox&) const = default;
};

// What an output tells of itself: pixels per inch and the printable area (its offset from the
// paper's corner and its size). The drawing's origin is the printable area's top-left corner.
struct DeviceMetrics {
    double dpiX = 600;
    double dpiY = 600;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int32_t width = 0;  // printable width, device pixels
    std::int32_t height = 0; // printable height, device pixels
};

struct PageGeometry {
    bool header = false; // the bands are drawn only when the settings print them
    bool footer = false;
    PageBox headerBox;
    PageBox footerBox;
    PageBox titleBox;
    PageBox body;
    double dpiY = 96;

    double columnWidth() const; // body width / 18
    double rowHeight() const;   // body height / 30
    // Grid column c and row r of the body: trunc(left + c·colW), trunc(top + r·rowH).
    std::int32_t x(double column) const;
    std::int32_t y(double row) const;
};

// A printed or previewed page (and a PDF page, which is printed without physical offsets).
PageGeometry PrintedPageGeometry(const DeviceMetrics& device, const PrintSettings& settings);

// The bitmap report's 1030 × 1400 canvas: a margin of 30, the title band 68 high, the body
// below it; no header, footer or page number.
inline constexpr std::int32_t kBitmapPageWidth = 1030;
inline constexpr std::int32_t kBitmapPageHeight = 1400;
PageGeometry BitmapPageGeometry();

// The face of entry `index` of the print settings' header and footer font lists ("宋体",
// "黑体", "隶书", "仿宋_GB2312", "楷体_GB2312"); an index outside them gives the first.
const char* frameFaceOf(std::int32_t index);

// The page number printed on page `page` (1-based): "%d " of the numbered page (a blank
// follows) or its Roman numeral; empty when the Roman numeral cannot be written (above 1000).
std::string pageNumberText(const PrintSettings& settings, std::int32_t page);

} // namespace crackdepth::report
