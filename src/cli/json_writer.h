// JSON written straight into a string or a stream as it is produced, so that a large document
// (an analysis, every waveform of a file) never exists twice in memory as a tree and as text.
// What it promises: valid JSON in UTF-8; every number reads back exactly (a float as the same
// float, in its shortest text); texts keep every valid UTF-8 character and put one U+FFFD
// for each broken sequence, as Unicode recommends and the JSON library does; members come
// out in the order they are written, laid out as the library lays out a document (one space
// per level, or compact). A float's text may be shorter than the library's (the library
// prints the double nearest the float, which now and then needs more digits).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace crackdepth::cli {

// A float as its shortest exact decimal, in the JSON library's notation for a double
// ("100.0", "0.0001", "1e-05"); "null" when it is not finite.
void appendJsonNumber(std::string& out, float value);

class JsonWriter {
public:
    enum class Layout { Indented, Compact };

    // Appends to `out`.
    JsonWriter(std::string& out, Layout layout) : out_(out), layout_(layout) {}
    // Writes to `sink` in pieces of about kFlushSize bytes, so that a large document never
    // lies in memory whole; the rest goes out with `flush` or when the writer is destroyed.
    JsonWriter(std::ostream& sink, Layout layout) : out_(buffer_), layout_(layout), sink_(&sink) {}
    // A sink that failed is not written again on the way out of the failure.
    ~JsonWriter();
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    static constexpr std::size_t kFlushSize = 64 * 1024;
    void flush();

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The name of the next member of the open object.
    JsonWriter& key(std::string_view name);

    // Text in UTF-8; each broken sequence becomes one U+FFFD.
    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(float number) { appendJsonNumber(beginValue(), number); }
    void value(std::int64_t number);
    void value(int number) { value(static_cast<std::int64_t>(number)); }
    void value(std::optional<float> number);
    void null();

private:
    std::string& beginValue();
    void open(char bracket);
    void close(char bracket);
    void newLine(std::size_t depth);

    std::string buffer_; // what a writer to a sink holds until it is flushed
    std::string& out_;
    Layout layout_;
    std::ostream* sink_ = nullptr;
    std::vector<std::size_t> members_; // members written so far, per open object or array
    bool afterKey_ = false;
};

} // namespace crackdepth::cli
