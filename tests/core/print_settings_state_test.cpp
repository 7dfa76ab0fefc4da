#include "core/data/settings_file.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/print_settings_state.h"
#include "test_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {
namespace {

using C = PrintControl;

// A document whose print settings differ from the defaults in every field, so that a field
// taken over into the wrong place shows.
struct Bench {
    Bench() {
        PrintSettings p = print();
        p.borderWidth = 6;
        p.gridWidth = 3;
        p.topMargin = 21;
        p.leftMargin = 16;
        p.bottomMargin = 17;
        p.rightMargin = 18;
        p.pageNumberPosition = 2;
        p.startPageNumber = 7;
        p.pageNumberFormat = 1;
        p.headerHeight = 8;
        p.headerPosition = 1;
        p.headerFont = 3;
        p.headerText = "桥梁检测";
        p.footerHeight = 9;
        p.footerPosition = 2;
        p.footerFont = 4;
        p.footerText = "第二组";
        p.reportStyle = 1;
        doc.setPrintSettings(p);
    }
    const PrintSettings& print() const { return doc.settings().print; }
    void changePrint(const std::function<void(PrintSettings&)>& change) {
        PrintSettings print = doc.settings().print;
        change(print);
        doc.setPrintSettings(print);
    }
    PrintSettingsState& open() {
        state.emplace(doc);
        return *state;
    }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    std::optional<PrintSettingsState> state;
};

TEST(PrintSettingsNumbers, TypedIntegersAreWhatTheOperatorMeans) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"12", 12},
        {" 12 ", 12},
        {"\t-7", -7},
        {"+3", 3},
        {"0", 0},
        {"150", 150},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"1 2", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"--1", std::nullopt},
        {"0x10", std::nullopt},
        {"２", std::nullopt}, // a full-width digit
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseTypedInteger(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(PrintSettingsNumbers, SpinnerArrowsStepWithinTheirRange) {
    struct Case {
        const char* text;
        int steps;
        const char* result;
    };
    const Case cases[] = {
        {"5", 1, "6"},      {"5", -1, "4"},           {" 5 ", 1, "6"}, {"100", 1, "100"},
        {"0", -1, "0"},     {"150", 1, "100"}, // a typed value beyond the range comes back into it
        {"150", -1, "100"}, {"-5", 1, "0"},           {"abc", 1, "1"}, {"", -1, "0"},
        {"95", 10, "100"},  {"2147483647", 1, "100"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stepSpinnerText(c.text, c.steps), c.result) << c.text << " by " << c.steps;
    }
}

TEST(PrintSettingsState, OpeningFillsEveryControlFromTheRecord) {
    Bench bench;
    bench.changePrint([&](PrintSettings& p) { p.headerOn = 1; });
    bench.changePrint([&](PrintSettings& p) { p.tableHead = 0; });
    bench.changePrint([&](PrintSettings& p) { p.listChecks = 0; });
    const PrintSettingsView& view = bench.open().view();
    struct Text {
        C control;
        const char* text;
    };
    const Text texts[] = {
        {C::BorderWidth, "6"},     {C::GridWidth, "3"},       {C::TopMargin, "21"},
        {C::BottomMargin, "17"},   {C::LeftMargin, "16"},     {C::RightMargin, "18"},
        {C::StartPageNumber, "7"}, {C::HeaderHeight, "8"},    {C::HeaderText, "桥梁检测"},
        {C::FooterHeight, "9"},    {C::FooterText, "第二组"},
    };
    for (const Text& t : texts) {
        EXPECT_EQ(view[t.control].text, t.text) << static_cast<int>(t.control);
    }
    struct Value {
        C control;
        std::int32_t value;
    };
    const Value values[] = {
        {C::PageNumberOn, 0}, {C::PageNumberPosition, 2}, {C::PageNumberFormat, 1},
        {C::HeaderOn, 1},     {C::HeaderPosition, 1},     {C::HeaderFont, 3},
        {C::FooterOn, 0},     {C::FooterPosition, 2},     {C::FooterFont, 4},
        {C::TableHead, 0},    {C::ReportStyle, 1},        {C::ListChecks, 0},
    };
    for (const Value& v : values) {
        EXPECT_EQ(view[v.control].value, v.value) << static_cast<int>(v.control);
    }
    EXPECT_FALSE(view.focus);
    EXPECT_TRUE(bench.prompts.shown.empty());
}

TEST(PrintSettingsState, TheChecksSwitchIsOnByDefault) {
    EXPECT_EQ(PrintSettings().listChecks, 1);
    EXPECT_STREQ(printControlInfo(C::ListChecks).caption, "报告中列出测量检查");
    EXPECT_EQ(printControlInfo(C::ListChecks).kind, PrintControlKind::Check);
    Bench bench;
    EXPECT_EQ(bench.open().view()[C::ListChecks].value, 1);
}

TEST(PrintSettingsState, ListsHoldTheirEntriesInStoredOrder) {
    using Names = std::vector<std::string>;
    const auto names = [](C control) {
        const auto choices = printControlInfo(control).choices;
        return Names(choices.begin(), choices.end());
    };
    const Names fonts = {"宋体", "黑体", "隶书", "仿宋_GB2312", "楷体_GB2312"};
    const Names positions = {"左侧", "居中", "右侧"};
    EXPECT_EQ(names(C::HeaderFont), fonts);
    EXPECT_EQ(names(C::FooterFont), fonts);
    EXPECT_EQ(names(C::HeaderPosition), positions);
    EXPECT_EQ(names(C::FooterPosition), positions);
    EXPECT_EQ(names(C::PageNumberPosition), (Names{"底部左侧", "底部居中", "底部右侧"}));
    EXPECT_EQ(names(C::PageNumberFormat), (Names{"123", "I II III"}));
    EXPECT_EQ(names(C::ReportStyle), (Names{"常规样式", "简易样式", "波列样式"}));
}

// A stored style outside 0 … 2 becomes 0, in the record too, when the dialog opens.
TEST(PrintSettingsState, OpeningResetsAStyleOutsideTheList) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {0, 0}, {2, 2}, {3, 0}, {5, 0}, {-1, 0}, {-2147483647 - 1, 0},
    };
    for (const auto& [stored, shown] : cases) {
        Bench bench;
        bench.changePrint([&](PrintSettings& p) { p.reportStyle = stored; });
        const PrintSettingsView& view = bench.open().view();
        EXPECT_EQ(view[C::ReportStyle].value, shown) << stored;
        EXPECT_EQ(bench.print().reportStyle, shown) << stored;
    }
}

