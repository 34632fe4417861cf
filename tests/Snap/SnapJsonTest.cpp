#include "Snap/SnapJson.h"

#include <gtest/gtest.h>

#include "Support/JsonText.h"

namespace kestr {
namespace {

using nlohmann::json;

template <class T>
T decode(const std::string& text) {
    return test::decodeText<T>(text);
}

std::string failure(const std::string& text) { return test::decodeFailure<SnapDocument>(text); }

const std::string id = "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0";

TEST(SnapJsonTest, ActionIsItsRawName) {
    EXPECT_EQ(toJson(SnapAction::leftHalf), json("leftHalf"));
    EXPECT_EQ(decode<SnapAction>("\"bottomRightSixth\""), SnapAction::bottomRightSixth);
    EXPECT_THROW(decode<SnapAction>("\"LeftHalf\""), JsonDecodeError);
    EXPECT_THROW(decode<SnapAction>("\"sideways\""), JsonDecodeError);
    EXPECT_THROW(decode<SnapAction>("3"), JsonDecodeError);
}

TEST(SnapJsonTest, DocumentRoundTripsWithSortedKeys) {
    const SnapDocument document{1, {SnapBinding{*Uuid::parse(id), SnapAction::maximize, Hotkey{36, 0x1800}},
                                    SnapBinding{Uuid::random(), SnapAction::restore, Hotkey{51, 0x1800}}}};
    const std::string text = JsonEncoder().encode(toJson(document));
    EXPECT_EQ(decode<SnapDocument>(text), document);
    EXPECT_EQ(toJson(document)["bindings"][0],
              json::parse(R"({"action":"maximize","hotkey":{"keyCode":36,"modifiers":6144},"id":")" + id + "\"}"));
    EXPECT_LT(text.find("\"bindings\""), text.find("\"version\""));
}

TEST(SnapJsonTest, ReadingIsStrict) {
    const std::string good = R"({"bindings":[{"action":"leftHalf","hotkey":{"keyCode":123,"modifiers":6144},"id":")" +
                             id + R"(","extra":true}],"version":1,"other":0})";
    const SnapDocument document = decode<SnapDocument>(good);
    ASSERT_EQ(document.bindings.size(), 1u);
    EXPECT_EQ(document.bindings[0].action, SnapAction::leftHalf);
    // The identifier is read in either case.
    std::string lower = id;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(decode<SnapDocument>(R"({"bindings":[{"action":"leftHalf","hotkey":{"keyCode":1,"modifiers":0},"id":")" +
                                   lower + R"("}],"version":1})")
                  .bindings[0]
                  .id,
              *Uuid::parse(id));

    EXPECT_EQ(failure(R"({"bindings":[{"action":"LeftHalf","hotkey":{"keyCode":1,"modifiers":0},"id":")" + id +
                      R"("}],"version":1})"),
              "bindings[0].action: unknown snap action \"LeftHalf\"");
    EXPECT_EQ(failure(R"({"bindings":[{"action":"leftHalf","id":")" + id + R"("}],"version":1})"),
              "bindings[0].hotkey: required key is missing or null");
    EXPECT_NE(failure(R"({"bindings":[{"action":"leftHalf","hotkey":{"keyCode":-1,"modifiers":0},"id":")" + id +
                      R"("}],"version":1})"),
              "");
    EXPECT_NE(failure(R"({"bindings":[{"action":"leftHalf","hotkey":{"keyCode":1,"modifiers":0},"id":"x"}],"version":1})"),
              "");
    EXPECT_NE(failure(R"({"bindings":[],"version":"1"})"), "");
    EXPECT_NE(failure(R"({"version":1})"), "");
}

}  // namespace
}  // namespace kestr
