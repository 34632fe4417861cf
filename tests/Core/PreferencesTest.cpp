#include "Core/Preferences.h"

#include <gtest/gtest.h>

#include "Platform/EventMonitors.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class PreferencesTest : public test::SimTest {
protected:
    SimDefaultsDomain& standard() { return sim->simDefaults().standardDomain(); }
    static PlistData data(const std::string& text) { return PlistData(text.begin(), text.end()); }
};

TEST_F(PreferencesTest, CaptureHotkeyIsJsonDataAndDragSnapModifierAnyInteger) {
    Preferences preferences;
    preferences.setCaptureHotkey(Hotkey{36, 0x1900});
    EXPECT_EQ(standard().values.at("kestr.captureHotkey"), PlistValue(data(R"({"keyCode":36,"modifiers":6400})")));
    EXPECT_EQ(preferences.captureHotkey(), (Hotkey{36, 0x1900}));

    for (const PlistValue& bad :
         {PlistValue(data(R"({"keyCode":36})")), PlistValue(data(R"({"keyCode":-1,"modifiers":0})")),
          PlistValue(data("not json")), PlistValue(36)}) {
        standard().set("kestr.captureHotkey", bad);
        EXPECT_EQ(preferences.captureHotkey(), std::nullopt);
    }

    // The drag-snap modifier reads whatever is stored as an integer, saturating.
    auto modifierFor = [&](const PlistValue& value) {
        standard().set("kestr.dragSnapModifier", value);
        return preferences.dragSnapModifier();
    };
    EXPECT_EQ(modifierFor(0), 0u);  // the empty set, not the default
    EXPECT_EQ(modifierFor(524288.9), ModifierFlag::option);
    EXPECT_EQ(modifierFor(std::string(" 262144abc")), ModifierFlag::control);
    EXPECT_EQ(modifierFor(std::string("-99999999999999999999")), std::uint64_t{1} << 63);
}

// A switch written by hand or by another program as a number or text reads the same
// everywhere, and writing it back keeps the kind that was stored.
TEST_F(PreferencesTest, SwitchesReadAsTheUserDefaultsReadThemAndKeepTheirStoredType) {
    Preferences preferences;
    const char* key = "kestr.enableDragSnap";
    const std::vector<std::pair<PlistValue, PlistValue>> cases = {
        {PlistValue(1), PlistValue(0)},
        {PlistValue(2.0), PlistValue(0.0)},
        {PlistValue(std::string("YES")), PlistValue(std::string("NO"))},
        {PlistValue(true), PlistValue(false)},
    };
    for (const auto& [on, off] : cases) {
        standard().set(key, on);
        EXPECT_TRUE(preferences.boolValue(key));
        preferences.setBoolValue(key, false);
        EXPECT_EQ(standard().values.at(key), off);
        EXPECT_FALSE(preferences.boolValue(key));
    }
    standard().remove(key);
    preferences.setBoolValue(key, true);
    EXPECT_EQ(standard().values.at(key), PlistValue(true));
}

}  // namespace
}  // namespace kestr