TEST(PrintSettingsState, AStyleOfFiveInTheSettingsFileShowsTheStandardStyle) {
    testing::TempDir dir;
    const auto file = dir.path() / "settings.bin";
    Settings stored;
    stored.print.reportStyle = 5;
    testing::writeBytes(file, serializeSettings(stored));
    ScriptedPrompts prompts;
    Document doc{prompts, {file, dir.path() / "saved.bin"}};
    // Out of its range, the stored style is back at its default as soon as it is read.
    EXPECT_EQ(doc.settings().print.reportStyle, 0);
    EXPECT_EQ(prompts.messages().size(), 1u) << "the reset is said";
    const PrintSettingsState state(doc);
    const std::int32_t shown = state.view()[C::ReportStyle].value;
    EXPECT_EQ(printControlInfo(C::ReportStyle).choices[static_cast<std::size_t>(shown)],
              std::string("常规样式"));
    EXPECT_EQ(doc.settings().print.reportStyle, 0);
}

// Which controls each switch enables; the labels and the rest of the page stay enabled.
TEST(PrintSettingsState, SwitchesEnableTheirOwnControls) {
    const std::vector<C> headerControls = {C::HeaderHeight, C::HeaderPosition, C::HeaderFont,
                                           C::HeaderText};
    const std::vector<C> footerControls = {C::FooterHeight, C::FooterPosition, C::FooterFont,
                                           C::FooterText};
    const std::vector<C> pageNumberControls = {C::PageNumberPosition, C::StartPageNumber,
                                               C::PageNumberFormat};
    struct Case {
        std::int32_t header, footer, pageNumber;
    };
    const Case cases[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::vector{c.header, c.footer, c.pageNumber}));
        // Opening enables by the record.
        Bench bench;
        bench.changePrint([&](PrintSettings& p) { p.headerOn = c.header; });
        bench.changePrint([&](PrintSettings& p) { p.footerOn = c.footer; });
        bench.changePrint([&](PrintSettings& p) { p.pageNumberOn = c.pageNumber; });
        PrintSettingsState& state = bench.open();
        const auto expectEnabled = [&](const PrintSettingsView& view, bool header, bool footer,
                                       bool pageNumber) {
            for (C control : headerControls) {
                EXPECT_EQ(view[control].enabled, header) << static_cast<int>(control);
            }
            for (C control : footerControls) {
                EXPECT_EQ(view[control].enabled, footer) << static_cast<int>(control);
            }
            for (C control : pageNumberControls) {
                EXPECT_EQ(view[control].enabled, pageNumber) << static_cast<int>(control);
            }
            for (C control : {C::BorderWidth, C::GridWidth, C::TopMargin, C::BottomMargin,
                              C::LeftMargin, C::RightMargin, C::HeaderOn, C::FooterOn,
                              C::PageNumberOn, C::TableHead, C::ReportStyle, C::ListChecks}) {
                EXPECT_TRUE(view[control].enabled) << static_cast<int>(control);
            }
        };
        expectEnabled(state.view(), c.header != 0, c.footer != 0, c.pageNumber != 0);
        // Each click flips its own group only, and reaches the record at once.
        state.onSwitchClicked(C::HeaderOn, c.header == 0);
        expectEnabled(state.view(), c.header == 0, c.footer != 0, c.pageNumber != 0);
        state.onSwitchClicked(C::FooterOn, c.footer == 0);
        state.onSwitchClicked(C::PageNumberOn, c.pageNumber == 0);
        expectEnabled(state.view(), c.header == 0, c.footer == 0, c.pageNumber == 0);
        EXPECT_EQ(bench.print().headerOn, c.header == 0 ? 1 : 0);
        EXPECT_EQ(bench.print().footerOn, c.footer == 0 ? 1 : 0);
        EXPECT_EQ(bench.print().pageNumberOn, c.pageNumber == 0 ? 1 : 0);
    }
}

