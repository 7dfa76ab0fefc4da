#include "core/document/panel_state/number_entry.h"

#include "core/common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace crackdepth {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// from_chars reads "inf", "nan" and hexadecimal forms too; a typed number is digits only.
bool onlyDecimalCharacters(std::string_view text) {
    for (const char c : text) {
        const bool allowed =
            (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

} // namespace

NumberEntry readNumberEntry(std::string_view text) {
    if (textToFloat(text).tooLong) { // the one length rule of typed numbers
        return {std::nullopt, kNumberTooLongMessage};
    }
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !onlyDecimalCharacters(text) || text.front() == '+' ||
        text.front() == '-') {
        return {std::nullopt, kNotANumberMessage};
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (error != std::errc() || ptr != end || !std::isfinite(value) ||
        std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return {std::nullopt, kNotANumberMessage};
    }
    return {static_cast<float>(negative ? -value : value), nullptr};
}

std::string entryMessage(std::string_view field, std::string_view problem) {
    std::string message(field);
    message += "：";
    message += problem;
    return message;
}

} // namespace crackdepth
