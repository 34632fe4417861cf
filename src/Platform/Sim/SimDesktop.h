// The simulated desktop: every platform service, implemented on one in-memory world
// (SimWorld). Tests install one per test; the command-line program can run against one
// loaded from a scenario file.
#pragma once

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>

#include "Platform/Host/UserInterfacePlugs.h"
#include "Platform/Platform.h"
#include "Platform/Posix/PosixFiles.h"
#include "Platform/Sim/SimAccessibility.h"
#include "Platform/Sim/SimAlerts.h"
#include "Platform/Sim/SimAppearance.h"
#include "Platform/Sim/SimApplicationObject.h"
#include "Platform/Sim/SimClock.h"
#include "Platform/Sim/SimCursors.h"
#include "Platform/Sim/SimDefaults.h"
#include "Platform/Sim/SimDisplays.h"
#include "Platform/Sim/SimEventMonitors.h"
#include "Platform/Sim/SimFileWatch.h"
#include "Platform/Sim/SimFiles.h"
#include "Platform/Sim/SimHotKeys.h"
#include "Platform/Sim/SimLog.h"
#include "Platform/Sim/SimScriptHost.h"
#include "Platform/Sim/SimSpaces.h"
#include "Platform/Sim/SimToasts.h"
#include "Platform/Sim/SimUpdater.h"
#include "Platform/Sim/SimWindowServer.h"
#include "Platform/Sim/SimWording.h"
#include "Platform/Sim/SimWorkspace.h"
#include "Platform/Sim/SimWorld.h"

namespace kestr {

// How the simulated desktop behaves where desktops differ: as it always has, or as an X11
// session does (its capabilities; a process without windows running only when it was
// launched here; a launch reported once the application's window shows, or after 5 s).
enum class SimPreset { standard, x11 };

struct SimDesktopOptions {
    // None: a virtual-time actor.
    std::unique_ptr<MainActor> mainActor;
    // None: a fresh temporary home folder, removed with the desktop.
    std::optional<UserFolders> folders;
    // The file watch sees every process's changes (inotify) rather than only the
    // desktop's own; for the program, whose folders are the user's.
    bool watchRealFiles = false;
};

class SimDesktop : public Platform {
public:
    // An empty world (no displays, no applications) on virtual time, with user
    // folders in a fresh temporary folder.
    SimDesktop();
    explicit SimDesktop(SimDesktopOptions options);
    ~SimDesktop() override;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    MainActor& mainActor() override { return *actor_; }
    Displays& displays() override { return displays_; }
    Accessibility& accessibility() override { return accessibility_; }
    WindowServer& windowServer() override { return windowServer_; }
    Workspace& workspace() override { return workspace_; }
    ScriptHost& scriptHost() override { return scriptHost_; }
    HotKeys& hotKeys() override { return hotKeys_; }
    EventMonitors& eventMonitors() override { return eventMonitors_; }
    Defaults& defaults() override { return defaults_; }
    Files& files() override { return files_; }
    FileWatch& fileWatch() override { return realFileWatch_ ? *realFileWatch_ : simFileWatch_; }
    Log& log() override { return log_; }
    Clock& clock() override { return clock_; }
    Alerts& alerts() override { return alerts_; }
    Toasts& toasts() override { return toasts_; }
    Cursors& cursors() override { return cursors_; }
    Appearance& appearance() override { return appearance_; }
    ApplicationObject& application() override { return application_; }
    Updater& updater() override { return updater_; }
    Spaces& spaces() override { return spaces_; }
    Wording& wording() override { return otherWording ? *otherWording : wording_; }
    Capabilities capabilities() const override { return simCapabilities; }
    NativeWindows& nativeWindows() override { return realWindows ? *realWindows : Platform::nativeWindows(); }
    // What the simulated desktop says it can do; a test may take a capability away.
    Capabilities simCapabilities;
    void usePreset(SimPreset preset);

    // ---- scenarios (see SimScenario.h) ----
    nlohmann::json toScenario() const;
    // Throws SimScenarioError for a scenario it cannot read.
    static std::unique_ptr<SimDesktop> fromScenario(const nlohmann::json& scenario, SimDesktopOptions options = {});
    static nlohmann::json defaultScenario();
    // Throws FileError when the file cannot be read, SimScenarioError when it is not a
    // scenario.
    static std::unique_ptr<SimDesktop> loadScenario(const std::string& path, SimDesktopOptions options = {});
    // Written atomically, keys sorted, pretty-printed.
    void saveScenario(const std::string& path) const;

    SimWorld& world() { return world_; }
    const SimWorld& world() const { return world_; }
    // The virtual-time actor; aborts when the desktop runs on another kind.
    VirtualMainActor& virtualTime();
    SimDisplays& simDisplays() { return displays_; }
    SimAccessibility& simAccessibility() { return accessibility_; }
    SimWindowServer& simWindowServer() { return windowServer_; }
    SimWorkspace& simWorkspace() { return workspace_; }
    SimScriptHost& simScriptHost() { return scriptHost_; }
    SimHotKeys& simHotKeys() { return hotKeys_; }
    SimEventMonitors& simEventMonitors() { return eventMonitors_; }
    SimFiles& simFiles() { return files_; }
    SimDefaults& simDefaults() { return defaults_; }
    const SimDefaults& simDefaults() const { return defaults_; }
    SimLog& simLog() { return log_; }
    SimClock& simClock() { return clock_; }
    SimAlerts& simAlerts() { return alerts_; }
    SimToasts& simToasts() { return toasts_; }
    SimCursors& simCursors() { return cursors_; }
    SimAppearance& simAppearance() { return appearance_; }
    const SimAppearance& simAppearance() const { return appearance_; }
    SimApplicationObject& simApplication() { return application_; }
    SimUpdater& simUpdater() { return updater_; }
    // Another desktop's words in place of the simulated desktop's own (not owned).
    Wording* otherWording = nullptr;
    // The program's user interface, behind the recorders of alerts, toasts, cursors and
    // the application object; empty plugs unplug it.
    void plugUserInterface(const UserInterfacePlugs& plugs);
    // The window system that shows kestr's own windows when they are real ones beside
    // the simulated desktop (not owned); none: requests about them do nothing.
    NativeWindows* realWindows = nullptr;

private:
    static UserFolders makeTemporaryFolders(std::string& removeOnExit);

    std::string temporaryHome_;
    std::unique_ptr<MainActor> actor_;
    SimWorld world_;
    SimDisplays displays_;
    SimAccessibility accessibility_;
    SimWindowServer windowServer_;
    SimWorkspace workspace_;
    SimScriptHost scriptHost_;
    SimHotKeys hotKeys_;
    SimWording wording_;
    SimEventMonitors eventMonitors_;
    SimDefaults defaults_;
    SimFiles files_;
    SimFileWatch simFileWatch_;
    std::unique_ptr<FileWatch> realFileWatch_;
    SimLog log_;
    SimClock clock_;
    SimAlerts alerts_;
    SimToasts toasts_;
    SimCursors cursors_;
    SimAppearance appearance_;
    SimApplicationObject application_;
    SimUpdater updater_{alerts_};
    SimSpaces spaces_{world_};
};

}  // namespace kestr