// Every control reaches its own field, and only that one.
TEST(PrintSettingsState, TakeOverCopiesEachControlIntoItsField) {
    struct Case {
        C control;
        const char* text;   // for edits
        std::int32_t value; // for check boxes and lists
        std::function<void(PrintSettings&)> expected;
    };
    const Case cases[] = {
        {C::BorderWidth, "1", 0, [](PrintSettings& p) { p.borderWidth = 1; }},
        {C::GridWidth, "5", 0, [](PrintSettings& p) { p.gridWidth = 5; }},
        {C::TopMargin, "31", 0, [](PrintSettings& p) { p.topMargin = 31; }},
        {C::BottomMargin, "32", 0, [](PrintSettings& p) { p.bottomMargin = 32; }},
        {C::LeftMargin, "33", 0, [](PrintSettings& p) { p.leftMargin = 33; }},
        {C::RightMargin, "34", 0, [](PrintSettings& p) { p.rightMargin = 34; }},
        {C::StartPageNumber, "-4", 0, [](PrintSettings& p) { p.startPageNumber = -4; }},
        {C::HeaderHeight, "0", 0, [](PrintSettings& p) { p.headerHeight = 0; }},
        {C::FooterHeight, " 12 ", 0, [](PrintSettings& p) { p.footerHeight = 12; }},
        {C::HeaderText, "页眉 A", 0, [](PrintSettings& p) { p.headerText = "页眉 A"; }},
        {C::FooterText, "", 0, [](PrintSettings& p) { p.footerText = ""; }},
        {C::PageNumberPosition, "", 0, [](PrintSettings& p) { p.pageNumberPosition = 0; }},
        {C::PageNumberFormat, "", 0, [](PrintSettings& p) { p.pageNumberFormat = 0; }},
        {C::HeaderPosition, "", 2, [](PrintSettings& p) { p.headerPosition = 2; }},
        {C::HeaderFont, "", 0, [](PrintSettings& p) { p.headerFont = 0; }},
        {C::FooterPosition, "", 0, [](PrintSettings& p) { p.footerPosition = 0; }},
        {C::FooterFont, "", 1, [](PrintSettings& p) { p.footerFont = 1; }},
        {C::TableHead, "", 0, [](PrintSettings& p) { p.tableHead = 0; }},
        {C::ReportStyle, "", 2, [](PrintSettings& p) { p.reportStyle = 2; }},
        {C::ListChecks, "", 0, [](PrintSettings& p) { p.listChecks = 0; }},
    };
    for (const Case& c : cases) {
        Bench bench;
        PrintSettingsState& state = bench.open();
        PrintSettings expected = bench.print();
        c.expected(expected);
        const PrintControlKind kind = printControlInfo(c.control).kind;
        if (kind == PrintControlKind::Integer || kind == PrintControlKind::Text) {
            state.setText(c.control, c.text);
        } else {
            state.setValue(c.control, c.value);
        }
        EXPECT_EQ(bench.print(), Bench().print()) << "nothing before the take-over";
        EXPECT_TRUE(state.takeOver());
        EXPECT_EQ(bench.print(), expected) << static_cast<int>(c.control);
    }
}

