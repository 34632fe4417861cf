// Settings and updates on the X11 desktop: settings kept in "kestr/settings.json" of the
// configuration folder, there for the next run, nothing written for a foreign suite;
// updates left to the package manager.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Core/OptionTiling.h"
#include "Core/Preferences.h"
#include "Platform/EventMonitors.h"
#include "Platform/X11/Support/BackendTest.h"

namespace kestr::x11test {
namespace {

class X11SettingsTest : public BackendTest {};

TEST_F(X11SettingsTest, ASettingIsInTheConfigFileForTheNextRunAndOptionTilingWritesNothing) {
    const std::string file = dataFolder() + "/config/kestr/settings.json";
    OptionTiling(x11().defaults()).reconcile(ModifierFlag::option);
    EXPECT_FALSE(std::filesystem::exists(file)) << "no Option-drag tiling to turn off here";
    EXPECT_EQ(x11().defaults().suite(OptionTiling::suiteName), nullptr);

    Preferences::shared().defaults.set("kestr.dragSnapModifier", PlistValue(std::int64_t{ModifierFlag::option}));
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    EXPECT_EQ(text.str(), "{\n  \"kestr.dragSnapModifier\": 524288\n}");

    // Another run of the program on the same folder.
    X11PlatformOptions options;
    options.displayName = session().display();
    options.configHome = dataFolder() + "/config";
    X11Platform next(std::move(options));
    EXPECT_EQ(next.defaults().standard().object("kestr.dragSnapModifier"), PlistValue(std::int64_t{524288}));
}

TEST_F(X11SettingsTest, ACheckForUpdatesSaysTheyComeWithThePackageManager) {
    x11().updater().checkForUpdates();
    ASSERT_EQ(recordedAlerts().requests.size(), 1u);
    EXPECT_EQ(recordedAlerts().requests[0].messageText, "Updates come with your package manager");
}

}  // namespace
}  // namespace kestr::x11test
