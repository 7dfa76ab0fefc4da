// The streamed JSON must read exactly as the library's own dump of the same document, so that
// the analysis prints the same text whichever way it is produced.
#include "cli/json_writer.h"
#include "cli/output.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>

namespace crackdepth::cli {
namespace {

using nlohmann::json;

std::string numberText(float value) {
    std::string text;
    appendJsonNumber(text, value);
    return text;
}

// Every float reads back as itself. Across the measured range (and far beyond it) the text is
// the library's; far out, where the library's double printing is not the shortest
// ("-4.9582055000000004e+19"), ours is.
TEST(JsonWriter, NumbersReadBackAsTheSameFloatInTheLibrarysLayout) {
    std::vector<float> values = {0.0f,        -0.0f,    1.0f,    100.0f,        4.8f,
                                 -11.465881f, 1e-4f,    1.5e-4f, 1e-5f,         -2.5e-7f,
                                 1e15f,       1e16f,    3e38f,   1.4e-45f,      123456.7f,
                                 0.1f,        65535.0f, 1e-3f,   90282311680.0f};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const auto bits = static_cast<std::uint32_t>(random());
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            values.push_back(value);
        }
        // Numbers as measurements give them: two decimals, up to a million.
        values.push_back(static_cast<float>(random() % 100000000) / 100.0f);
    }
    for (const float value : values) {
        const std::string text = numberText(value);
        EXPECT_EQ(json::parse(text).get<float>(), value) << text;
        if (value == 0 || (std::abs(value) >= 1e-4f && std::abs(value) < 1e18f)) {
            EXPECT_EQ(text, jsonFloat(value).dump()) << value;
        }
    }
    EXPECT_EQ(numberText(std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(numberText(std::numeric_limits<float>::quiet_NaN()), "null");
}

TEST(JsonWriter, DocumentsLaidOutAsTheLibraryDumpsThem) {
    const json expected = {
        {"text", "裂缝 \"a\"\\ \b\f\n\r\t \x01\x1f\x7f"},
        {"empty list", json::array()},
        {"empty object", json::object()},
        {"list", {1, -2, nullptr, 2.5}},
        {"nested", {{"n", 7}, {"deeper", {{"x", json::array({json::object()})}}}}},
    };
    for (const auto layout : {JsonWriter::Layout::Indented, JsonWriter::Layout::Compact}) {
        std::string text;
        {
            JsonWriter out(text, layout);
            out.beginObject();
            out.key("empty list").beginArray();
            out.endArray();
            out.key("empty object").beginObject();
            out.endObject();
            out.key("list").beginArray();
            out.value(1);
            out.value(-2);
            out.value(std::optional<float>());
            out.value(2.5f);
            out.endArray();
            out.key("nested").beginObject();
            out.key("deeper").beginObject();
            out.key("x").beginArray();
            out.beginObject();
            out.endObject();
            out.endArray();
            out.endObject();
            out.key("n").value(7);
            out.endObject();
            out.key("text").value("裂缝 \"a\"\\ \b\f\n\r\t \x01\x1f\x7f");
            out.endObject();
        }
        const int indent = layout == JsonWriter::Layout::Indented ? 1 : -1;
        EXPECT_EQ(text, expected.dump(indent));
    }
}

TEST(JsonWriter, BrokenUtf8BecomesReplacementCharacters) {
    const struct {
        const char* input;
        const char* written;
    } cases[] = {
        {"ok \xE8\xA3\x82", "\"ok \xE8\xA3\x82\""}, // a whole character stays
        {"a\xFF"
         "b",
         "\"a\xEF\xBF\xBD"
         "b\""},                                      // a byte no character starts with
        {"\xE8\xA3", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""}, // a character cut short
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""}, // an overlong form
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // a surrogate
    };
    for (const auto& c : cases) {
        std::string text;
        JsonWriter(text, JsonWriter::Layout::Compact).value(c.input);
        EXPECT_EQ(text, c.written) << c.input;
        EXPECT_TRUE(json::accept(text));
    }
}

TEST(JsonWriter, ASinkReceivesTheDocumentInPieces) {
    std::ostringstream sink;
    std::string whole;
    {
        JsonWriter streamed(sink, JsonWriter::Layout::Compact);
        JsonWriter held(whole, JsonWriter::Layout::Compact);
        for (JsonWriter* out : {&streamed, &held}) {
            out->beginArray();
        }
        for (int i = 0; i < 20000; ++i) {
            for (JsonWriter* out : {&streamed, &held}) {
                out->beginObject();
                out->key("point").value(i);
                out->endObject();
            }
            if (i == 10000) {
                EXPECT_GT(sink.str().size(), 0u); // already written before the end
                EXPECT_LT(sink.str().size(), whole.size());
            }
        }
        for (JsonWriter* out : {&streamed, &held}) {
            out->endArray();
        }
    }
    EXPECT_EQ(sink.str(), whole);
}

} // namespace
} // namespace crackdepth::cli
