// The streaming writer against nlohmann's own dump, which stored files have always
// been written with: the same bytes for the same document, whatever the strings hold.
#include "Platform/Json/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "Core/ModelJson.h"
#include "Support/SampleKests.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

using nlohmann::json;

std::string dumped(const json& value, bool pretty) {
    return value.dump(pretty ? 2 : -1, ' ', false, json::error_handler_t::replace);
}

std::string written(std::string_view text) {
    JsonWriter w(false);
    w.value(text);
    return w.take();
}

TEST(JsonWriterTest, DocumentsComeOutAsNlohmannDumpsThem) {
    for (const bool pretty : {true, false}) {
        const std::string text = JsonEncoder{pretty}.encode(test::sampleDocument(3, 4));
        // Keys sorted, separators and indentation as nlohmann's.
        EXPECT_EQ(dumped(json::parse(text), pretty), text);
    }
    // Empty containers stay on one line, nested ones are indented one step per level.
    JsonWriter w;
    w.beginObject();
    w.key("a"), w.beginArray(), w.endArray();
    w.key("b"), w.beginObject(), w.endObject();
    w.key("c"), w.beginArray(), w.value(true), w.beginArray(), w.value(std::int64_t{-7}), w.endArray(), w.endArray();
    w.key("d"), w.value(1728.0);
    w.key("e"), w.value(1e-7);
    w.key("f"), w.value(std::uint32_t{4294967295u});
    w.endObject();
    const std::string text = w.take();
    EXPECT_EQ(text, dumped(json::parse(text), true));
    EXPECT_EQ(text,
              "{\n  \"a\": [],\n  \"b\": {},\n  \"c\": [\n    true,\n    [\n      -7\n    ]\n  ],\n"
              "  \"d\": 1728.0,\n  \"e\": 1e-07,\n  \"f\": 4294967295\n}");
}

// Random bytes, weighted towards the ones that need care: quotes, backslashes, control
// characters, slashes, and the lead and continuation bytes of UTF-8, valid or not.
TEST(JsonWriterTest, StringsAreEscapedAndRepairedExactlyAsBefore) {
    const unsigned char interesting[] = {'"',  '\\', '/',  0x00, 0x01, 0x08, 0x09, 0x0A, 0x0C, 0x0D, 0x1F, 0x7F,
                                         0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1,
                                         0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF, 'a',  'Z'};
    std::mt19937 random(7);
    auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
    for (int n = 0; n < 20000; ++n) {
        std::string text(pick(9), ' ');
        for (char& c : text) c = static_cast<char>(pick(3) ? interesting[pick(std::size(interesting))] : pick(256));
        ASSERT_EQ(written(text), dumped(json(text), false)) << testing::PrintToString(text);
    }
    // Well-formed text of every length passes through as it is; a slash is never escaped.
    EXPECT_EQ(written("a/b \xC3\xA9 \xE2\x80\x93 \xF0\x9F\x90\xA6"), "\"a/b \xC3\xA9 \xE2\x80\x93 \xF0\x9F\x90\xA6\"");
    // A cut sequence is one replacement, and the byte that cut it is read again.
    EXPECT_EQ(written("\xE2\x80"
                      "a"),
              "\"\xEF\xBF\xBD"
              "a\"");
    EXPECT_EQ(written("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"") << "a surrogate is not UTF-8";
}

// Writes a parsed value through `w`, as a model's writeJson would.
void write(JsonWriter& w, const json& value) {
    if (value.is_object()) {
        w.beginObject();
        for (const auto& [key, member] : value.items()) w.key(key), write(w, member);
        w.endObject();
    } else if (value.is_array()) {
        w.beginArray();
        for (const json& element : value) write(w, element);
        w.endArray();
    } else if (value.is_string()) {
        w.value(value.get_ref<const std::string&>());
    } else if (value.is_number_float()) {
        w.value(value.get<double>());
    } else if (value.is_number()) {
        w.value(value.get<std::int64_t>());
    } else {
        w.value(value.get<bool>());
    }
}

// The digesting writer's text is the same for two values exactly when the JSON is.
TEST(JsonWriterTest, ADigestingWriterTellsValuesApartAsTheirJsonDoes) {
    const double tenth = 0.1;
    const std::vector<json> values = {
        json::parse(R"({"ab": "c"})"),
        json::parse(R"({"a": "bc"})"),
        json::parse(R"({"as": "b"})"),
        json::parse(R"({"a": "sb"})"),
        json::parse(R"(["ab", "c"])"),
        json::parse(R"(["a", "bc"])"),
        json::parse(R"([["a"], "b"])"),
        json::parse(R"(["a", ["b"]])"),
        json(1),
        json(1.0),
        json(0.0),
        json(-0.0),
        json(tenth),
        json(std::nextafter(tenth, 1.0)),
        json("x"),
        json::array({"x"}),
        json::object(),
        json::array(),
        json(true),
        json("true"),
        json::parse(R"({"a": 1, "b": 2})"),
        json::parse(R"({"a": 1, "b": 2})"),
        json(""),
        json::array({""}),
    };
    const auto text = [](const json& v, JsonWriter w) {
        write(w, v);
        return w.take();
    };
    for (const json& a : values) {
        for (const json& b : values) {
            EXPECT_EQ(text(a, JsonWriter::digesting()) == text(b, JsonWriter::digesting()),
                      text(a, JsonWriter(false)) == text(b, JsonWriter(false)))
                << a.dump() << " against " << b.dump();
        }
    }
}

TEST(JsonWriterTest, ANumberThatCannotBeWrittenNamesItsPlace) {
    JsonWriter w = JsonWriter::digesting();
    w.beginObject();
    w.key("list"), w.beginArray(), w.value(1.0), w.beginObject(), w.key("x");
    EXPECT_STREQ(test::thrown<JsonEncodeError>([&] { w.value(std::nan("")); })->what(),
                 "list[1].x: a number that is NaN or infinite cannot be written");
    JsonWriter top;
    EXPECT_STREQ(test::thrown<JsonEncodeError>([&] { top.value(-INFINITY); })->what(),
                 "document: a number that is NaN or infinite cannot be written");
}

}  // namespace
}  // namespace kestr
