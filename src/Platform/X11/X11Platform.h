// The real desktop of an X11 session with an EWMH window manager: displays, windows,
// accessibility, the window list, Spaces and the running applications answer from the X
// server; settings are kept in a JSON file of the user's configuration folder. The
// services that do not reach the desktop (files, log, clock, the main actor and what the
// user interface plugs in) are the real process's own, from Platform/Host.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Platform/Host/HostServices.h"
#include "Platform/Json/JsonFileDefaults.h"
#include "Platform/Platform.h"
#include "Platform/X11/DesktopEntries.h"
#include "Platform/X11/X11Accessibility.h"
#include "Platform/X11/X11Appearance.h"
#include "Platform/X11/X11CompositorWatch.h"
#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11Displays.h"
#include "Platform/X11/X11Pointer.h"
#include "Platform/X11/X11EventMonitors.h"
#include "Platform/X11/X11HotKeys.h"
#include "Platform/X11/X11KeyTable.h"
#include "Platform/X11/X11NativeWindows.h"
#include "Platform/X11/X11ScriptHost.h"
#include "Platform/X11/X11Spaces.h"
#include "Platform/X11/X11TrayColors.h"
#include "Platform/X11/X11Updater.h"
#include "Platform/X11/X11WindowModel.h"
#include "Platform/X11/X11WindowServer.h"
#include "Platform/X11/X11Wording.h"
#include "Platform/X11/X11Workspace.h"

namespace kestr {

struct X11PlatformOptions {
    // "" for $DISPLAY.
    std::string displayName;
    // The user's folders, the main actor and the log.
    HostOptions host;
    // Where desktop files are looked for: $XDG_DATA_HOME, then $XDG_DATA_DIRS.
    std::vector<std::string> dataFolders;
    // The user's configuration folder, whose "kestr/settings.json" keeps the settings.
    std::string configHome;
    std::int32_t ownPid = 0;
};

class X11Platform : public Platform {
public:
    // Throws X11Error when the display cannot be opened.
    explicit X11Platform(X11PlatformOptions options);
    ~X11Platform() override;
    X11Platform(const X11Platform&) = delete;
    X11Platform& operator=(const X11Platform&) = delete;

    // Whether the named display runs a window manager that announces itself
    // (_NET_SUPPORTING_WM_CHECK on the root, naming a window that names itself).
    static bool hasWindowManager(const std::string& displayName);

    MainActor& mainActor() override { return host_.mainActor(); }
    Displays& displays() override { return displays_; }
    Accessibility& accessibility() override { return accessibility_; }
    WindowServer& windowServer() override { return windowServer_; }
    Workspace& workspace() override { return workspace_; }
    ScriptHost& scriptHost() override { return scriptHost_; }
    HotKeys& hotKeys() override { return hotKeys_; }
    EventMonitors& eventMonitors() override { return eventMonitors_; }
    Defaults& defaults() override { return settings_; }
    Files& files() override { return host_.files(); }
    FileWatch& fileWatch() override { return host_.fileWatch(); }
    Log& log() override { return host_.log(); }
    Clock& clock() override { return host_.clock(); }
    Alerts& alerts() override { return host_.alerts(); }
    Toasts& toasts() override { return host_.toasts(); }
    Cursors& cursors() override { return host_.cursors(); }
    Appearance& appearance() override { return appearance_; }
    ApplicationObject& application() override { return host_.application(); }
    Updater& updater() override { return updater_; }
    Spaces& spaces() override { return spaces_; }
    Wording& wording() override { return wording_; }
    Capabilities capabilities() const override;
    NativeWindows& nativeWindows() override { return nativeWindows_; }

    // The user interface's alerts, toasts, cursor, beep and quit; empty plugs unplug them.
    void plugUserInterface(UserInterfacePlugs plugs) { host_.plugUserInterface(std::move(plugs)); }
    X11Connection& connection() { return *connection_; }
    X11WindowModel& model() { return model_; }
    X11Displays& x11Displays() { return displays_; }
    X11Workspace& x11Workspace() { return workspace_; }
    X11Accessibility& x11Accessibility() { return accessibility_; }
    X11KeyTable& keyTable() { return keyTable_; }
    // Called once when the connection to the X server is lost.
    std::function<void()> onConnectionLost;

private:
    HostServices host_;
    std::unique_ptr<X11Connection> connection_;
    X11CompositorWatch compositor_;
    X11TrayColors trayColors_;
    X11WindowModel model_;
    DesktopEntries entries_;
    X11Pointer pointer_;
    X11Displays displays_;
    X11Accessibility accessibility_;
    X11WindowServer windowServer_;
    X11Workspace workspace_;
    X11Spaces spaces_;
    X11ScriptHost scriptHost_;
    X11Wording wording_;
    X11Appearance appearance_;
    X11NativeWindows nativeWindows_;
    X11Updater updater_{host_.alerts()};
    JsonFileDefaults settings_;
    X11KeyTable keyTable_;
    X11EventMonitors eventMonitors_;
    X11HotKeys hotKeys_;
    std::unique_ptr<MainActor::DescriptorWatch> watch_;
};

}  // namespace kestr
