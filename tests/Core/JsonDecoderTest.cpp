#include "Core/JsonDecoder.h"

#include <gtest/gtest.h>

#include "Support/Thrown.h"

namespace kestr {
namespace {

// Lookups go on from where the one before ended; members asked for in any other order,
// again, or not there at all are found all the same.
TEST(JsonValueTest, MembersAreFoundInAnyOrder) {
    const auto document = parseJson(R"({"b": 2, "a": 1, "d": 4, "x": 9, "c": null})");
    const JsonValue root(document);
    const auto number = [&](std::string_view key) -> std::optional<std::int64_t> {
        if (auto v = root.optional(key)) return v->integer();
        return std::nullopt;
    };
    for (const std::string_view key : {"a", "b", "bb", "d", "d", "e", "x", "z", "b", "a", "x", "c", "0", "d"}) {
        const auto it = document.find(key);
        const auto want = it == document.end() || it->is_null() ? std::nullopt : std::optional(it->get<std::int64_t>());
        EXPECT_EQ(number(key), want) << key;
    }
    EXPECT_STREQ(test::thrown<JsonDecodeError>([&] { root.required("c"); })->what(),
                 "c: required key is missing or null");
}

}  // namespace
}  // namespace kestr
