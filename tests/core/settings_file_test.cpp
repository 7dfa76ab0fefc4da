#include "core/common/bytes.h"
#include "core/data/settings_file.h"
#include "test_support.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace crackdepth {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

// Where the project group starts in a file whose texts are all empty, and its size.
constexpr std::size_t kProjectOffset = 148;
constexpr std::size_t kAllEmptySize = 260;

// The 22 numbers of the print settings in file order.
std::array<std::int32_t*, 22> printNumbers(PrintSettings& p) {
    return {&p.headerOn,           &p.footerOn,        &p.pageNumberOn,     &p.printReport,
            &p.printWaveforms,     &p.tableHead,       &p.borderWidth,      &p.gridWidth,
            &p.topMargin,          &p.leftMargin,      &p.bottomMargin,     &p.rightMargin,
            &p.pageNumberPosition, &p.startPageNumber, &p.pageNumberFormat, &p.headerHeight,
            &p.headerPosition,     &p.headerFont,      &p.footerHeight,     &p.footerPosition,
            &p.footerFont,         &p.reportStyle};
}

// Texts as the program holds them and as the file stores them: plain, with inner and outer
// blanks, Chinese, with a character outside the BMP (a surrogate pair), and empty.
struct SampleText {
    const char* utf8;
    std::u16string_view utf16;
};
constexpr SampleText kSampleTexts[] = {
    {"Bridge 3", u"Bridge 3"},
    {"  two  words ", u"  two  words "},
    {"工程 检测", u"工程 检测"},
    {"clef \U0001D11E end", u"clef \U0001D11E end"},
    {"", u""},
};
const SampleText& sampleText(std::size_t k) {
    return kSampleTexts[k % std::size(kSampleTexts)];
}

// A file image built by hand in the documented layout.
class Image {
public:
    Image& number(std::int32_t value) {
        ByteWriter(bytes_).put(value);
        return *this;
    }
    Image& text(std::u16string_view units) { // the UTF-16 form, short length
        raw({0xFF, 0xFE, 0xFF, static_cast<std::uint8_t>(units.size())});
        for (const char16_t unit : units) {
            ByteWriter(bytes_).put(static_cast<std::uint16_t>(unit));
        }
        return *this;
    }
    Image& raw(std::initializer_list<std::uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// Every value differs from its default and from every other; texts cycle through the
// samples in file order.
struct Sample {
    Settings settings;
    Image image;
    std::size_t printStart = 0; // bytes of the legacy group
};

Sample makeSample() {
    Sample s;
    Settings& v = s.settings;
    std::size_t textIndex = 0;
    const auto text = [&](std::string& target) {
        const SampleText& t = sampleText(textIndex++);
        target = t.utf8;
        s.image.text(t.utf16);
    };
    const auto number = [&](std::int32_t& target, std::int32_t value) {
        target = value;
        s.image.number(value);
    };
    // The legacy group interleaves its texts and numbers.
    for (std::size_t k = 0; k < 5; ++k) {
        text(v.legacy.texts[k]);
    }
    number(v.legacy.numbers[0], -1);
    number(v.legacy.numbers[1], -2);
    text(v.legacy.texts[5]);
    number(v.legacy.numbers[2], -3);
    text(v.legacy.texts[6]);
    number(v.legacy.numbers[3], -4);
    number(v.legacy.numbers[4], -5);
    number(v.legacy.numbers[5], 0x7FFFFFFF);
    s.printStart = s.image.bytes().size();

    // Values within each number's range, and other than the defaults.
    constexpr std::array<std::int32_t, 22> kPrintValues = {1,  1, 1,  0, 1, 0, 7, 3, 25, 18, 12,
                                                           11, 2, 41, 1, 9, 1, 3, 8, 2,  4,  2};
    const auto print = printNumbers(v.print);
    for (std::size_t k = 0; k < print.size(); ++k) {
        number(*print[k], kPrintValues[k]);
        if (k == 17) {
            text(v.print.headerText);
        }
    }
    text(v.print.footerText);

    for (std::string& projectText : v.project.texts) {
        text(projectText);
    }
    number(v.project.locked, 1);
    number(v.panelWidths[0], 301);
    number(v.panelWidths[1], 302);
    number(v.panelWidths[2], 303);
    return s;
}

// Settings whose every value differs from the sample's, so that reading shows.
Settings makeStale() {
    Settings stale;
    for (std::string& text : stale.legacy.texts) {
        text = "stale";
    }
    stale.legacy.numbers.fill(77);
    for (std::int32_t* number : printNumbers(stale.print)) {
        *number = 77;
    }
    stale.print.headerText = stale.print.footerText = "stale";
    for (std::string& text : stale.project.texts) {
        text = "stale";
    }
    stale.panelWidths = {77, 77, 77};
    return stale;
}

std::vector<std::uint8_t> prefix(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count)};
}

