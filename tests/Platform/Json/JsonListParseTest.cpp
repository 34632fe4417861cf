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

    // A list elsewhere, or not under the key, stays in the document.
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

// A key twice in one object would keep one value and drop the other without a word
// (a whole list of kests, say): every document that holds one is refused, and the
// message says where.
TEST(JsonListParseTest, AKeyTwiceInOneObjectIsRefusedAndPlaced) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"list": [1, 2], "version": 1, "list": []})", R"("list" appears twice in the top-level object)"},
        {R"({"a": {"b": 1, "c": {}, "b": 2}, "list": []})", R"("b" appears twice in the object at a)"},
        {R"({"list": [{}, {"x": {"y": 1, "y": 1}}]})", R"("y" appears twice in the object at list[1].x)"},
        {R"({"list": [[], {"k": [0, {"z": 1, "z": null}]}]})", R"("z" appears twice in the object at list[1].k[1])"},
        {R"([{"a": 1}, {"a": 1, "a": 1}])", R"("a" appears twice in the object at [1])"},
    };
    for (const auto& entry : cases) {
        const std::string& text = entry.first;
        const std::string& where = entry.second;
        const auto listed = test::thrown<JsonDecodeError>([&] { parsed(text); });
        ASSERT_TRUE(listed) << text;
        EXPECT_EQ(listed->what(), "malformed JSON: the key " + where);
        const auto whole = test::thrown<JsonDecodeError>([&] { parseJson(text); });
        ASSERT_TRUE(whole) << text;
        EXPECT_STREQ(whole->what(), listed->what());
    }
    EXPECT_EQ(parseJson(R"({"a": {"a": 1}, "b": [{"a": 2}, {"a": 3}]})")["b"][1]["a"], 3);
}

}  // namespace
}  // namespace kestr
