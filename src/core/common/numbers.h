// Number helpers of the dialogs and reports: Roman page numbers and the C-library-style
// reading of typed numbers, independent of the desktop's locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace crackdepth {

inline constexpr const char* kNumberTooLongMessage = "数字过长，请输入小于20位的数值";

// Writes n in Roman numerals into `result` and returns true; returns false and leaves
// `result` as it was when n, taken as unsigned, is above 1000 (a negative n too).
bool toRoman(std::int32_t n, std::string& result);

// A typed number as read: its value and whether the text was too long to be read at all (20
// or more characters: the value is 0, and the caller tells the user kNumberTooLongMessage).
template <typename T> struct TypedNumber {
    T value{};
    bool tooLong = false;
};

// The leading number of a typed text, read like atof/atoi: leading white space, a sign,
// digits (and for the float a decimal point and an exponent); 0 when there is none.
TypedNumber<float> textToFloat(std::string_view text);
TypedNumber<std::int32_t> textToInt(std::string_view text);

// "%.Nf" of a value, whatever the desktop's locale.
std::string formatFixed(float value, int decimals);

} // namespace crackdepth
