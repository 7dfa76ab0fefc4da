#include "core/data/text_field.h"

#include "core/common/utf.h"

#include <algorithm>

namespace crackdepth {

void writeTextField(ByteWriter& out, std::string_view text, std::size_t width) {
    std::u16string units = utf8ToUtf16(text);
    if (units.size() > width) {
        units.resize(width);
        if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
            units.pop_back();
        }
    }
    for (const char16_t unit : units) {
        out.put<std::uint16_t>(unit);
    }
    out.putZeros((width - units.size()) * 2);
}

std::string readTextField(std::span<const std::uint8_t> bytes, std::size_t width,
                          std::size_t keep) {
    std::u16string units;
    const std::size_t available = std::min(width, bytes.size() / 2);
    for (std::size_t i = 0; i < available; ++i) {
        const auto unit = loadLE<std::uint16_t>(bytes.data() + 2 * i);
        if (unit == 0) {
            break;
        }
        units.push_back(static_cast<char16_t>(unit));
    }
    if (units.size() > keep) {
        units.resize(keep);
    }
    return utf16ToUtf8(units);
}

} // namespace crackdepth
