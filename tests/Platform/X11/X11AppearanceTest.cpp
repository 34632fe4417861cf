// The appearance the settings portal gives: what its values mean, and the light look
// with the blue accent where there is no session bus to ask.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "Platform/X11/X11Appearance.h"

namespace kestr {
namespace {

TEST(X11AppearanceTest, PortalValuesAndNoBus) {
    EXPECT_TRUE(X11Appearance::isDarkScheme(1));
    EXPECT_FALSE(X11Appearance::isDarkScheme(0)) << "no preference";
    EXPECT_FALSE(X11Appearance::isDarkScheme(2));
    EXPECT_EQ(X11Appearance::accentFrom(0.2, 0.4, 1.0), (RgbColor{0.2, 0.4, 1.0}));
    EXPECT_EQ(X11Appearance::accentFrom(-1, -1, -1), std::nullopt) << "the portal's unset accent";
    EXPECT_EQ(X11Appearance::accentFrom(0.5, 2, 0.5), std::nullopt);

    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::optional<std::string> saved = address ? std::optional<std::string>(address) : std::nullopt;
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    X11Appearance appearance;
    EXPECT_FALSE(appearance.isDark());
    EXPECT_EQ(appearance.accentColor(), X11Appearance::defaultAccent);
    // A light look says nothing of the panel; the tray's own colours do.
    EXPECT_EQ(appearance.panelIconColor(), std::nullopt);
    appearance.trayForeground = [] { return std::optional<RgbColor>(RgbColor{1, 0, 0}); };
    EXPECT_EQ(appearance.panelIconColor(), (RgbColor{1, 0, 0}));
    if (saved) setenv("DBUS_SESSION_BUS_ADDRESS", saved->c_str(), 1);
}

}  // namespace
}  // namespace kestr
