#include "core/common/numbers.h"

#include "core/common/utf.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace crackdepth {
namespace {

// Typed numbers of this many UTF-16 units or more are refused.
constexpr std::size_t kMaxNumberLength = 20;

struct RomanDigit {
    std::uint32_t value;
    const char* symbol;
};

constexpr std::array<RomanDigit, 13> kRomanDigits{{
    {1000, "M"},
    {900, "CM"},
    {500, "D"},
    {400, "CD"},
    {100, "C"},
    {90, "XC"},
    {50, "L"},
    {40, "XL"},
    {10, "X"},
    {9, "IX"},
    {5, "V"},
    {4, "IV"},
    {1, "I"},
}};

// The white space of the C library's isspace in the "C" locale.
bool isSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool isHexDigit(char16_t c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
char16_t lowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

// A cursor over the UTF-16 units of a typed text. Only ASCII takes part in a number, so
// any other unit simply ends it.
class Scanner {
public:
    explicit Scanner(std::u16string_view text) : text_(text) {}

    char16_t peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : u'\0';
    }
    void skip(std::size_t count = 1) { pos_ += count; }
    std::size_t position() const { return pos_; }
    void rewind(std::size_t position) { pos_ = position; }

    void skipSpace() {
        while (isSpace(peek())) {
            ++pos_;
        }
    }
    // Consumes an optional sign; true when it was a minus.
    bool sign() {
        const char16_t c = peek();
        if (c == u'+' || c == u'-') {
            ++pos_;
            return c == u'-';
        }
        return false;
    }
    // Consumes `word` (lower-case ASCII) in any case; false, consuming nothing, when absent.
    bool word(std::string_view lower) {
        for (std::size_t k = 0; k < lower.size(); ++k) {
            if (lowerAscii(peek(k)) != static_cast<char16_t>(lower[k])) {
                return false;
            }
        }
        pos_ += lower.size();
        return true;
    }
    // Appends the run of units accepted by `accept` to `out` as ASCII; returns how many.
    template <typename Accept> std::size_t copyRun(std::string& out, Accept accept) {
        std::size_t count = 0;
        while (accept(peek())) {
            out.push_back(static_cast<char>(peek()));
            ++pos_;
            ++count;
        }
        return count;
    }

private:
    std::u16string_view text_;
    std::size_t pos_ = 0;
};

// Reads an exponent: the marker ('e' or 'p', in either case), an optional sign and at least
// one decimal digit. Appends it to `out` and returns its value saturated to ±1e6; consumes
// nothing when incomplete.
long exponent(Scanner& in, std::string& out, char marker) {
    if (lowerAscii(in.peek()) != static_cast<char16_t>(marker)) {
        return 0;
    }
    std::size_t digitsAt = 1;
    if (in.peek(1) == u'+' || in.peek(1) == u'-') {
        digitsAt = 2;
    }
    if (!isDigit(in.peek(digitsAt))) {
        return 0;
    }
    const bool negative = in.peek(1) == u'-';
    out.push_back(marker);
    out.push_back(negative ? '-' : '+');
    in.skip(digitsAt);
    long value = 0;
    while (isDigit(in.peek())) {
        out.push_back(static_cast<char>(in.peek()));
        if (value < 1000000) {
            value = value * 10 + (in.peek() - u'0');
        }
        in.skip();
    }
    return negative ? -value : value;
}

// The mantissa and exponent of a decimal or hexadecimal number without its sign, as
// std::from_chars reads them; empty when the text holds no number here.
struct NumberText {
    std::string text;
    std::chars_format format = std::chars_format::general;
    long exponent = 0;
};

NumberText scanHex(Scanner& in) {
    NumberText number;
    number.format = std::chars_format::hex;
    const std::size_t start = in.position();
    std::size_t digits = in.copyRun(number.text, isHexDigit);
    if (in.peek() == u'.') {
        number.text.push_back('.');
        in.skip();
        digits += in.copyRun(number.text, isHexDigit);
    }
    if (digits == 0) {
        in.rewind(start);
        return {};
    }
    number.exponent = exponent(in, number.text, 'p');
    return number;
}

NumberText scanDecimal(Scanner& in) {
    NumberText number;
    const std::size_t start = in.position();
    std::size_t digits = in.copyRun(number.text, isDigit);
    if (in.peek() == u'.') {
        number.text.push_back('.');
        in.skip();
        digits += in.copyRun(number.text, isDigit);
    }
    if (digits == 0) {
        in.rewind(start);
        return {};
    }
    number.exponent = exponent(in, number.text, 'e');
    return number;
}

// atof's reading of the leading number, in double precision and without any locale.
double leadingDouble(std::u16string_view text) {
    Scanner in(text);
    in.skipSpace();
    const bool negative = in.sign();
    const double sign = negative ? -1.0 : 1.0;

    if (in.word("infinity") || in.word("inf")) {
        return sign * std::numeric_limits<double>::infinity();
    }
    if (in.word("nan")) {
        return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
    }

    NumberText number;
    if (in.peek() == u'0' && lowerAscii(in.peek(1)) == u'x') {
        const std::size_t start = in.position();
        in.skip(2);
        number = scanHex(in);
        if (number.text.empty()) {
            in.rewind(start); // "0x" without hexadecimal digits is the number 0
        }
    }
    if (number.text.empty()) {
        number = scanDecimal(in);
    }
    if (number.text.empty()) {
        return 0.0;
    }

    double value = 0.0;
    const char* first = number.text.data();
    const char* last = first + number.text.size();
    const auto [end, error] = std::from_chars(first, last, value, number.format);
    if (error == std::errc::result_out_of_range) {
        // The mantissa of a text short enough to be read spans only a few powers of ten, so
        // the exponent alone decides between overflow and underflow.
        value = number.exponent > 0 ? HUGE_VAL : 0.0;
    } else if (error != std::errc{} || end != last) {
        return 0.0; // cannot happen: the scanner passes only what from_chars accepts
    }
    return sign * value;
}

// strtol's reading of the leading integer: saturated at the limits of a 64-bit long.
std::int64_t leadingLong(std::u16string_view text) {
    Scanner in(text);
    in.skipSpace();
    const bool negative = in.sign();
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const std::uint64_t limit = static_cast<std::uint64_t>(kMax) + (negative ? 1u : 0u);
    std::uint64_t magnitude = 0;
    bool overflow = false;
    while (isDigit(in.peek())) {
        const auto digit = static_cast<std::uint64_t>(in.peek() - u'0');
        if (magnitude > (limit - digit) / 10) {
            overflow = true;
        } else {
            magnitude = magnitude * 10 + digit;
        }
        in.skip();
    }
    if (overflow) {
        return negative ? kMin : kMax;
    }
    if (negative) {
        return magnitude == limit ? kMin : -static_cast<std::int64_t>(magnitude);
    }
    return static_cast<std::int64_t>(magnitude);
}

// The IEEE conversion to float, with values beyond the float range becoming infinite.
float toFloat(double value) {
    // Half a unit in the last place above the largest float: from here on rounding gives
    // infinity.
    constexpr double kFloatOverflow = 0x1.ffffffp127;
    if (std::fabs(value) >= kFloatOverflow) {
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

bool tooLong(std::u16string_view text) {
    return text.size() >= kMaxNumberLength;
}

} // namespace

bool toRoman(std::int32_t n, std::string& result) {
    auto rest = static_cast<std::uint32_t>(n);
    if (rest > 1000) {
        return false;
    }
    std::string roman;
    for (const RomanDigit& digit : kRomanDigits) {
        while (rest >= digit.value) {
            roman += digit.symbol;
            rest -= digit.value;
        }
    }
    result = std::move(roman);
    return true;
}

TypedNumber<float> textToFloat(std::string_view text) {
    const std::u16string wide = utf8ToUtf16(text);
    if (tooLong(wide)) {
        return {0.0f, true};
    }
    return {toFloat(leadingDouble(wide))};
}

TypedNumber<std::int32_t> textToInt(std::string_view text) {
    const std::u16string wide = utf8ToUtf16(text);
    if (tooLong(wide)) {
        return {0, true};
    }
    // atoi keeps the low 32 bits of strtol's result.
    return {static_cast<std::int32_t>(static_cast<std::uint32_t>(leadingLong(wide)))};
}

std::string formatFixed(float value, int decimals) {
    char buffer[400]; // room for the widest finite float in fixed notation
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

} // namespace crackdepth
