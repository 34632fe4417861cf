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

    for (const PlistValue& bad : {PlistValue(data(R"({"keyCode":36})")), PlistValue(data(R"({"keyCode":-1,"modifiers":0})")),
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

}  // namespace
}  // namespace kestr
