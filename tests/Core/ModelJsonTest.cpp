#include "Core/ModelJson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "Core/JsonEncoder.h"
#include "Support/JsonText.h"
#include "Support/SampleKests.h"

namespace kestr {
namespace {

using nlohmann::json;
using test::decodeFailure;
using test::decodeText;

std::string encoded(const json& value) { return JsonEncoder().encode(value); }

const char* kMinimalItem = R"({"id":"00000000-0000-4000-8000-000000000001","appBundleID":"com.a","appName":"A",
  "windowMatcher":{"type":"firstWindow"},"launchIfMissing":true,
  "targetFrame":{"displayUUID":"D","x":1,"y":2,"width":3,"height":4}})";

std::string kestWith(const std::string& members) {
    return R"({"id":"00000000-0000-4000-8000-0000000000AA","name":"K","items":[],"edgeGroups":[],
      "createdAt":"2024-05-01T09:30:00Z","updatedAt":"2024-05-01T09:30:00Z")" +
           members + "}";
}

TEST(ModelJson, DocumentWithEveryFieldRoundTrips) {
    const LayoutDocument original = test::sampleDocument(3, 5);
    const std::string text = encoded(toJson(original));
    EXPECT_EQ(decodeText<LayoutDocument>(text), original);
    // Writing what was read gives the same bytes.
    EXPECT_EQ(encoded(toJson(decodeText<LayoutDocument>(text))), text);
}

TEST(ModelJson, WrittenForm) {
    const Layout kest = test::sampleKest(1, 3);
    const std::string text = encoded(toJson(kest));
    EXPECT_NE(text.find("\"id\": \"4E000000-0000-4A00-BC00-000000000001\""), std::string::npos);
    EXPECT_NE(text.find("\"createdAt\": \"2024-05-01T09:30:01Z\""), std::string::npos);
    EXPECT_NE(text.find("\"openURL\": \"https://example.com/a/b?q=1#frag\""), std::string::npos);
    EXPECT_NE(text.find("\"name\": \"Kest 1 / main\""), std::string::npos);
    EXPECT_EQ(text.find("\\/"), std::string::npos);
    EXPECT_NE(text.find("\"axis\": \"vertical\""), std::string::npos);
    EXPECT_NE(text.find("\"edge\": \"right\""), std::string::npos);
    EXPECT_NE(text.find("\n  \"createdAt\""), std::string::npos);  // one key per line, indented
    // Keys sorted by their text.
    EXPECT_LT(text.find("\"createdAt\""), text.find("\"edgeGroups\""));
    EXPECT_LT(text.find("\"edgeGroups\""), text.find("\"hotkey\""));
    EXPECT_LT(text.find("\"name\""), text.find("\"updatedAt\""));

    EXPECT_EQ(toJson(WindowMatcher::windowIndex(4)), json::parse(R"({"type":"windowIndex","value":4})"));
    EXPECT_EQ(toJson(WindowMatcher::titleRegex("a/b")), json::parse(R"({"type":"titleRegex","value":"a/b"})"));
    EXPECT_EQ(toJson(WindowMatcher::firstWindow()), json::parse(R"({"type":"firstWindow"})"));
}

TEST(ModelJson, AbsentOptionalsAreLeftOutAndNullReadsAsAbsent) {
    const LayoutItem item = decodeText<LayoutItem>(kMinimalItem);
    EXPECT_FALSE(item.capturedFrame || item.capturedWindowTitle || item.openURL || item.browserTabs ||
                 item.finderSidebarWidth || item.targetFrame.dispW);
    const json written = toJson(item);
    EXPECT_EQ(written.size(), 6u);
    EXPECT_EQ(written["targetFrame"].size(), 5u);

    Layout kest = test::sampleKest(0, 0);
    kest.hotkey.reset();
    EXPECT_FALSE(toJson(kest).contains("hotkey"));
    EXPECT_EQ(decodeText<Layout>(kestWith(R"(,"hotkey":null)")).hotkey, std::nullopt);
    const std::string nulls = R"({"id":"00000000-0000-4000-8000-000000000001","appBundleID":"com.a","appName":"A",
      "windowMatcher":{"type":"firstWindow"},"launchIfMissing":true,"capturedFrame":null,"openURL":null,
      "openFiles":null,"finderSidebarWidth":null,"browserTabs":null,"unknown":{"x":[1,2]},
      "targetFrame":{"displayUUID":"D","x":1,"y":2,"width":3,"height":4,"dispW":null}})";
    EXPECT_EQ(decodeText<LayoutItem>(nulls), decodeText<LayoutItem>(kMinimalItem)) << "unknown keys and nulls are ignored";
}

