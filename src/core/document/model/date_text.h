// Dates as the project information holds them: texts of year, "-", month, "-", day. Reading
// such a text into a date, writing a date back, and the normalisation the information pages
// and the information panel apply to the date texts they show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace crackdepth {

class UserPrompts;

struct CalendarDate {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;

    bool operator==(const CalendarDate&) const = default;
};

// A Gregorian date with a year from 1 to 9999: the dates whose text always reads back as the
// same date (a five-digit year can push the day past the ten characters that are read, a year
// below 1 starts the text with the separator "-").
bool IsValidDate(const CalendarDate& date);

// The date, or none (an invalid date) when the values make no valid date.
std::optional<CalendarDate> MakeDate(std::int32_t year, std::int32_t month, std::int32_t day);

// The date that the text names, starting from `today` (what a text without a complete date
// gives, an empty text included). Three readings run over the whole text in turn, each one
// that matches replacing the result of the earlier ones: "Y-M-D" (two "-" needed), "Y.M.D"
// (two "." needed) and "Y年M月D" with an optional "日" ("年" and "月" needed). Every part is
// read with textToInt; a part of 20 or more characters shows kNumberTooLongMessage through
// `prompts` and counts as 0. None when the last reading that matched makes no valid date.
std::optional<CalendarDate> ParseDateText(std::string_view text, const CalendarDate& today,
                                          UserPrompts& prompts);

// Year, "-", month, "-", day in plain decimal without leading zeros ("2012-1-5"); a missing or
// invalid date gives "-1--1--1".
std::string FormatDateText(const std::optional<CalendarDate>& date);

// Whether a two-digit year is read as a year of the 2000s before the text is parsed: the
// project-information page and the information panel do so for the test and casting dates
// (instrument files write "12-10-20"); the report date is taken as written.
enum class TwoDigitYear { AsWritten, In2000s };

// The date a page shows for a stored date text: with TwoDigitYear::In2000s a text that begins
// with exactly two digits gets "20" in front; then its first ten characters (UTF-16 units, as
// the files count them) are read with ParseDateText. A text too short to hold a date, the
// empty text included, therefore gives `today`.
std::optional<CalendarDate> ReadDateField(std::string_view text, TwoDigitYear years,
                                          const CalendarDate& today, UserPrompts& prompts);

// Today's date on the local clock, for callers that have no calendar of their own.
CalendarDate LocalToday();

} // namespace crackdepth
