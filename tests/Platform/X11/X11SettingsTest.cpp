// Settings and updates on the X11 desktop: settings kept in "kestr/settings.json" of the
// configuration folder, there for the next run, nothing written for a foreign suite;
// updates left to the package manager, or to a newer build for a kestr built from source.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Core/OptionTiling.h"
#include "Core/Preferences.h"
#include "Platform/EventMonitors.h"
#include "Platform/X11/UpdateSource.h"
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

// A packaged kestr is updated by the package manager; one built from source and
// installed by hand (as the tests run, from a build folder) by a newer build.
TEST_F(X11SettingsTest, ACheckForUpdatesSaysWhereTheyComeFromForTheWayKestrWasInstalled) {
    x11().updater().checkForUpdates();
    ASSERT_EQ(recordedAlerts().requests.size(), 1u);
    EXPECT_EQ(recordedAlerts().requests[0].messageText, "Updates come from kestr's source");
    const std::string packaged = "Updates come with your package manager";
    const std::string source = "Updates come from kestr's source";
    for (const auto& [program, title] :
         std::vector<std::pair<std::string, std::string>>{{"/usr/bin/kestr", packaged},
                                                          {"/bin/kestr", packaged},
                                                          {"/usr/local/bin/kestr", source},
                                                          {"/home/kim/.local/bin/kestr", source},
                                                          {"/opt/kestr/bin/kestr", source}})
        EXPECT_EQ(UpdateSource(program).title(), title) << program;
    EXPECT_EQ(UpdateSource("/usr/local/bin/kestr").text(),
              "This kestr was built from source and installed in /usr/local/bin: your package manager does not "
              "update it. Build and install a newer version of kestr the same way.");
}

}  // namespace
}  // namespace kestr::x11test
