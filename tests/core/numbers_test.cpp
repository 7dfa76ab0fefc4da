#include "core/common/numbers.h"
#include "core/document/model/scripted_prompts.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>

namespace crackdepth {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

std::string repeat(const std::string& text, std::size_t count) {
    std::string out;
    for (std::size_t k = 0; k < count; ++k) {
        out += text;
    }
    return out;
}

TEST(Numbers, RomanNumerals) {
    const struct {
        std::int32_t n;
        const char* roman;
    } cases[] = {
        {0, ""},      {1, "I"},   {4, "IV"},   {9, "IX"},       {14, "XIV"},     {40, "XL"},
        {49, "XLIX"}, {90, "XC"}, {400, "CD"}, {944, "CMXLIV"}, {999, "CMXCIX"}, {1000, "M"},
    };
    for (const auto& c : cases) {
        std::string result = "old";
        EXPECT_TRUE(toRoman(c.n, result)) << c.n;
        EXPECT_EQ(result, c.roman) << c.n;
    }
}

TEST(Numbers, RomanRefusesAboveThousandAndNegatives) {
    for (const std::int32_t n : {1001, 3999, -1, std::numeric_limits<std::int32_t>::min()}) {
        std::string result = "old";
        EXPECT_FALSE(toRoman(n, result)) << n;
        EXPECT_EQ(result, "old") << n;
    }
}

TEST(Numbers, TextToIntReadsTheLeadingNumberLikeAtoi) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {" \t\n\v\f\r-42x", -42},
        {"+7", 7},
        {"- 5", 0},
        {"+-5", 0},
        {"1.9", 1},
        {"12\u30003", 12},   // an ideographic space ends the number
        {"\uFF11\uFF12", 0}, // full-width digits are not digits
        // Beyond 32 bits: strtol's value, then its low 32 bits.
        {"2147483648", -2147483648},
        {"4294967297", 1},
        {"-999999999999999999", 1486618625},
        {"9999999999999999999", -1}, // saturates at LONG_MAX = 0x7fff'ffff'ffff'ffff
        {"-9999999999999999", -1874919423},
        {"-000000000000000009", -9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textToInt(c.text).value, c.value) << c.text;
        EXPECT_FALSE(textToInt(c.text).tooLong) << c.text;
    }
}

TEST(Numbers, TextToFloatReadsTheLeadingNumberLikeAtof) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {"1.5e2", 150.0f},
        {" -3.25", -3.25f},
        {"1,5", 1.0f},
        {"abc", 0.0f},
        {"", 0.0f},
        {"1e", 1.0f}, // an exponent without digits is not part of the number
        {"1e+", 1.0f},
        {"2E-1x", 0.2f},
        {".5", 0.5f},
        {"5.", 5.0f},
        {".", 0.0f},
        {"-.e1", 0.0f},
        {"+.25e1", 2.5f},
        {"0x1p4", 16.0f},
        {"-0X.8", -0.5f},
        {"0x1.8P-1z", 0.75f},
        {"0x", 0.0f},
        {"0xg", 0.0f},
        {"0x1p", 1.0f},
        {"inf", kInf},
        {"-Infinity", -kInf},
        {"INFINIT", kInf}, // only "inf" is taken
        {"1e39", kInf},    // too large for a float
        {"-1e400", -kInf}, // too large for a double
        {"1e-400", 0.0f},
        {"1e-50", 0.0f},
        {"3.4028235e38", std::numeric_limits<float>::max()},
        {"3.40282356e38", std::numeric_limits<float>::max()}, // rounds down to the largest float
        {"3.4028236e38", kInf},                               // rounds up past it
        {"7\u00B72", 7.0f},                                   // a middle dot ends the number
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textToFloat(c.text).value, c.value) << c.text;
        EXPECT_FALSE(textToFloat(c.text).tooLong) << c.text;
    }
    EXPECT_TRUE(std::isnan(textToFloat("NaN").value));
    EXPECT_TRUE(std::isnan(textToFloat(" -nan(0x1)").value));
}

TEST(Numbers, TwentyCharactersAreTooLong) {
    // Characters are counted in UTF-16 units: one outside the BMP counts twice.
    const std::string clef = "\U0001D11E";
    const std::string work = "\u5de5";
    const struct {
        std::string text;
        bool tooLong;
        std::int32_t asInt;
        float asFloat;
    } cases[] = {
        // 7777777777777777777 keeps its low 32 bits as an int
        {std::string(19, '7'), false, 845094001, 7777777777777777777.0f},
        {std::string(20, '7'), true, 0, 0.0f},
        {std::string(19, ' ') + "5", true, 0, 0.0f},
        {"5" + repeat(clef, 9), false, 5, 5.0f},  // 19 units
        {"5" + repeat(clef, 10), true, 0, 0.0f},  // 21 units
        {"5" + repeat(work, 18), false, 5, 5.0f}, // 19 units in 55 bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textToInt(c.text).value, c.asInt) << c.text;
        EXPECT_EQ(textToFloat(c.text).value, c.asFloat) << c.text;
        EXPECT_EQ(textToInt(c.text).tooLong, c.tooLong) << c.text;
        EXPECT_EQ(textToFloat(c.text).tooLong, c.tooLong) << c.text;
    }
}

// Switches the process to a locale whose decimal separator is a comma for the lifetime of
// the object, through the C library and through std::locale::global.
class CommaLocale {
public:
    CommaLocale() {
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            try {
                const std::locale comma(name);
                if (std::setlocale(LC_ALL, name) == nullptr) {
                    continue;
                }
                previousC_ = previous;
                previousCpp_ = std::locale::global(comma);
                return;
            } catch (const std::runtime_error&) {
            }
        }
    }
    ~CommaLocale() {
        if (previousC_) {
            std::locale::global(*previousCpp_);
            std::setlocale(LC_ALL, previousC_->c_str());
        }
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return previousC_.has_value(); }

private:
    std::optional<std::string> previousC_;
    std::optional<std::locale> previousCpp_;
};

TEST(Numbers, ReadingIgnoresTheLocale) {
    const CommaLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    EXPECT_EQ(textToFloat("1,5").value, 1.0f);
    EXPECT_EQ(textToFloat("1.5").value, 1.5f);
    EXPECT_EQ(textToFloat("-2.5e-1").value, -0.25f);
}

} // namespace
} // namespace crackdepth
