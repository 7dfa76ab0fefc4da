// JSON written straight into a string as it is produced, laid out exactly as the JSON library
// dumps a document (one space per level, or compact), so that a large analysis never exists
// twice in memory as a tree and as text. Members come out in the order they are written.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace crackdepth::cli {

// A float as its shortest exact decimal, laid out as the JSON library lays out a double
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
    ~JsonWriter() { flush(); }
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

    // Text in UTF-8; a byte that is not part of a valid sequence becomes U+FFFD.
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
