// The streamed JSON is valid JSON that the library reads back to the same values as its own
// dump of the same document, laid out as the library lays it out.
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

// One replacement character per broken sequence: the longest start of a sequence that could
// still have become a character, or a byte no character starts with.
TEST(JsonWriter, BrokenUtf8BecomesReplacementCharacters) {
    const struct {
        const char* input;
        const char* written;
    } cases[] = {
        {"ok \xE8\xA3\x82", "\"ok \xE8\xA3\x82\""}, // a whole character stays
        {"a\xFF"
         "b",
         "\"a\xEF\xBF\xBD"
         "b\""},                            // a byte no character starts with
        {"\xE8\xA3", "\"\xEF\xBF\xBD\""},   // a character cut short
        {"\xE8\xA3z", "\"\xEF\xBF\xBDz\""}, // … in the middle
        {"\xF0\x9F\x98\xE8\xA3\x82", "\"\xEF\xBF\xBD\xE8\xA3\x82\""}, // … before a whole one
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                 // an overlong form
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // a surrogate
    };
    for (const auto& c : cases) {
        std::string text;
        JsonWriter(text, JsonWriter::Layout::Compact).value(c.input);
        EXPECT_EQ(text, c.written) << c.input;
        EXPECT_TRUE(json::accept(text));
    }
}

// The writer against the JSON library, each parsing the other's output: random floats over
// the whole range read back as the same float from both texts, and random byte strings
// (mostly broken UTF-8) come out as the library writes them, valid JSON the library reads.
TEST(JsonWriter, AgreesWithTheLibraryOnRandomFloatsAndBytes) {
    std::mt19937 random(19);
    for (int i = 0; i < 200000; ++i) {
        const auto bits = static_cast<std::uint32_t>(random());
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string ours = numberText(value);
        const std::string library = jsonFloat(value).dump();
        ASSERT_EQ(json::parse(ours).get<float>(), value) << ours;
        ASSERT_EQ(json::parse(library).get<float>(), value) << library;
        ASSERT_LE(ours.size(), library.size()) << ours << " vs " << library;
    }

    // Bytes drawn mostly from the lead and continuation ranges, so that most strings hold
    // cut, overlong, surrogate and stray sequences beside whole characters.
    const unsigned char pool[] = {'a',  '"',  '\\', 0x01, 0x7F, 0x80, 0x8F, 0x9F, 0xA0, 0xBF, 0xC0,
                                  0xC1, 0xC2, 0xDF, 0xE0, 0xE8, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    for (int i = 0; i < 50000; ++i) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random() % 4 == 0 ? random() % 256
                                                    : pool[random() % sizeof pool]);
        }
        std::string ours;
        JsonWriter(ours, JsonWriter::Layout::Compact).value(bytes);
        const std::string library =
            json(bytes).dump(-1, ' ', false, json::error_handler_t::replace);
        ASSERT_TRUE(json::accept(ours)) << ours;
        ASSERT_EQ(json::parse(ours), json::parse(library)) << ours << " vs " << library;
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