TEST(ModelJson, KestEdgeCases) {
    EXPECT_EQ(decodeText<Layout>(kestWith("")).edgeGroups.size(), 0u);
    const std::string noGroups = R"({"id":"00000000-0000-4000-8000-0000000000AA","name":"K","items":[],
      "createdAt":"2024-05-01T09:30:00Z","updatedAt":"2024-05-01T09:30:00Z"})";
    EXPECT_EQ(decodeFailure<Layout>(noGroups), "edgeGroups: required key is missing or null");

    // A lower-case UUID reads equal to the upper-case one; an offset reads as UTC.
    const Layout lower = decodeText<Layout>(R"({"id":"4e000000-0000-4a00-bc00-000000000000","name":"K","items":[],
      "edgeGroups":[],"createdAt":"2024-05-01T11:30:00+02:00","updatedAt":"2024-05-01T09:30:00Z"})");
    EXPECT_EQ(lower.id, test::sampleUuid(0x4e, 0));
    EXPECT_EQ(lower.createdAt, lower.updatedAt);
    EXPECT_EQ(decodeFailure<Layout>(R"({"id":"00000000-0000-4000-8000-0000000000AA","name":"K","items":[],
      "edgeGroups":[],"createdAt":"2024-05-01T09:30:00.5Z","updatedAt":"2024-05-01T09:30:00Z"})"),
              "createdAt: not an ISO 8601 date: \"2024-05-01T09:30:00.5Z\"");

    // Dates are written without their fraction, so the kest read back differs.
    Layout fractional = test::sampleKest(2, 1);
    fractional.updatedAt.secondsSince1970 += 0.75;
    const Layout reread = decodeText<Layout>(encoded(toJson(fractional)));
    EXPECT_NE(reread, fractional);
    EXPECT_EQ(reread.updatedAt.secondsSince1970, std::floor(fractional.updatedAt.secondsSince1970));
}

TEST(ModelJson, MatcherReadsTypeFirst) {
    EXPECT_EQ(decodeText<WindowMatcher>(R"({"type":"firstWindow","value":7})"), WindowMatcher::firstWindow());
    EXPECT_EQ(decodeText<WindowMatcher>(R"({"type":"firstWindow","value":null})"), WindowMatcher::firstWindow());
    EXPECT_EQ(decodeText<WindowMatcher>(R"({"type":"windowIndex","value":2})"), WindowMatcher::windowIndex(2));
    EXPECT_EQ(decodeText<WindowMatcher>(R"({"type":"titleContains","value":""})"), WindowMatcher::titleContains(""));
    EXPECT_EQ(decodeFailure<WindowMatcher>(R"({"type":"windowIndex"})"), "value: required key is missing or null");
    EXPECT_EQ(decodeFailure<WindowMatcher>(R"({"type":"windowIndex","value":"2"})"),
              "value: expected an integer, found string");
    EXPECT_EQ(decodeFailure<WindowMatcher>(R"({"type":"titleregex","value":"x"})"), "type: unknown value \"titleregex\"");
    EXPECT_EQ(decodeFailure<WindowMatcher>(R"({"type":"titleRegex","value":3})"), "value: expected a string, found number");
    EXPECT_EQ(decodeFailure<WindowMatcher>(R"({"value":3})"), "type: required key is missing or null");
    EXPECT_EQ(decodeFailure<WindowMatcher>(R"(["firstWindow"])"), "document: expected an object, found array");
}