// "确定" with a field that is not an integer: the message, the focus on the first such
// field in page order, the dialog stays open and the record is left whole.
TEST(PrintSettingsState, AFieldWithoutAnIntegerStopsTheTakeOver) {
    struct Case {
        std::vector<std::pair<C, const char*>> typed;
        C named;
    };
    const Case cases[] = {
        {{{C::BorderWidth, "abc"}}, C::BorderWidth},
        {{{C::GridWidth, ""}}, C::GridWidth},
        {{{C::TopMargin, "1.5"}}, C::TopMargin},
        {{{C::RightMargin, "12abc"}}, C::RightMargin},
        {{{C::StartPageNumber, "3000000000"}}, C::StartPageNumber},
        {{{C::HeaderHeight, "五"}}, C::HeaderHeight},
        {{{C::FooterHeight, "-"}}, C::FooterHeight},
        // The first in page order, whatever the order of typing.
        {{{C::FooterHeight, "x"}, {C::LeftMargin, "y"}}, C::LeftMargin},
        // Values typed into good fields wait with the rest.
        {{{C::TopMargin, "40"}, {C::HeaderText, "新"}, {C::BottomMargin, "z"}}, C::BottomMargin},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.named));
        Bench bench;
        PrintSettingsState& state = bench.open();
        state.setValue(C::ReportStyle, 2);
        for (const auto& [control, text] : c.typed) {
            state.setText(control, text);
        }
        const PrintSettings before = bench.print();
        EXPECT_FALSE(state.onOk());
        EXPECT_EQ(bench.prompts.messages(),
                  std::vector<std::string>{printFieldName(c.named) + "：请输入一个整数。"});
        EXPECT_EQ(state.view().focus, c.named);
        EXPECT_EQ(bench.print(), before);
        for (const auto& [control, text] : c.typed) {
            EXPECT_EQ(state.view()[control].text, text) << "the typed text stays to be fixed";
        }
        // Fixing the field lets everything through.
        for (const auto& [control, text] : c.typed) {
            if (!parseTypedInteger(text) &&
                printControlInfo(control).kind == PrintControlKind::Integer) {
                state.setText(control, "11");
            }
        }
        EXPECT_TRUE(state.onOk());
        EXPECT_FALSE(state.view().focus);
        EXPECT_EQ(bench.print().reportStyle, 2);
        EXPECT_EQ(bench.prompts.messages().size(), 1u);
    }
}

// The message names the field by its group and caption, since several share a caption.
TEST(PrintSettingsState, MessagesNameTheFieldByGroupAndCaption) {
    const std::pair<C, const char*> cases[] = {
        {C::BorderWidth, "线型“边框”"},         {C::TopMargin, "页边距“上”"},
        {C::StartPageNumber, "页码“起始页码”"}, {C::HeaderHeight, "页眉“高度”"},
        {C::FooterHeight, "页脚“高度”"},
    };
    for (const auto& [control, name] : cases) {
        EXPECT_EQ(printFieldName(control), name);
    }
}

// A switch click over a bad field checks nothing: no message, no focus taken, the group
// follows the click, the record keeps its switch until a take-over succeeds; Cancel still
// puts the opening state back. Before, the click raised the message and took the focus.
TEST(PrintSettingsState, ASwitchClickOverABadFieldKeepsTheRecord) {
    Bench bench;
    PrintSettingsState& state = bench.open();
    state.setText(C::GridWidth, "2.5");
    const PrintSettingsView& view = state.onSwitchClicked(C::HeaderOn, true);
    EXPECT_TRUE(bench.prompts.shown.empty());
    EXPECT_FALSE(view.focus);
    EXPECT_EQ(view[C::HeaderOn].value, 1);
    EXPECT_TRUE(view[C::HeaderHeight].enabled);
    EXPECT_EQ(bench.print().headerOn, 0);
    state.setText(C::GridWidth, "3");
    state.onStyleChosen(2);
    EXPECT_EQ(bench.print().headerOn, 1);
    EXPECT_EQ(bench.print().reportStyle, 2);
    state.onCancel();
    EXPECT_EQ(bench.print().headerOn, 0);
    EXPECT_EQ(bench.print().reportStyle, 2);
}

TEST(PrintSettingsState, TypedValuesBeyondTheSpinnerRangeAreTakenAsTyped) {
    Bench bench;
    PrintSettingsState& state = bench.open();
    state.setText(C::TopMargin, "150");
    state.setText(C::StartPageNumber, "1000");
    state.setText(C::HeaderHeight, "-3");
    EXPECT_TRUE(state.onOk());
    EXPECT_EQ(bench.print().topMargin, 150);
    EXPECT_EQ(bench.print().startPageNumber, 1000);
    EXPECT_EQ(bench.print().headerHeight, -3);
    EXPECT_TRUE(bench.prompts.shown.empty());
}

