// Number helpers of the dialogs and reports: Roman page numbers and the C-library-style
// reading of typed numbers, independent of the desktop's locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace crackdepth {

class UserPrompts;

inline constexpr const char* kNumberTooLongMessage = "数字过长，请输入小于20位的数值";

// Writes n in Roman numerals into `result` and returns true; returns false and leaves
// `result` as it was when n, taken as unsigned, is above 1000 (a negative n too).
bool toRoman(std::int32_t n, std::string& result);

// The leading number of a typed text, read like atof/atoi: leading white space, a sign,
// digits (and for the float a decimal point and an exponent); 0 when there is none. A text
// of 20 or more characters shows kNumberTooLongMessage through `prompts` and gives 0.
float textToFloat(std::string_view text, UserPrompts& prompts);

// "%.Nf" of a value, whatever the desktop's locale.
std::string formatFixed(float value, int decimals);
std::int32_t textToInt(std::string_view text, UserPrompts& prompts);

} // namespace crackdepth