TEST(ModelJson, NumberRules) {
    // Floats read from any number.
    EXPECT_EQ(decodeText<ScreenFrame>(R"({"displayUUID":"D","x":5,"y":5.0,"width":-3,"height":1e2})"),
              (ScreenFrame{"D", 5, 5, -3, 100, {}, {}, {}, {}}));
    EXPECT_EQ(decodeText<ScreenFrame>(R"({"displayUUID":"D","x":18446744073709551616,"y":0,"width":0,"height":0})").x,
              18446744073709551616.0);

    auto tabIndex = [](const std::string& number) {
        return decodeFailure<LayoutItem>(std::string(kMinimalItem).insert(1, "\"browserActiveTabIndex\":" + number + ","));
    };
    EXPECT_EQ(tabIndex("9223372036854775807"), "");
    EXPECT_EQ(tabIndex("-9223372036854775808"), "");
    EXPECT_EQ(tabIndex("5.0"), "");
    EXPECT_EQ(tabIndex("5.5"), "browserActiveTabIndex: expected an integer without a fraction");
    EXPECT_EQ(tabIndex("9223372036854775808"), "browserActiveTabIndex: integer out of range");
    EXPECT_EQ(tabIndex("-9223372036854775809"), "browserActiveTabIndex: integer out of range");
    EXPECT_EQ(tabIndex("1e19"), "browserActiveTabIndex: integer out of range");
    EXPECT_EQ(tabIndex("true"), "browserActiveTabIndex: expected an integer, found boolean");

    EXPECT_EQ(decodeText<Hotkey>(R"({"keyCode":4294967295,"modifiers":0})"), (Hotkey{4294967295u, 0}));
    EXPECT_EQ(decodeFailure<Hotkey>(R"({"keyCode":4294967296,"modifiers":0})"),
              "keyCode: integer out of range 0...4294967295");
    EXPECT_EQ(decodeFailure<Hotkey>(R"({"keyCode":-1,"modifiers":0})"), "keyCode: integer out of range 0...4294967295");
    EXPECT_EQ(decodeFailure<Hotkey>(R"({"keyCode":36,"modifiers":0.5})"),
              "modifiers: expected an integer without a fraction");
    EXPECT_EQ(decodeFailure<Hotkey>(R"({"keyCode":"36","modifiers":0})"), "keyCode: expected an integer, found string");

    // Numbers beyond a double are malformed JSON.
    EXPECT_NE(decodeFailure<ScreenFrame>(R"({"displayUUID":"D","x":1e400,"y":0,"width":0,"height":0})").find("malformed"),
              std::string::npos);
}

