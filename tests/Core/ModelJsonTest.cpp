#include "Core/ModelJson.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "Platform/Json/JsonEncoder.h"
#include "Support/JsonText.h"
#include "Support/SampleKests.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

using nlohmann::json;
using test::decodeFailure;
using test::decodeText;

template <class T>
std::string encoded(const T& value) {
    return JsonEncoder().encode(value);
}

const char* kMinimalItem = R"({"id":"00000000-0000-4000-8000-000000000001","appBundleID":"com.a","appName":"A",
  "windowMatcher":{"type":"firstWindow"},"launchIfMissing":true,
  "targetFrame":{"displayUUID":"D","x":1,"y":2,"width":3,"height":4}})";

TEST(ModelJson, DocumentsRoundTripAndAbsentOptionalsAreLeftOut) {
    const std::string text = encoded(test::sampleDocument(3, 5));
    EXPECT_EQ(decodeText<LayoutDocument>(text), test::sampleDocument(3, 5));
    EXPECT_EQ(encoded(decodeText<LayoutDocument>(text)), text) << "the same bytes again";

    EXPECT_EQ(test::jsonOf(decodeText<LayoutItem>(kMinimalItem)), json::parse(kMinimalItem));
    const std::string nulls =
        std::string(kMinimalItem).insert(1, R"("capturedFrame":null,"openURL":null,"browserTabs":null,
      "unknown":{"x":[1,2]},)");
    EXPECT_EQ(decodeText<LayoutItem>(nulls), decodeText<LayoutItem>(kMinimalItem))
        << "unknown keys and nulls are ignored";
}

TEST(ModelJson, FailuresNameTheKeyPathAndIntegersNeverWrap) {
    const json doc = test::jsonOf(test::sampleDocument(4, 3));
    auto failureAfter = [&](auto change) {
        json copy = doc;
        change(copy);
        return decodeFailure<LayoutDocument>(copy.dump());
    };
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][3]["items"][0]["targetFrame"]["x"] = "1"; }),
              "layouts[3].items[0].targetFrame.x: expected a number, found string");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][0]["edgeGroups"][0]["leftOrTopItems"][0]["itemID"] = "x"; }),
              "layouts[0].edgeGroups[0].leftOrTopItems[0].itemID: not a UUID: \"x\"");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][2]["items"][1].erase("launchIfMissing"); }),
              "layouts[2].items[1].launchIfMissing: required key is missing or null");

    auto tabIndex = [](const std::string& number) {
        return decodeFailure<LayoutItem>(
            std::string(kMinimalItem).insert(1, "\"browserActiveTabIndex\":" + number + ","));
    };
    EXPECT_EQ(tabIndex("9223372036854775807"), "");
    EXPECT_EQ(tabIndex("5.0"), "");
    EXPECT_EQ(tabIndex("5.5"), "browserActiveTabIndex: expected an integer without a fraction");
    EXPECT_EQ(tabIndex("9223372036854775808"), "browserActiveTabIndex: integer out of range");
    EXPECT_EQ(tabIndex("1e19"), "browserActiveTabIndex: integer out of range");
    EXPECT_EQ(decodeFailure<Hotkey>(R"({"keyCode":4294967296,"modifiers":0})"),
              "keyCode: integer out of range 0...4294967295");
}

TEST(ModelJson, EncodingRejectsNaNAndInfinityAndKeepsEveryDouble) {
    LayoutDocument document = test::sampleDocument(2, 2);
    document.layouts[1].items[1].targetFrame.width = std::numeric_limits<double>::quiet_NaN();
    EXPECT_STREQ(test::thrown<JsonEncodeError>([&] { JsonEncoder().encode(document); })->what(),
                 "kest “Kest 1 / main”: layouts[1].items[1].targetFrame.width: a number that is NaN or infinite "
                 "cannot be written");
    document.layouts[0].createdAt = Date{std::numeric_limits<double>::infinity()};
    EXPECT_THROW(JsonEncoder().encode(document), JsonEncodeError);

    // Any double within the coordinate limit reads back bit for bit, negative zero and
    // subnormals included.
    for (const double value : {-0.0, 4.9e-324, 0.1, 1.0 / 3, -2.2250738585072014e-308, -ScreenFrame::coordinateLimit}) {
        const ScreenFrame back = decodeText<ScreenFrame>(encoded(ScreenFrame{"D", value, 0, 0, 0, {}, {}, {}, {}}));
        EXPECT_EQ(std::memcmp(&back.x, &value, sizeof value), 0) << value;
    }
}

}  // namespace
}  // namespace kestr
