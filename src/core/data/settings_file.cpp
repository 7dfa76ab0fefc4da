#include "core/data/settings_file.h"

#include "core/common/byte_source.h"
#include "core/common/bytes.h"
#include "core/common/utf.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
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

// One text: false, with `text` untouched, when the prefix or the characters run past the end.
bool readText(ByteReader& in, std::string& text) {
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
        return true;
    }
    std::u16string units(raw.size() / 2, u'\0');
    for (std::size_t k = 0; k < units.size(); ++k) {
        units[k] = static_cast<char16_t>(loadLE<std::uint16_t>(raw.data() + 2 * k));
    }
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

// Reads values in file order; after the first value that cannot be read it reads nothing
// more, so the remaining values keep what they had.
class SettingsReader {
public:
    explicit SettingsReader(std::span<const std::uint8_t> bytes) : in_(bytes) {}

    void number(std::int32_t& value) {
        std::int32_t read = 0;
        if (ok_ && in_.get(read)) {
            value = read;
        } else {
            ok_ = false;
        }
    }
    void text(std::string& value) {
        std::string read;
        if (ok_ && readText(in_, read)) {
            value = std::move(read);
        } else {
            ok_ = false;
        }
    }

private:
    ByteReader in_;
    bool ok_ = true;
};

class SettingsWriter {
public:
    explicit SettingsWriter(std::vector<std::uint8_t>& bytes) : out_(bytes) {}

    void number(std::int32_t value) { out_.put(value); }
    void text(const std::string& value) { writeText(out_, value); }

private:
    ByteWriter out_;
};

// The file's one list of values in order, walked by the reader and by the writer.
template <typename Visitor, typename S> void visitSettings(Visitor& v, S& s) {
    auto& legacy = s.legacy;
    for (std::size_t k = 0; k < 5; ++k) {
        v.text(legacy.texts[k]);
    }
    v.number(legacy.numbers[0]);
    v.number(legacy.numbers[1]);
    v.text(legacy.texts[5]);
    v.number(legacy.numbers[2]);
    v.text(legacy.texts[6]);
    v.number(legacy.numbers[3]);
    v.number(legacy.numbers[4]);
    v.number(legacy.numbers[5]);

    auto& print = s.print;
    v.number(print.headerOn);
    v.number(print.footerOn);
    v.number(print.pageNumberOn);
    v.number(print.printReport);
    v.number(print.printWaveforms);
    v.number(print.tableHead);
    v.number(print.borderWidth);
    v.number(print.gridWidth);
    v.number(print.topMargin);
    v.number(print.leftMargin);
    v.number(print.bottomMargin);
    v.number(print.rightMargin);
    v.number(print.pageNumberPosition);
    v.number(print.startPageNumber);
    v.number(print.pageNumberFormat);
    v.number(print.headerHeight);
    v.number(print.headerPosition);
    v.number(print.headerFont);
    v.text(print.headerText);
    v.number(print.footerHeight);
    v.number(print.footerPosition);
    v.number(print.footerFont);
    v.number(print.reportStyle);
    v.text(print.footerText);

    for (auto& text : s.project.texts) {
        v.text(text);
    }
    v.number(s.project.locked);

    for (auto& width : s.panelWidths) {
        v.number(width);
    }
}

} // namespace

void parseSettings(std::span<const std::uint8_t> bytes, Settings& settings) {
    SettingsReader reader(bytes);
    visitSettings(reader, settings);
}

std::vector<std::uint8_t> serializeSettings(const Settings& settings) {
    std::vector<std::uint8_t> bytes;
    SettingsWriter writer(bytes);
    visitSettings(writer, settings);
    return bytes;
}

void LoadSettings(const std::filesystem::path& path, Settings& settings) {
    FileSource file(path);
    if (!file.isOpen()) {
        // First run, or the file is out of reach: the dates get a default to show.
        settings.project.texts[kTestDate] = kDefaultDateText;
        settings.project.texts[kCastingDate] = kDefaultDateText;
        return;
    }
    // A file longer than any settings file holds its values at the start (followed by
    // whatever a tool appended): those are read, the rest is never loaded.
    const std::uint64_t used = std::min(file.size(), kMaxSettingsFileSize);
    if (used == 0) {
        return;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(used));
    if (!file.read(0, bytes)) {
        return;
    }
    parseSettings(bytes, settings);
}

std::string settingsSaveFailedMessage(const std::filesystem::path& path) {
    return std::string(kSettingsSaveFailedMessage) + "\n" + path.string();
}

WriteOutcome SaveSettings(const std::filesystem::path& path, const Settings& settings) {
    const std::vector<std::uint8_t> bytes = serializeSettings(settings);
    return writeFileAtomically(path, bytes);
}

} // namespace crackdepth
