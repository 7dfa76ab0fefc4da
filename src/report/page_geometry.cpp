#include "report/page_geometry.h"

#include "core/common/numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace crackdepth::report {
namespace {

// The settings' lengths are converted with a divisor slightly above 25.4 (as the printed
// report always has been); the fixed bands with 25.4 itself.
constexpr double kSettingsMillimetresPerInch = 25.40005111694336;

// trunc(dpi × mm / divisor), kept inside the int range for absurd typed values.
std::int32_t devicePixels(double dpi, double millimetres, double divisor) {
    const double value = std::trunc(dpi * millimetres / divisor);
    constexpr double kLimit = std::numeric_limits<std::int32_t>::max() / 4;
    return static_cast<std::int32_t>(std::clamp(value, -kLimit, kLimit));
}

std::int32_t fromSettings(double dpi, std::int32_t millimetres) {
    return devicePixels(dpi, millimetres, kSettingsMillimetresPerInch);
}

} // namespace

double PageGeometry::columnWidth() const {
    return body.width() * (1.0 / 18);
}
double PageGeometry::rowHeight() const {
    return body.height() * (1.0 / 30);
}
std::int32_t PageGeometry::x(double column) const {
    return static_cast<std::int32_t>(body.left + column * columnWidth());
}
std::int32_t PageGeometry::y(double row) const {
    return static_cast<std::int32_t>(body.top + row * rowHeight());
}

PageGeometry PrintedPageGeometry(const DeviceMetrics& device, const PrintSettings& settings) {
    PageGeometry page;
    page.dpiY = device.dpiY;
    // Margins below the printer's physical offsets are raised to them.
    const std::int32_t left =
        std::max(fromSettings(device.dpiX, settings.leftMargin), device.offsetX);
    const std::int32_t right =
        std::max(fromSettings(device.dpiX, settings.rightMargin), device.offsetX);
    const std::int32_t top =
        std::max(fromSettings(device.dpiY, settings.topMargin), device.offsetY);
    const std::int32_t bottom =
        std::max(fromSettings(device.dpiY, settings.bottomMargin), device.offsetY);
    const std::int32_t x0 = left - device.offsetX;
    const std::int32_t y0 = top - device.offsetY;
    const std::int32_t width = device.width + device.offsetX - x0 - right;
    std::int32_t height = device.height + device.offsetY - y0 - bottom;

    const auto mm = static_cast<std::int32_t>(device.dpiY / 25.4);
    const std::int32_t ten = 10 * mm;
    const std::int32_t two = 2 * mm;
    const std::int32_t fifteen = 15 * mm;
    if (settings.headerOn != 0) {
        page.header = true;
        const std::int32_t y = fromSettings(device.dpiY, settings.headerHeight);
        page.headerBox = {x0, y, x0 + width, y + ten - two};
        height -= ten;
    }
    if (settings.footerOn != 0 || settings.pageNumberOn != 0) {
        page.footer = true;
        const std::int32_t y =
            device.height -
            devicePixels(device.dpiY, settings.footerHeight + 19.0, kSettingsMillimetresPerInch);
        page.footerBox = {x0, y, x0 + width, y + ten};
        height -= ten;
    }
    page.titleBox = {x0, y0, x0 + width, y0 + fifteen - two};
    height -= fifteen;
    page.body = {x0, y0 + fifteen, x0 + width, y0 + fifteen + height};
    return page;
}

PageGeometry BitmapPageGeometry() {
    PageGeometry page;
    constexpr std::int32_t kMargin = 30;
    constexpr std::int32_t kTitleHeight = 480 / 7;
    page.titleBox = {kMargin, kMargin, kBitmapPageWidth - kMargin, kMargin + kTitleHeight};
    page.body = {kMargin, kMargin + kTitleHeight, kBitmapPageWidth - kMargin,
                 kBitmapPageHeight - kMargin};
    return page;
}

const char* frameFaceOf(std::int32_t index) {
    static constexpr std::array<const char*, 5> kFaces = {"宋体", "黑体", "隶书", "仿宋_GB2312",
                                                          "楷体_GB2312"};
    return kFaces[static_cast<std::size_t>(std::clamp(index, 0, 4))];
}

std::string pageNumberText(const PrintSettings& settings, std::int32_t page) {
    // Wraps like the int arithmetic it stands for, without its undefined overflow.
    const auto number =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(settings.startPageNumber) +
                                  static_cast<std::uint32_t>(page) - 1u);
    if (settings.pageNumberFormat == 0) {
        return std::to_string(number) + " ";
    }
    std::string roman;
    toRoman(number, roman);
    return roman;
}

} // namespace crackdepth::report
