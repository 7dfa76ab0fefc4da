#include "core/data/settings_file.h"

#include "core/common/byte_source.h"
#include "core/common/bytes.h"
#include "core/common/utf.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <limits>
#include <string_view>
#include <utility>

namespace crackdepth {
namespace {

// A real settings file is a few hundred bytes; no more than this is ever read.
constexpr std::uint64_t kMaxSettingsFileSize = 4u * 1024u * 1024u;

// Length prefix of a text: one byte below 0xFF; else 0xFF and a word below 0xFFFE; else
// 0xFF, the word 0xFFFF and a 32-bit length. 0xFF followed by the word 0xFFFE instead of a
// length marks the text as UTF-16.
constexpr std::uint8_t kLongLength = 0xFF;
constexpr std::uint16_t kUnicodeTag = 0xFFFE;
constexpr std::uint16_t kHugeLength = 0xFFFF;

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// The legacy 8-bit texts are in the Chinese code page GBK; bytes it cannot decode become
// U+FFFD.
std::string gbkToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    if (bytes.empty()) {
        return out;
    }
    iconv_t converter = iconv_open("UTF-8", "GBK");
    if (converter == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
        // No converter on this system: keep ASCII, replace the rest.
        for (const std::uint8_t byte : bytes) {
            if (byte < 0x80) {
                out.push_back(static_cast<char>(byte));
            } else {
                out += kReplacementUtf8;
            }
        }
        return out;
    }
    // iconv's interface is not const-correct; it only reads the input.
    std::string input(bytes.begin(), bytes.end());
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::string buffer(input.size() * 3 + 16, '\0');
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a truncated sequence at the end): replace one byte and go on.
        out += kReplacementUtf8;
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return out;
}

// Reads the part of a length prefix after its first byte `first`; `tagged` tells whether
// the UTF-16 tag has already been read, so that 0xFF 0xFFFE means a tag only before it.
enum class Prefix { Length, Tag, Broken };

Prefix readLength(ByteReader& in, std::uint8_t first, bool tagged, std::uint64_t& length) {
    if (first != kLongLength) {
        length = first;
        return Prefix::Length;
    }
    std::uint16_t word = 0;
    if (!in.get(word)) {
        return Prefix::Broken;
    }
    if (word == kUnicodeTag && !tagged) {
        return Prefix::Tag;
    }
    if (word != kHugeLength) {
        length = word;
        return Prefix::Length;
    }
    std::uint32_t huge = 0;
    if (!in.get(huge)) {
        return Prefix::Broken;
    }
    length = huge;
    return Prefix::Length;
}