TEST(ModelJson, FailuresNameTheKeyPath) {
    LayoutDocument document = test::sampleDocument(4, 3);
    json doc = toJson(document);
    auto failureAfter = [&](auto change) {
        json copy = doc;
        change(copy);
        return decodeFailure<LayoutDocument>(copy.dump());
    };
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][3]["items"][0]["targetFrame"]["x"] = "1"; }),
              "layouts[3].items[0].targetFrame.x: expected a number, found string");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][1]["edgeGroups"][0]["axis"] = "diagonal"; }),
              "layouts[1].edgeGroups[0].axis: unknown value \"diagonal\"");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][0]["edgeGroups"][0]["leftOrTopItems"][0]["itemID"] = "x"; }),
              "layouts[0].edgeGroups[0].leftOrTopItems[0].itemID: not a UUID: \"x\"");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][2]["items"][1]["openFiles"][0] = "not a url"; }),
              "layouts[2].items[1].openFiles[0]: not a URL: \"not a url\"");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][2]["items"][1].erase("launchIfMissing"); }),
              "layouts[2].items[1].launchIfMissing: required key is missing or null");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][0]["items"][0]["launchIfMissing"] = 1; }),
              "layouts[0].items[0].launchIfMissing: expected true or false, found number");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][0]["items"] = json::object(); }),
              "layouts[0].items: expected an array, found object");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][0]["name"] = nullptr; }),
              "layouts[0].name: required key is missing or null");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][0]["edgeGroups"][1]["rightOrBottomItems"][0]["edge"] = "Top"; }),
              "layouts[0].edgeGroups[1].rightOrBottomItems[0].edge: unknown value \"Top\"");
    EXPECT_EQ(failureAfter([](json& d) { d["layouts"][0]["items"][0]["browserTabs"][1] = 4; }),
              "layouts[0].items[0].browserTabs[1]: expected a string, found number");
    EXPECT_EQ(decodeFailure<LayoutDocument>("{\"layouts\": [ }"), decodeFailure<LayoutDocument>("{\"layouts\": [ }"));
    EXPECT_EQ(decodeFailure<LayoutDocument>("{\"layouts\": [ }").rfind("malformed JSON: ", 0), 0u);
    EXPECT_EQ(decodeFailure<LayoutDocument>("{\"version\":1,\"layouts\":[]} x").rfind("malformed JSON: ", 0), 0u);
    EXPECT_EQ(decodeFailure<LayoutDocument>("{\"version\":1,\"layouts\":[\"\xff\"]}").rfind("malformed JSON: ", 0), 0u);
}

TEST(ModelJson, UrlsMustParse) {
    for (const char* good : {"https://example.com/a?b=c#d", "file:///Users/a/My%20File.txt", "mailto:kim@example.com",
                             "relative/path", "/abs/path", "x-app+1.0:open", "https://[::1]:8080/"})
        EXPECT_TRUE(Url::parse(good)) << good;
    for (const char* bad : {"", "has space", "https://a/%zz", "https://a/%4", "1http://a", "a#b#c", "ex\"ample",
                            "https://例え.jp", "tab\there", "back\\slash", ":nothing"})
        EXPECT_FALSE(Url::parse(bad)) << bad;
}

TEST(ModelJson, EncodingRejectsNaNAndInfinityAndKeepsEveryDouble) {
    LayoutDocument document = test::sampleDocument(2, 2);
    document.layouts[1].items[1].targetFrame.width = std::numeric_limits<double>::quiet_NaN();
    try {
        JsonEncoder().encode(toJson(document));
        FAIL() << "NaN was written";
    } catch (const JsonEncodeError& e) {
        EXPECT_STREQ(e.what(),
                     "layouts[1].items[1].targetFrame.width: a number that is NaN or infinite cannot be written");
    }
    document = test::sampleDocument(1, 1);
    document.layouts[0].edgeGroups.push_back(EdgeGroup{});
    document.layouts[0].edgeGroups[0].spanEnd = -std::numeric_limits<double>::infinity();
    EXPECT_THROW(JsonEncoder().encode(toJson(document)), JsonEncodeError);
    document = test::sampleDocument(1, 1);
    document.layouts[0].createdAt = Date{std::numeric_limits<double>::quiet_NaN()};
    EXPECT_THROW(toJson(document), JsonEncodeError);

    // Any finite double reads back bit for bit, negative zero and subnormals included.
    std::mt19937_64 random(7);
    for (int i = 0; i < 1000; ++i) {
        double value;
        do {
            const std::uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
        } while (!std::isfinite(value));
        if (i == 0) value = -0.0;
        if (i == 1) value = std::numeric_limits<double>::denorm_min();
        ScreenFrame frame{"D", value, 0, 0, 0, value, {}, {}, {}};
        const ScreenFrame back = decodeText<ScreenFrame>(JsonEncoder().encode(toJson(frame)));
        EXPECT_EQ(std::memcmp(&back.x, &value, sizeof value), 0) << value;
        EXPECT_EQ(std::memcmp(&*back.dispW, &value, sizeof value), 0) << value;
    }
}

}  // namespace
}  // namespace kestr
