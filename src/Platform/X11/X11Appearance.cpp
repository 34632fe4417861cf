#include "Platform/X11/X11Appearance.h"

#include <gio/gio.h>

#include <cstdlib>
#include <cstring>

namespace kestr {

namespace {

const char* const portalName = "org.freedesktop.portal.Desktop";
const char* const portalPath = "/org/freedesktop/portal/desktop";
const char* const settingsInterface = "org.freedesktop.portal.Settings";
const char* const appearanceNamespace = "org.freedesktop.appearance";

// Older portals wrap a setting's value in one more variant than newer ones.
GVariant* unwrapped(GVariant* value) {
    while (value && g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(value);
        g_variant_unref(value);
        value = inner;
    }
    return value;
}

void settingChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                    gpointer appearance) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssv)"))) return;
    const gchar* key = nullptr;
    GVariant* value = nullptr;
    g_variant_get(parameters, "(&s&sv)", nullptr, &key, &value);
    value = unwrapped(value);
    if (value) {
        static_cast<X11Appearance*>(appearance)->take(key, value);
        g_variant_unref(value);
    }
}

}  // namespace

X11Appearance::~X11Appearance() {
    if (!bus_) return;
    if (subscription_) g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    g_object_unref(bus_);
}

bool X11Appearance::isDark() {
    if (!connected_) connect();
    return dark_;
}

RgbColor X11Appearance::accentColor() {
    if (!connected_) connect();
    return accent_;
}

std::optional<RgbColor> X11Appearance::panelIconColor() {
    if (trayForeground) {
        if (const auto colour = trayForeground()) return colour;
    }
    if (!connected_) connect();
    if (dark_) return RgbColor{1, 1, 1};
    return std::nullopt;
}

std::optional<RgbColor> X11Appearance::accentFrom(double red, double green, double blue) {
    for (const double c : {red, green, blue}) {
        if (!(c >= 0 && c <= 1)) return std::nullopt;
    }
    return RgbColor{red, green, blue};
}

void X11Appearance::take(const char* key, void* setting) {
    auto* value = static_cast<GVariant*>(setting);
    if (std::strcmp(key, "color-scheme") == 0 && g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32)) {
        dark_ = isDarkScheme(g_variant_get_uint32(value));
    } else if (std::strcmp(key, "accent-color") == 0 && g_variant_is_of_type(value, G_VARIANT_TYPE("(ddd)"))) {
        double red = 0, green = 0, blue = 0;
        g_variant_get(value, "(ddd)", &red, &green, &blue);
        accent_ = accentFrom(red, green, blue).value_or(defaultAccent);
    }
}

void X11Appearance::connect() {
    connected_ = true;
    // Without a session bus GLib would try to start one for the display: not ours to do.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address || !*address) return;
    GError* error = nullptr;
    bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus_) {
        g_clear_error(&error);
        return;
    }
    for (const char* key : {"color-scheme", "accent-color"}) {
        // A portal that is not running is not started for this.
        GVariant* reply = g_dbus_connection_call_sync(
            bus_, portalName, portalPath, settingsInterface, "Read", g_variant_new("(ss)", appearanceNamespace, key),
            G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, 1000, nullptr, &error);
        if (!reply) {
            g_clear_error(&error);
            continue;
        }
        GVariant* value = unwrapped(g_variant_get_child_value(reply, 0));
        g_variant_unref(reply);
        if (value) {
            take(key, value);
            g_variant_unref(value);
        }
    }
    // Changes arrive on GLib's main context, which the program's Qt loop runs.
    subscription_ = g_dbus_connection_signal_subscribe(bus_, portalName, settingsInterface, "SettingChanged",
                                                       portalPath, appearanceNamespace, G_DBUS_SIGNAL_FLAGS_NONE,
                                                       settingChanged, this, nullptr);
}

}  // namespace kestr