// A text the program could have written: no control characters, no lone surrogate halves,
// no non-characters.
bool plausibleUnits(const std::u16string& units) {
    for (std::size_t k = 0; k < units.size(); ++k) {
        const char16_t unit = units[k];
        if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0xFFFE || unit == 0xFFFF) {
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (k + 1 == units.size() || units[k + 1] < 0xDC00 || units[k + 1] > 0xDFFF) {
                return false;
            }
            ++k;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

// One text: false, with `text` untouched, when the prefix or the characters run past the end.
// `plausible` tells whether the text is one the program could have written (see
// plausibleUnits; an 8-bit text must also decode without error).
bool readText(ByteReader& in, std::string& text, bool& plausible) {
    std::uint8_t first = 0;
    std::uint64_t length = 0;
    if (!in.get(first)) {
        return false;
    }
    bool unicode = false;
    switch (readLength(in, first, false, length)) {
    case Prefix::Broken:
        return false;
    case Prefix::Tag:
        unicode = true;
        if (!in.get(first) || readLength(in, first, true, length) != Prefix::Length) {
            return false;
        }
        break;
    case Prefix::Length:
        break;
    }
    // The check against the remaining bytes comes before anything is allocated.
    const std::uint64_t byteCount = unicode ? length * 2 : length;
    std::span<const std::uint8_t> raw;
    if (!in.getBytes(static_cast<std::size_t>(byteCount), raw)) {
        return false;
    }
    if (!unicode) {
        text = gbkToUtf8(raw);
        const std::u16string units = utf8ToUtf16(text);
        plausible = plausibleUnits(units) && text.find(kReplacementUtf8) == std::string::npos;
        return true;
    }
    std::u16string units(raw.size() / 2, u'\0');
    for (std::size_t k = 0; k < units.size(); ++k) {
        units[k] = static_cast<char16_t>(loadLE<std::uint16_t>(raw.data() + 2 * k));
    }
    plausible = plausibleUnits(units);
    text = utf16ToUtf8(units);
    return true;
}

void writeText(ByteWriter& out, std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    out.put(kLongLength);
    out.put(kUnicodeTag);
    const std::size_t length = units.size();
    if (length < kLongLength) {
        out.put(static_cast<std::uint8_t>(length));
    } else if (length < kUnicodeTag) {
        out.put(kLongLength);
        out.put(static_cast<std::uint16_t>(length));
    } else {
        out.put(kLongLength);
        out.put(kHugeLength);
        out.put(static_cast<std::uint32_t>(length));
    }
    for (const char16_t unit : units) {
        out.put(static_cast<std::uint16_t>(unit));
    }
}

// The values a number of the settings may take; anything else is damage.
struct Range {
    std::int32_t low;
    std::int32_t high;
};
constexpr Range kAnyNumber{std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max()};
constexpr Range kFlag{0, 1};
constexpr Range kPenWidth{0, 100};    // device units
constexpr Range kMillimetres{0, 100}; // margins and band heights on a page
constexpr Range kPageNumber{0, 9999};
constexpr Range kPosition{0, 2}; // left, centre, right
constexpr Range kFont{0, 4};     // the five face names
constexpr Range kPageNumberFormat{0, 1};
constexpr Range kReportStyle{0, 2};
constexpr Range kPanelWidth{0, 800}; // px beside the views; 0: the window's own default

// Texts the program shows must be plain text; the legacy ones are never shown.
enum class TextKind { Plain, Any };

// Reads values in file order; after the first value that cannot be read it reads nothing
// more, so the remaining values keep what they had. A value that can be read but is out of
// its range or kind also keeps what it had (the default, when loading), and is noted.
class SettingsReader {
public:
    explicit SettingsReader(std::span<const std::uint8_t> bytes) : in_(bytes) {}

    void number(std::int32_t& value, Range range = kAnyNumber) {
        std::int32_t read = 0;
        if (!ok_ || !in_.get(read)) {
            ok_ = false;
        } else if (read < range.low || read > range.high) {
            damaged_ = true;
        } else {
            value = read;
        }
    }
    void text(std::string& value, TextKind kind = TextKind::Plain) {
        std::string read;
        bool plausible = false;
        if (!ok_ || !readText(in_, read, plausible)) {
            ok_ = false;
        } else if (!plausible && kind == TextKind::Plain) {
            damaged_ = true;
        } else {
            value = std::move(read);
        }
    }
    bool damaged() const { return damaged_; }

private:
    ByteReader in_;
    bool ok_ = true;
    bool damaged_ = false;
};

class SettingsWriter {
public:
    explicit SettingsWriter(std::vector<std::uint8_t>& bytes) : out_(bytes) {}

    void number(std::int32_t value, Range = kAnyNumber) { out_.put(value); }
    void text(const std::string& value, TextKind = TextKind::Plain) { writeText(out_, value); }

private:
    ByteWriter out_;
};

// The file's one list of values in order, with the range of each number, walked by the
// reader and by the writer. Shown texts must be plain text; the legacy values have no
// meaning here and may hold anything.
template <typename Visitor, typename S> void visitSettings(Visitor& v, S& s) {
    auto& legacy = s.legacy;
    for (std::size_t k = 0; k < 5; ++k) {
        v.text(legacy.texts[k], TextKind::Any);
    }
    v.number(legacy.numbers[0]);
    v.number(legacy.numbers[1]);
    v.text(legacy.texts[5], TextKind::Any);
    v.number(legacy.numbers[2]);
    v.text(legacy.texts[6], TextKind::Any);
    v.number(legacy.numbers[3]);
    v.number(legacy.numbers[4]);
    v.number(legacy.numbers[5]);

    auto& print = s.print;
    v.number(print.headerOn, kFlag);
    v.number(print.footerOn, kFlag);
    v.number(print.pageNumberOn, kFlag);
    v.number(print.printReport, kFlag);
    v.number(print.printWaveforms, kFlag);
    v.number(print.tableHead, kFlag);
    v.number(print.borderWidth, kPenWidth);
    v.number(print.gridWidth, kPenWidth);
    v.number(print.topMargin, kMillimetres);
    v.number(print.leftMargin, kMillimetres);
    v.number(print.bottomMargin, kMillimetres);
    v.number(print.rightMargin, kMillimetres);
    v.number(print.pageNumberPosition, kPosition);
    v.number(print.startPageNumber, kPageNumber);
    v.number(print.pageNumberFormat, kPageNumberFormat);
    v.number(print.headerHeight, kMillimetres);
    v.number(print.headerPosition, kPosition);
    v.number(print.headerFont, kFont);
    v.text(print.headerText);
    v.number(print.footerHeight, kMillimetres);
    v.number(print.footerPosition, kPosition);
    v.number(print.footerFont, kFont);
    v.number(print.reportStyle, kReportStyle);
    v.text(print.footerText);

    for (auto& text : s.project.texts) {
        v.text(text);
    }
    v.number(s.project.locked, kFlag);

    for (auto& width : s.panelWidths) {
        v.number(width, kPanelWidth);
    }
}

} // namespace

bool parseSettings(std::span<const std::uint8_t> bytes, Settings& settings) {
    SettingsReader reader(bytes);
    visitSettings(reader, settings);
    return !reader.damaged();
}

std::vector<std::uint8_t> serializeSettings(const Settings& settings) {
    std::vector<std::uint8_t> bytes;
    SettingsWriter writer(bytes);
    visitSettings(writer, settings);
    return bytes;
}

bool LoadSettings(const std::filesystem::path& path, Settings& settings) {
    FileSource file(path);
    if (!file.isOpen()) {
        // First run, or the file is out of reach: the dates get a default to show.
        settings.project.texts[kTestDate] = kDefaultDateText;
        settings.project.texts[kCastingDate] = kDefaultDateText;
        return true;
    }
    // A file longer than any settings file holds its values at the start (followed by
    // whatever a tool appended): those are read, the rest is never loaded.
    const std::uint64_t used = std::min(file.size(), kMaxSettingsFileSize);
    if (used == 0) {
        return true;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(used));
    if (!file.read(0, bytes)) {
        return true;
    }
    return parseSettings(bytes, settings);
}

std::string settingsResetMessage(const std::filesystem::path& path) {
    return std::string(kSettingsResetMessage) + "\n" + path.string();
}

std::string settingsSaveFailedMessage(const std::filesystem::path& path,
                                      const std::string& reason) {
    std::string message = std::string(kSettingsSaveFailedMessage) + "\n" + path.string();
    if (!reason.empty()) {
        message += "\n" + reason;
    }
    return message;
}

WriteOutcome SaveSettings(const std::filesystem::path& path, const Settings& settings) {
    const std::vector<std::uint8_t> bytes = serializeSettings(settings);
    return writeFileAtomically(path, bytes);
}

} // namespace crackdepth
