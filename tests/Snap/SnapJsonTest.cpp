#include "Snap/SnapJson.h"

#include <gtest/gtest.h>

#include "Support/JsonText.h"

namespace kestr {
namespace {

std::string failure(const std::string& text) { return test::decodeFailure<SnapDocument>(text); }
const std::string id = "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0";

TEST(SnapJsonTest, DocumentRoundTripsAndReadingIsStrict) {
    const SnapDocument document{1,
                                {SnapBinding{*Uuid::parse(id), SnapAction::maximize, Hotkey{36, 0x1800}},
                                 SnapBinding{Uuid::random(), SnapAction::restore, Hotkey{51, 0x1800}}}};
    EXPECT_EQ(test::decodeText<SnapDocument>(JsonEncoder().encode(document)), document);
    EXPECT_EQ(
        test::jsonOf(document)["bindings"][0],
        nlohmann::json::parse(R"({"action":"maximize","hotkey":{"keyCode":36,"modifiers":6144},"id":")" + id + "\"}"));
    // Reading ignores unknown keys but nothing else.
    const std::string good = R"({"bindings":[{"action":"leftHalf","hotkey":{"keyCode":123,"modifiers":6144},"id":")" +
                             id + R"(","extra":true}],"version":1,"other":0})";
    EXPECT_EQ(test::decodeText<SnapDocument>(good).bindings.at(0).action, SnapAction::leftHalf);

    EXPECT_EQ(failure(R"({"bindings":[{"action":"LeftHalf","hotkey":{"keyCode":1,"modifiers":0},"id":")" + id +
                      R"("}],"version":1})"),
              "bindings[0].action: unknown snap action \"LeftHalf\"");
    EXPECT_EQ(failure(R"({"bindings":[{"action":"leftHalf","id":")" + id + R"("}],"version":1})"),
              "bindings[0].hotkey: required key is missing or null");
}

}  // namespace
}  // namespace kestr
