// The one rule of number entry in the dialogs: a field holds a number only when its whole
// text is one; typing is never interrupted by a message; the dialog previews only entries
// that pass, and "确定" checks every field, keeps the dialog open and says which field is
// wrong and why.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace crackdepth {

inline constexpr const char* kNotANumberMessage = "请输入一个数值";

// A field's text read as a number. `problem` says why there is none: kNotANumberMessage
// (empty, letters, "x1", "5abc", not finite) or kNumberTooLongMessage (20 characters or more).
struct NumberEntry {
    std::optional<float> value;
    const char* problem = nullptr;
};

// Blanks around the number are allowed; then an optional sign, decimal digits with an
// optional decimal point and exponent, whatever the desktop's locale. Values beyond the
// float range are no number.
NumberEntry readNumberEntry(std::string_view text);

// What "确定" says about a field: "高通(kHz)：请输入一个数值".
std::string entryMessage(std::string_view field, std::string_view problem);

} // namespace crackdepth
