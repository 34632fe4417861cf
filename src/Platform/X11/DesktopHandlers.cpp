#include "Platform/X11/DesktopHandlers.h"

#include <gio/gio.h>
#include <gio/gdesktopappinfo.h>

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

std::variant<std::string, DesktopHandlers::Failure> DesktopHandlers::defaultHandler(const std::string& urlOrPath) {
    const std::string uri = DesktopExec::asURL(urlOrPath);
    GFile* file = g_file_new_for_uri(uri.c_str());
    GError* error = nullptr;
    GAppInfo* handler = g_file_query_default_handler(file, nullptr, &error);
    g_object_unref(file);
    if (!handler) return Failure{take(error, "no application opens " + uri)};
    const char* path =
        G_IS_DESKTOP_APP_INFO(handler) ? g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(handler)) : nullptr;
    std::variant<std::string, Failure> out = Failure{"no desktop file opens " + uri};
    if (path) out = std::string(path);
    g_object_unref(handler);
    return out;
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
