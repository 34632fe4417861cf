#include "Platform/Json/JsonListParse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/Thrown.h"

namespace kestr {
namespace {

using nlohmann::json;

struct Parsed {
    json document;
    std::vector<json> elements;
    int starts = 0;
};

Parsed parsed(const std::string& text, std::string_view key = "list") {
    Parsed out;
    const JsonListParse parse{
        key,
        [&] {
            ++out.starts;
            out.elements.clear();
        },
        [&](json& element) { out.elements.push_back(std::move(element)); },
    };
    out.document = parse.parse(text);
    return out;
}

// Everything but the list's elements comes out as a whole parse gives it; the elements
// come one by one, in order, each whole.
TEST(JsonListParseTest, TheDocumentIsAWholeParseWithTheListHandedOver) {
    const std::string text = R"({"a": [1, {"list": [9]}, [[]]], "b": {"c": null, "d": "é\n", "e": -2.5e3},
        "list": [{"x": [1, 2, {"y": "z"}]}, 7, "s", [], [[3]], {}, true, null, 18446744073709551615],
        "z": [false]})";
    const Parsed p = parsed(text);
    json whole = json::parse(text);
    EXPECT_EQ(p.elements, whole["list"].get<std::vector<json>>());
    whole["list"] = json::array();
    EXPECT_EQ(p.document, whole);
    EXPECT_EQ(p.starts, 1);

    // A repeated member replaces the one before; a list elsewhere, or not under the key,
    // stays in the document.
    const Parsed repeated = parsed(R"({"list": [1, 2], "list": [3]})");
    EXPECT_EQ(repeated.elements, std::vector<json>{3});
    EXPECT_EQ(repeated.starts, 2);
    EXPECT_EQ(parsed(R"([["x"]])").document, json::parse(R"([["x"]])"));
    EXPECT_EQ(parsed(R"({"list": 5})").document, json::parse(R"({"list": 5})"));
    EXPECT_TRUE(parsed(R"({"list": [1]})", "other").elements.empty());
}

TEST(JsonListParseTest, MalformedAndTooDeepTextsAreRefused) {
    const auto deep = [](int levels) {
        return R"({"list": [)" + std::string(levels, '[') + std::string(levels, ']') + "]}";
    };
    // The object and the list are two levels.
    EXPECT_NO_THROW(parsed(deep(JsonNesting::limit - 2)));
    const auto tooDeep = test::thrown<JsonNestingError>([&] { parsed(deep(JsonNesting::limit - 1)); });
    ASSERT_TRUE(tooDeep);
    EXPECT_STREQ(tooDeep->what(), "JSON nested more than 256 levels deep");
    for (const std::string text : {R"({"list": [1,]})", R"({"list": [1]} x)", R"({"list": [1])", "", "\"\xff\""}) {
        const auto error = test::thrown<JsonDecodeError>([&] { parsed(text); });
        ASSERT_TRUE(error) << text;
        EXPECT_EQ(std::string(error->what()).rfind("malformed JSON: ", 0), 0u) << error->what();
    }
}

}  // namespace
}  // namespace kestr