// Cancel puts back the three switches as they were at opening; everything a click or a
// style choice took over meanwhile stays.
TEST(PrintSettingsState, CancelRestoresOnlyTheSwitches) {
    struct Case {
        std::int32_t header, footer, pageNumber;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 1}, Case{0, 1, 0}}) {
        Bench bench;
        bench.changePrint([&](PrintSettings& p) { p.headerOn = c.header; });
        bench.changePrint([&](PrintSettings& p) { p.footerOn = c.footer; });
        bench.changePrint([&](PrintSettings& p) { p.pageNumberOn = c.pageNumber; });
        PrintSettingsState& state = bench.open();
        state.onSwitchClicked(C::HeaderOn, c.header == 0);
        state.setText(C::HeaderText, "新的页眉");
        state.setText(C::TopMargin, "25");
        state.onSwitchClicked(C::FooterOn, c.footer == 0);
        state.onSwitchClicked(C::PageNumberOn, c.pageNumber == 0);
        state.setText(C::LeftMargin, "44"); // typed after the last take-over: lost
        state.onCancel();
        EXPECT_EQ(bench.print().headerOn, c.header);
        EXPECT_EQ(bench.print().footerOn, c.footer);
        EXPECT_EQ(bench.print().pageNumberOn, c.pageNumber);
        EXPECT_EQ(bench.print().headerText, "新的页眉");
        EXPECT_EQ(bench.print().topMargin, 25);
        EXPECT_EQ(bench.print().leftMargin, 16);
    }
}

TEST(PrintSettingsState, PageNumberControlsOffKeepTheirValues) {
    Bench bench;
    bench.changePrint([&](PrintSettings& p) { p.pageNumberOn = 1; });
    PrintSettingsState& state = bench.open();
    const PrintSettingsView& view = state.onSwitchClicked(C::PageNumberOn, false);
    for (C control : {C::PageNumberPosition, C::StartPageNumber, C::PageNumberFormat}) {
        EXPECT_FALSE(view[control].enabled) << static_cast<int>(control);
    }
    EXPECT_EQ(view[C::PageNumberPosition].value, 2);
    EXPECT_EQ(view[C::StartPageNumber].text, "7");
    EXPECT_EQ(view[C::PageNumberFormat].value, 1);
    EXPECT_TRUE(state.onOk());
    EXPECT_EQ(bench.print().pageNumberOn, 0);
    EXPECT_EQ(bench.print().pageNumberPosition, 2);
    EXPECT_EQ(bench.print().startPageNumber, 7);
    EXPECT_EQ(bench.print().pageNumberFormat, 1);
}

TEST(PrintSettingsState, OkNeedsSomethingToPrint) {
    struct Case {
        std::int32_t report, waveforms;
        bool closes;
    };
    for (const Case& c :
         {Case{1, 0, true}, Case{0, 1, true}, Case{1, 1, true}, Case{0, 0, false}}) {
        Bench bench;
        bench.changePrint([&](PrintSettings& p) { p.printReport = c.report; });
        bench.changePrint([&](PrintSettings& p) { p.printWaveforms = c.waveforms; });
        PrintSettingsState& state = bench.open();
        state.setText(C::BorderWidth, "9");
        EXPECT_EQ(state.onOk(), c.closes) << c.report << c.waveforms;
        EXPECT_EQ(bench.print().borderWidth, 9) << "taken over either way";
        EXPECT_EQ(bench.prompts.messages(), c.closes
                                                ? std::vector<std::string>{}
                                                : std::vector<std::string>{"请选择要打印的内容"});
        EXPECT_FALSE(state.view().focus);
    }
}

// A stored switch value other than 0 or 1 shows ticked and, untouched, stays as stored.
TEST(PrintSettingsState, UntouchedValuesSurviveATakeOver) {
    Bench bench;
    bench.changePrint([&](PrintSettings& p) { p.headerOn = 2; });
    // beyond the list: kept until the operator chooses
    bench.changePrint([](PrintSettings& p) { p.headerFont = 9; });
    const PrintSettings stored = bench.print();
    PrintSettingsState& state = bench.open();
    EXPECT_TRUE(state.view()[C::HeaderText].enabled);
    EXPECT_TRUE(state.onOk());
    EXPECT_EQ(bench.print(), stored);
}

} // namespace
} // namespace crackdepth
