#include "core/common/numbers.h"
#include "core/document/model/date_text.h"
#include "core/document/model/scripted_prompts.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace crackdepth {
namespace {

constexpr CalendarDate kToday{2024, 3, 15};
constexpr const char* kTodayText = "2024-3-15";
constexpr const char* kInvalid = "-1--1--1";

TEST(DateText, ParseReadsEachSeparatorFormAndFormatWritesPlainNumbers) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"2012-10-20", "2012-10-20"},
        {"2012-01-05", "2012-1-5"},
        {"2012.10.20", "2012-10-20"},
        {"2012年10月20日", "2012-10-20"},
        {"2012年10月20", "2012-10-20"},
        {" 2012 - 10 - 20 ", "2012-10-20"},
        {"12-10-20", "12-10-20"}, // a two-digit year is a year of its own here
        {"9999-12-31", "9999-12-31"},
        {"2012-2-29", "2012-2-29"},
        {"2000-2-29", "2000-2-29"},
        // Incomplete texts leave today's date.
        {"", kTodayText},
        {"2012", kTodayText},
        {"2012-10", kTodayText},
        {"2012.10", kTodayText},
        {"2012年10", kTodayText},
        // Values that make no date.
        {"2012-13-01", kInvalid},
        {"2012-0-10", kInvalid},
        {"2011-2-29", kInvalid},
        {"1900-2-29", kInvalid},
        {"2012-4-31", kInvalid},
        {"0-1-1", kInvalid},
        {"10000-1-1", kInvalid},
        {"-1--1--1", kInvalid}, // what an invalid date is written as stays invalid
        // The dotted reading runs after the dashed one and replaces its result.
        {"2012-10-20 13.14.15", kInvalid},
        {"2012-10-20.", "2012-10-20"},
        {"2012年10月20日 2013-1-2", "2012-10-20"},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        EXPECT_EQ(FormatDateText(ParseDateText(c.text, kToday, prompts)), c.written) << c.text;
        EXPECT_TRUE(prompts.shown.empty()) << c.text;
    }
}

TEST(DateText, FormatWritesMinusOneForEveryPartOfAnInvalidDate) {
    EXPECT_EQ(FormatDateText(std::nullopt), kInvalid);
    EXPECT_EQ(FormatDateText(CalendarDate{2012, 2, 30}), kInvalid);
    EXPECT_EQ(FormatDateText(CalendarDate{2012, 1, 5}), "2012-1-5");
}

TEST(DateText, APartOfTwentyCharactersWarnsAndCountsAsZero) {
    const std::string twenty(20, '1');
    const struct {
        std::string text;
        std::size_t warnings;
        const char* written;
    } cases[] = {
        {"2012-10-" + twenty, 1, kInvalid},
        {"2012-10-" + std::string(18, '0') + "5", 0, "2012-10-5"},
        // The year is read before the second separator is looked for.
        {twenty + "-5", 1, kTodayText},
        // The day ends at "日", so what follows it is never read.
        {"2012年10月20日" + twenty, 0, "2012-10-20"},
        {"2012年10月" + twenty, 1, kInvalid},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        EXPECT_EQ(FormatDateText(ParseDateText(c.text, kToday, prompts)), c.written) << c.text;
        EXPECT_EQ(prompts.messages(), std::vector<std::string>(c.warnings, kNumberTooLongMessage))
            << c.text;
        EXPECT_EQ(prompts.shown.size(), c.warnings) << c.text;
    }
}

TEST(DateText, ReadDateFieldWidensTwoDigitYearsAndReadsTenCharacters) {
    const struct {
        const char* text;
        TwoDigitYear years;
        const char* written;
    } cases[] = {
        {"12-10-20", TwoDigitYear::In2000s, "2012-10-20"},
        {"12-1-5", TwoDigitYear::In2000s, "2012-1-5"},
        {"12.10.20", TwoDigitYear::In2000s, "2012-10-20"},
        {"12年10月20日", TwoDigitYear::In2000s, "2012-10-20"},
        {"2012-01-05", TwoDigitYear::In2000s, "2012-1-5"},
        {"2012.10.20", TwoDigitYear::In2000s, "2012-10-20"},
        {"2012.1.5", TwoDigitYear::In2000s, "2012-1-5"},
        {"2012年10月20日", TwoDigitYear::In2000s, "2012-10-20"},
        {"2012-10-20 08:30", TwoDigitYear::In2000s, "2012-10-20"},
        {"2012-10-2099", TwoDigitYear::In2000s, "2012-10-20"}, // the eleventh character is not read
        {"-1--1--1", TwoDigitYear::In2000s, kInvalid},
        // Texts too short to hold a date.
        {"", TwoDigitYear::In2000s, kTodayText},
        {"1", TwoDigitYear::In2000s, kTodayText},
        {"12", TwoDigitYear::In2000s, kTodayText},
        {"12-3", TwoDigitYear::In2000s, kTodayText},
        {"-", TwoDigitYear::In2000s, kTodayText},
        {"12-10-20", TwoDigitYear::AsWritten, "12-10-20"},
        {"2012年10月20日", TwoDigitYear::AsWritten, "2012-10-20"},
        {"", TwoDigitYear::AsWritten, kTodayText},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        EXPECT_EQ(FormatDateText(ReadDateField(c.text, c.years, kToday, prompts)), c.written)
            << c.text;
    }
}

TEST(DateText, ReadDateFieldNeverWarnsAboutLongTexts) {
    ScriptedPrompts prompts;
    EXPECT_EQ(FormatDateText(ReadDateField("2012-10-20" + std::string(30, '7'),
                                           TwoDigitYear::In2000s, kToday, prompts)),
              "2012-10-20");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(DateText, LocalTodayIsAValidDate) {
    EXPECT_TRUE(IsValidDate(LocalToday()));
}

} // namespace
} // namespace crackdepth
