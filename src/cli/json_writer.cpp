#include "cli/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace crackdepth::cli {
namespace {

// The UTF-8 sequence at `text[i]`: its length, and whether it is valid. An invalid one is the
// longest start of a sequence that could still have become valid (at least one byte), which
// takes one replacement character, as Unicode recommends and the JSON library does.
struct Sequence {
    std::size_t length;
    bool valid;
};

Sequence sequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return {1, true};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return {1, false};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= text.size() || byte(i + k) < low || byte(i + k) > high) {
            return {k, false};
        }
        low = 0x80;
        high = 0xBF;
    }
    return {length, true};
}

bool plainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x80 && c != '"' && c != '\\';
    });
}

void appendEscaped(std::string& out, std::string_view text) {
    out += '"';
    if (plainAscii(text)) { // names and numbers' texts: nothing to escape or check
        out.append(text);
        out += '"';
        return;
    }
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                static constexpr char kHex[] = "0123456789abcdef";
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
            } else {
                const Sequence sequence = sequenceAt(text, i);
                if (sequence.valid) {
                    out.append(text.substr(i, sequence.length));
                } else {
                    out += "\xEF\xBF\xBD";
                }
                i += sequence.length;
                continue;
            }
        }
        ++i;
    }
    out += '"';
}

} // namespace

void appendJsonNumber(std::string& out, float value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    if (value == 0) {
        out += std::signbit(value) ? "-0.0" : "0.0";
        return;
    }
    // The shortest text that reads back as the same float (as `jsonFloat` takes it), split
    // into its significant digits and the place of the decimal point after the first of them.
    char buffer[64];
    const char* const end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const char* p = buffer;
    if (*p == '-') {
        out += '-';
        ++p;
    }
    const char* const exponentMark = std::find(p, end, 'e');
    int exponent = 0;
    if (exponentMark != end) {
        std::from_chars(exponentMark + (exponentMark[1] == '+' ? 2 : 1), end, exponent);
    }
    std::string digits;
    int pointAt = 0; // where the decimal point stands, counted from the first significant digit
    bool seenPoint = false;
    for (; p != exponentMark; ++p) {
        if (*p == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) {
            ++pointAt;
        }
        if (*p == '0' && digits.empty()) {
            --pointAt; // a leading zero only moves the point
            continue;
        }
        digits += *p;
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    // Laid out as the JSON library does: plain for decimal points from 10^-4 to 10^15,
    // otherwise with an exponent of at least two digits.
    const int k = static_cast<int>(digits.size());
    const int n = pointAt + exponent; // the decimal point's place after the first digit
    if (k <= n && n <= 15) {
        out += digits;
        out.append(static_cast<std::size_t>(n - k), '0');
        out += ".0";
    } else if (0 < n && n <= 15) {
        out.append(digits, 0, static_cast<std::size_t>(n));
        out += '.';
        out.append(digits, static_cast<std::size_t>(n));
    } else if (-4 < n && n <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-n), '0');
        out += digits;
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out.append(digits, 1);
        }
        const int e = n - 1;
        out += e < 0 ? "e-" : "e+";
        const int magnitude = e < 0 ? -e : e;
        if (magnitude < 10) {
            out += '0';
        }
        out += std::to_string(magnitude);
    }
}

void JsonWriter::newLine(std::size_t depth) {
    out_ += '\n';
    out_.append(depth, ' ');
}

std::string& JsonWriter::beginValue() {
    if (sink_ != nullptr && out_.size() >= kFlushSize) {
        flush();
    }
    if (afterKey_) {
        afterKey_ = false;
    } else if (!members_.empty()) {
        if (members_.back()++ > 0) {
            out_ += ',';
        }
        if (layout_ == Layout::Indented) {
            newLine(members_.size());
        }
    }
    return out_;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beginValue();
    appendEscaped(out_, name);
    out_ += layout_ == Layout::Indented ? ": " : ":";
    afterKey_ = true;
    return *this;
}

void JsonWriter::open(char bracket) {
    beginValue() += bracket;
    members_.push_back(0);
}

void JsonWriter::close(char bracket) {
    const bool empty = members_.back() == 0;
    members_.pop_back();
    if (!empty && layout_ == Layout::Indented) {
        newLine(members_.size());
    }
    out_ += bracket;
    if (sink_ != nullptr && out_.size() >= kFlushSize) {
        flush();
    }
}

JsonWriter::~JsonWriter() {
    try {
        flush();
    } catch (...) {
        // The sink keeps its failed state for whoever checks it.
    }
}

void JsonWriter::flush() {
    if (sink_ != nullptr && !buffer_.empty()) {
        sink_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
}

void JsonWriter::beginObject() {
    open('{');
}
void JsonWriter::endObject() {
    close('}');
}
void JsonWriter::beginArray() {
    open('[');
}
void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::value(std::string_view text) {
    appendEscaped(beginValue(), text);
}

void JsonWriter::value(std::int64_t number) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    beginValue().append(buffer, end);
}

void JsonWriter::value(std::optional<float> number) {
    if (number) {
        value(*number);
    } else {
        null();
    }
}

void JsonWriter::null() {
    beginValue() += "null";
}

} // namespace crackdepth::cli