class SettingsFile : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path path = dir.path() / kSettingsFileName;
};

TEST_F(SettingsFile, LayoutMatchesAHandBuiltImage) {
    const Sample sample = makeSample();
    EXPECT_EQ(serializeSettings(sample.settings), sample.image.bytes());

    Settings read = makeStale();
    parseSettings(sample.image.bytes(), read);
    EXPECT_EQ(read, sample.settings);
}

TEST_F(SettingsFile, AllEmptyAndZeroTakes260Bytes) {
    Settings zero;
    for (std::int32_t* number : printNumbers(zero.print)) {
        *number = 0;
    }
    zero.panelWidths = {0, 0, 0};
    const std::vector<std::uint8_t> bytes = serializeSettings(zero);
    ASSERT_EQ(bytes.size(), kAllEmptySize);
    EXPECT_EQ(prefix(bytes, 4), (std::vector<std::uint8_t>{0xFF, 0xFE, 0xFF, 0x00}));

    Settings read = makeStale();
    parseSettings(bytes, read);
    EXPECT_EQ(read, zero);
}

TEST_F(SettingsFile, FirstRunSetsTheDatesThenSaveAndLoadReproduceEverything) {
    Settings settings;
    LoadSettings(path, settings);
    Settings expected;
    expected.project.texts[kTestDate] = kDefaultDateText;
    expected.project.texts[kCastingDate] = kDefaultDateText;
    EXPECT_EQ(settings, expected);

    const Settings saved = makeSample().settings;
    const WriteOutcome outcome = SaveSettings(path, saved);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(readBytes(path), makeSample().image.bytes());

    Settings loaded;
    LoadSettings(path, loaded);
    EXPECT_EQ(loaded, saved);
}

TEST_F(SettingsFile, AFolderInPlaceOfTheFileCountsAsMissing) {
    std::filesystem::create_directory(path);
    Settings settings = makeSample().settings;
    Settings expected = settings;
    expected.project.texts[kTestDate] = kDefaultDateText;
    expected.project.texts[kCastingDate] = kDefaultDateText;
    LoadSettings(path, settings);
    EXPECT_EQ(settings, expected);
}

TEST_F(SettingsFile, EmptyFileChangesNothing) {
    writeBytes(path, {});
    Settings settings;
    LoadSettings(path, settings);
    EXPECT_EQ(settings, Settings{});
}

TEST_F(SettingsFile, OversizedFileGivesTheValuesAtItsStart) {
    const Sample sample = makeSample();
    // Whatever follows the values (here 5 MiB of zeros) is never read.
    std::vector<std::uint8_t> oversized = sample.image.bytes();
    oversized.resize(5u * 1024u * 1024u);
    writeBytes(path, oversized);
    Settings loaded;
    LoadSettings(path, loaded);
    EXPECT_EQ(loaded, sample.settings);

    // A text that claims more than could ever be read stops the reading there.
    std::vector<std::uint8_t> runaway = Image().text(u"first").bytes();
    const std::vector<std::uint8_t> hugeText = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF,
                                                0xFF, 0x00, 0x00, 0x40, 0x00}; // 4 Mi units
    runaway.insert(runaway.end(), hugeText.begin(), hugeText.end());
    runaway.resize(9u * 1024u * 1024u, 'a');
    writeBytes(path, runaway);
    Settings partial;
    LoadSettings(path, partial);
    Settings expected;
    expected.legacy.texts[0] = "first";
    EXPECT_EQ(partial, expected);
}

TEST_F(SettingsFile, ShortFileKeepsTheRestAsItWas) {
    Sample sample = makeSample();
    // The legacy group and the first 9 of the 22 print numbers; the rest of the print
    // settings, the project (dates too) and the pane widths keep their defaults.
    Settings expected;
    expected.legacy = sample.settings.legacy;
    for (std::size_t k = 0; k < 9; ++k) {
        *printNumbers(expected.print)[k] = *printNumbers(sample.settings.print)[k];
    }
    // A cut on a value boundary, and one inside the 10th number.
    for (const std::size_t extra : {0u, 2u}) {
        const std::size_t size = sample.printStart + 9 * 4 + extra;
        writeBytes(path, prefix(sample.image.bytes(), size));
        Settings loaded;
        LoadSettings(path, loaded);
        EXPECT_EQ(loaded, expected) << "cut at " << size;
    }
}

