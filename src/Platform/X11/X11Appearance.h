// The look the desktop's settings portal gives (org.freedesktop.appearance: its colour
// scheme and accent colour), followed as the user changes it. Light with the blue
// accent where there is no session bus or portal, or where it states no preference.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "Platform/Appearance.h"

struct _GDBusConnection;

namespace kestr {

class X11Appearance : public Appearance {
public:
    X11Appearance() = default;
    ~X11Appearance() override;
    X11Appearance(const X11Appearance&) = delete;
    X11Appearance& operator=(const X11Appearance&) = delete;

    bool isDark() override;
    RgbColor accentColor() override;
    // The colours the tray gives, else white where the desktop asks for a dark look
    // (its panels are dark too); none otherwise: a light look says nothing of the panel
    // (many desktops keep a dark one under light windows).
    std::optional<RgbColor> panelIconColor() override;

    // The foreground colour of the system tray, when one runs and names its colours.
    std::function<std::optional<RgbColor>()> trayForeground;

    static constexpr RgbColor defaultAccent{0.0, 0.478, 1.0};
    // The portal's "color-scheme": 1 prefers dark; 0 (no preference) and 2 are light.
    static bool isDarkScheme(std::uint32_t scheme) { return scheme == 1; }
    // The portal's "accent-color"; none for the components outside 0...1 by which it
    // says it has none.
    static std::optional<RgbColor> accentFrom(double red, double green, double blue);
    // Takes one setting of the appearance namespace (a GVariant); others are ignored.
    void take(const char* key, void* value);

private:
    // Reads the settings and subscribes to their changes, once, at first use.
    void connect();

    bool connected_ = false;
    bool dark_ = false;
    RgbColor accent_ = defaultAccent;
    _GDBusConnection* bus_ = nullptr;
    unsigned subscription_ = 0;
};

}  // namespace kestr
