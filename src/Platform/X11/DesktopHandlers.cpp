#include "Platform/X11/DesktopHandlers.h"

#include <gio/gio.h>

#include <cstdlib>

#include "Platform/X11/DesktopExec.h"

namespace kestr {

namespace {

// Taking the error's text and freeing it.
std::string take(GError*& error, const std::string& otherwise) {
    std::string text = error ? error->message : otherwise;
    g_clear_error(&error);
    return text;
}

}  // namespace

std::optional<std::string> DesktopHandlers::open(const std::string& urlOrPath) {
    const std::string uri = DesktopExec::asURL(urlOrPath);
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) return std::nullopt;
    return take(error, "no application opens " + uri);
}

bool DesktopHandlers::showItems(const std::vector<std::string>& paths) {
    // Without a session bus GLib would try to start one for the display: not ours to do.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address || !*address) return false;
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        g_clear_error(&error);
        return false;
    }
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    for (const std::string& path : paths) g_variant_builder_add(&uris, "s", DesktopExec::asURL(path).c_str());
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
        "ShowItems", g_variant_new("(ass)", &uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, 3000, nullptr, &error);
    g_object_unref(bus);
    if (!reply) {
        g_clear_error(&error);
        return false;
    }
    g_variant_unref(reply);
    return true;
}

}  // namespace kestr