TEST_F(SettingsFile, TextThatRunsPastTheEndStopsReading) {
    const struct {
        const char* what;
        std::vector<std::uint8_t> text;
    } cases[] = {
        {"units beyond the end", {0xFF, 0xFE, 0xFF, 0x32, 'a', 0}},
        {"bytes beyond the end", {0x10, 'a', 'b'}},
        {"huge UTF-16 length", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}},
        {"huge 8-bit length", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}},
        {"word of the length cut", {0xFF, 0xFE, 0xFF, 0xFF, 0x10}},
        {"tag cut", {0xFF, 0xFE}},
        {"32-bit length cut", {0xFF, 0xFF, 0xFF, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = Image().text(u"first").bytes();
        bytes.insert(bytes.end(), c.text.begin(), c.text.end());
        Settings read = makeStale();
        Settings expected = read;
        expected.legacy.texts[0] = "first";
        parseSettings(bytes, read);
        EXPECT_EQ(read, expected) << c.what;
    }
}

TEST_F(SettingsFile, LengthPrefixForms) {
    // The project name is the first text after the empty ones of an all-empty file.
    const struct {
        std::size_t units;
        std::vector<std::uint8_t> prefix;
    } cases[] = {
        {0, {0xFF, 0xFE, 0xFF, 0x00}},
        {254, {0xFF, 0xFE, 0xFF, 0xFE}},
        {255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}},
        {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        Settings settings;
        for (std::size_t k = 0; k < c.units; ++k) {
            settings.project.texts[kProjectName] += "工"; // U+5DE5, one unit in three bytes
        }
        const std::vector<std::uint8_t> bytes = serializeSettings(settings);
        ASSERT_EQ(bytes.size(), kAllEmptySize + c.prefix.size() - 4 + 2 * c.units) << c.units;
        const auto at = bytes.begin() + static_cast<std::ptrdiff_t>(kProjectOffset);
        EXPECT_EQ(std::vector<std::uint8_t>(at, at + static_cast<std::ptrdiff_t>(c.prefix.size())),
                  c.prefix)
            << c.units;
        if (c.units > 0) {
            const auto first = at + static_cast<std::ptrdiff_t>(c.prefix.size());
            EXPECT_EQ(first[0], 0xE5);
            EXPECT_EQ(first[1], 0x5D);
        }
        Settings read = makeStale();
        parseSettings(bytes, read);
        EXPECT_EQ(read, settings) << c.units;
    }
}

TEST_F(SettingsFile, EightBitTextsAreReadAsGbk) {
    std::vector<std::uint8_t> longPrefix = {0xFF, 0x2C, 0x01};
    longPrefix.resize(3 + 300, 'a');
    const struct {
        std::vector<std::uint8_t> text;
        std::string expected;
    } cases[] = {
        {{0x04, 0xB9, 0xA4, 0xB3, 0xCC}, "工程"},
        {{0x03, 'a', ' ', 'c'}, "a c"},
        {{0x00}, ""},
        {{0x03, 0xB9, 0x20, 'x'}, "\uFFFD x"}, // no GBK character starts B9 20
        {{0x02, 'x', 0xB9}, "x\uFFFD"},        // a lead byte cut off by the end
        {longPrefix, std::string(300, 'a')},
        {{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 0xB9, 0xA4}, "工"},
    };
    for (const auto& c : cases) {
        Settings read = makeStale();
        Settings expected = read;
        expected.legacy.texts[0] = c.expected;
        parseSettings(c.text, read);
        EXPECT_EQ(read, expected) << c.expected;
    }
}

TEST_F(SettingsFile, FailedSaveLeavesNothingBehind) {
    const Settings settings = makeSample().settings;

    const std::filesystem::path missing = dir.path() / "missing";
    const WriteOutcome intoMissing = SaveSettings(missing / kSettingsFileName, settings);
    EXPECT_FALSE(intoMissing.ok);
    EXPECT_FALSE(intoMissing.error.empty());
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A name so long that no temporary file can be made beside it.
    const std::filesystem::path existing = dir.path() / std::string(250, 'n');
    const std::vector<std::uint8_t> previous = {1, 2, 3};
    writeBytes(existing, previous);
    EXPECT_FALSE(SaveSettings(existing, settings).ok);
    EXPECT_EQ(readBytes(existing), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

} // namespace
} // namespace crackdepth
