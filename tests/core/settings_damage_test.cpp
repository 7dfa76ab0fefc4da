// A settings file of garbage must not reach the program: every value read is checked against
// its range and kind and falls back to its default on its own, the user is told once, and
// the file written at the end is sound. A failed save of the settings says why.
#include "core/common/bytes.h"
#include "core/data/settings_file.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "test_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace crackdepth {
namespace {

// In a file whose texts are empty but the first project text ("工", one unit): where the
// print numbers start, where that unit lies, and the last four values.
constexpr std::size_t kPrintAt = 52;
constexpr std::size_t kProjectUnitAt = 148 + 4;

using Bytes = std::vector<std::uint8_t>;

Settings goodSettings() {
    Settings good;
    good.print.headerOn = 1;
    good.print.borderWidth = 7;
    good.print.reportStyle = 2;
    good.project.texts[0] = "工";
    good.project.locked = 1;
    good.panelWidths = {300, 250, 240};
    return good;
}

TEST(SettingsDamage, EachDamagedValueFallsBackToItsDefaultAlone) {
    const Settings good = goodSettings();
    const Bytes bytes = serializeSettings(good);
    const std::size_t end = bytes.size();
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        std::function<void(Settings&)> expected; // the good settings with the default back
    };
    const Case cases[] = {
        {"a flag of 2", [](Bytes& b) { storeLE(&b[kPrintAt], std::int32_t{2}); },
         [](Settings& s) { s.print.headerOn = 0; }},
        {"a border of a million units",
         [](Bytes& b) { storeLE(&b[kPrintAt + 6 * 4], std::int32_t{1000000}); },
         [](Settings& s) { s.print.borderWidth = 4; }},
        {"a negative margin", [](Bytes& b) { storeLE(&b[kPrintAt + 8 * 4], std::int32_t{-5}); },
         [](Settings&) {}},
        {"a report style of 3",
         [&](Bytes& b) { storeLE(&b[kProjectUnitAt - 4 - 4 - 4], std::int32_t{3}); },
         [](Settings& s) { s.print.reportStyle = 0; }},
        {"a lone surrogate in a project text",
         [](Bytes& b) { storeLE(&b[kProjectUnitAt], std::uint16_t{0xD800}); },
         [](Settings& s) { s.project.texts[0].clear(); }},
        {"a lock flag of 7", [end](Bytes& b) { storeLE(&b[end - 16], std::int32_t{7}); },
         [](Settings& s) { s.project.locked = 0; }},
        {"an information panel of 1,070 px",
         [end](Bytes& b) { storeLE(&b[end - 12], std::int32_t{1070}); },
         [](Settings& s) { s.panelWidths[0] = 220; }},
    };
    Settings read;
    ASSERT_TRUE(parseSettings(bytes, read));
    ASSERT_EQ(read, good);
    ASSERT_EQ(loadLE<std::uint16_t>(&bytes[kProjectUnitAt]), 0x5DE5u);
    for (const Case& c : cases) {
        Bytes damaged = bytes;
        c.damage(damaged);
        Settings expected = good;
        c.expected(expected);
        Settings loaded;
        EXPECT_FALSE(parseSettings(damaged, loaded)) << c.what;
        EXPECT_EQ(loaded, expected) << c.what;
    }

    // Texts with control characters are damage too; a file that merely ends early is not.
    Settings control = good;
    control.print.footerText = "页脚\x01";
    Settings loaded;
    EXPECT_FALSE(parseSettings(serializeSettings(control), loaded));
    EXPECT_EQ(loaded, good);
    EXPECT_TRUE(parseSettings(Bytes(bytes.begin(), bytes.begin() + 100), loaded));
}

// Every value within its range and kind, as the program could have written it.
void expectSane(const Settings& s, const std::string& what) {
    const PrintSettings& p = s.print;
    for (const std::int32_t flag : {p.headerOn, p.footerOn, p.pageNumberOn, p.printReport,
                                    p.printWaveforms, p.tableHead, s.project.locked}) {
        EXPECT_TRUE(flag == 0 || flag == 1) << what;
    }
    for (const std::int32_t width : s.panelWidths) {
        EXPECT_TRUE(width >= 0 && width <= 800) << what << ": " << width;
    }
    EXPECT_TRUE(p.reportStyle >= 0 && p.reportStyle <= 2) << what;
    for (const std::string& text : s.project.texts) {
        EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(text)), text) << what;
        for (const char c : text) {
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << what;
        }
    }
}

TEST(SettingsDamage, GarbageIsResetSaidOnceAndNotWrittenBack) {
    testing::TempDir dir;
    const auto path = dir.path() / "tessvel.ini";
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const std::string what = "seed " + std::to_string(seed);
        std::mt19937 random(seed);
        Bytes garbage(64 * 1024);
        for (std::uint8_t& byte : garbage) {
            byte = static_cast<std::uint8_t>(random());
        }
        testing::writeBytes(path, garbage);
        ScriptedPrompts prompts;
        {
            Document doc{prompts, path};
            expectSane(doc.settings(), what);
            ASSERT_EQ(prompts.messages().size(), 1u) << what;
            EXPECT_EQ(prompts.messages()[0],
                      std::string("设置文件已损坏，损坏的设置已恢复为默认值。\n") + path.string())
                << what;
            EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Warning) << what;
        }
        // The file written at the end reads back without a word.
        ScriptedPrompts again;
        Document reopened{again, path};
        EXPECT_TRUE(again.messages().empty()) << what;
        expectSane(reopened.settings(), what);
    }
}

TEST(SettingsDamage, AFailedSaveGivesThePathAndTheSystemsReason) {
    testing::TempDir dir;
    testing::writeBytes(dir.path() / "plain", {1});
    const auto path = dir.path() / "plain" / "tessvel.ini"; // under a file, not a folder
    ScriptedPrompts prompts;
    { Document doc{prompts, path}; }
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"设置文件保存失败！\n" + path.string() +
                                                           "\nNot a directory"});
}

} // namespace
} // namespace crackdepth
