// Conversions between the UTF-8 texts the program holds and the UTF-16 code units the
// measurement and settings files store.
#pragma once

#include <string>
#include <string_view>

namespace crackdepth {

// Malformed input (a lone surrogate, a broken UTF-8 sequence) becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// Number of UTF-16 code units the text occupies in a file field.
std::size_t utf16Length(std::string_view text);

// The text without its last `count` UTF-16 code units (empty when it has no more): how a
// file name loses its extension ("SITE.DP0" gives "SITE").
std::string withoutLastUnits(std::string_view text, std::size_t count);

// True when `text` ends with `ending` (compared exactly, case included).
bool endsWith(std::string_view text, std::string_view ending);

} // namespace crackdepth
