#include "core/document/model/date_text.h"

#include "core/common/numbers.h"
#include "core/common/utf.h"
#include "core/document/model/user_prompts.h"

#include <charconv>
#include <ctime>

namespace crackdepth {
namespace {

// Date texts are read from their first ten characters only.
constexpr std::size_t kDateFieldLength = 10;

bool isLeapYear(std::int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int32_t daysInMonth(std::int32_t year, std::int32_t month) {
    constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year)) {
        return 29;
    }
    return kDays[month - 1];
}

// A part of a date as textToInt reads it; a part too long to read is told to the user and
// counts as 0.
std::int32_t datePart(std::string_view text, UserPrompts& prompts) {
    const TypedNumber<std::int32_t> part = textToInt(text);
    if (part.tooLong) {
        prompts.message(kNumberTooLongMessage);
    }
    return part.value;
}

// One reading of a date text: "<year><first><month><second><day>", where the day ends at
// `dayEnd` when that follows. Replaces `date` only when both separators are present.
void readParts(std::string_view text, std::string_view first, std::string_view second,
               std::string_view dayEnd, UserPrompts& prompts, std::optional<CalendarDate>& date) {
    const std::size_t firstAt = text.find(first);
    if (firstAt == std::string_view::npos) {
        return;
    }
    const std::int32_t year = datePart(text.substr(0, firstAt), prompts);
    const std::string_view rest = text.substr(firstAt + first.size());
    const std::size_t secondAt = rest.find(second);
    if (secondAt == std::string_view::npos) {
        return;
    }
    const std::int32_t month = datePart(rest.substr(0, secondAt), prompts);
    std::string_view dayText = rest.substr(secondAt + second.size());
    if (!dayEnd.empty()) {
        dayText = dayText.substr(0, dayText.find(dayEnd));
    }
    const std::int32_t day = datePart(dayText, prompts);
    date = MakeDate(year, month, day);
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool beginsWithTwoDigits(std::string_view text) {
    return text.size() >= 2 && isAsciiDigit(text[0]) && isAsciiDigit(text[1]) &&
           (text.size() == 2 || !isAsciiDigit(text[2]));
}

// The first `count` UTF-16 units of the text, never splitting a surrogate pair.
std::string firstUnits(std::string_view text, std::size_t count) {
    std::u16string wide = utf8ToUtf16(text);
    if (wide.size() > count) {
        const bool splitsPair = wide[count - 1] >= 0xD800 && wide[count - 1] <= 0xDBFF;
        wide.resize(splitsPair ? count - 1 : count);
    }
    return utf16ToUtf8(wide);
}

void appendNumber(std::string& out, std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

} // namespace

bool IsValidDate(const CalendarDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

std::optional<CalendarDate> MakeDate(std::int32_t year, std::int32_t month, std::int32_t day) {
    const CalendarDate date{year, month, day};
    if (!IsValidDate(date)) {
        return std::nullopt;
    }
    return date;
}

std::optional<CalendarDate> ParseDateText(std::string_view text, const CalendarDate& today,
                                          UserPrompts& prompts) {
    std::optional<CalendarDate> date = MakeDate(today.year, today.month, today.day);
    readParts(text, "-", "-", {}, prompts, date);
    readParts(text, ".", ".", {}, prompts, date);
    readParts(text, "年", "月", "日", prompts, date);
    return date;
}

std::string FormatDateText(const std::optional<CalendarDate>& date) {
    if (!date || !IsValidDate(*date)) {
        return "-1--1--1";
    }
    std::string text;
    appendNumber(text, date->year);
    text += '-';
    appendNumber(text, date->month);
    text += '-';
    appendNumber(text, date->day);
    return text;
}

std::optional<CalendarDate> ReadDateField(std::string_view text, TwoDigitYear years,
                                          const CalendarDate& today, UserPrompts& prompts) {
    std::string field(text);
    if (years == TwoDigitYear::In2000s && beginsWithTwoDigits(text)) {
        field.insert(0, "20");
    }
    return ParseDateText(firstUnits(field, kDateFieldLength), today, prompts);
}

CalendarDate LocalToday() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) {
        return {1970, 1, 1};
    }
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
}

} // namespace crackdepth
