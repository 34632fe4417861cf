#include "Platform/X11/X11Platform.h"

namespace kestr {

X11Platform::X11Platform(X11PlatformOptions options)
    : host_(std::move(options.host)),
      connection_(std::make_unique<X11Connection>(options.displayName)),
      compositor_(*connection_),
      trayColors_(*connection_),
      model_(*connection_, host_.mainActor()),
      entries_(options.dataFolders),
      pointer_(*connection_, host_.mainActor()),
      displays_(*connection_, model_, pointer_),
      accessibility_(*connection_, model_),
      windowServer_(model_),
      workspace_(*connection_, model_, entries_, host_.mainActor(), host_.log(), options.ownPid, options.dataFolders),
      spaces_(*connection_, model_),
      nativeWindows_(&displays_),
      settings_(JsonFileDefaults::settingsPath(options.configHome)),
      keyTable_(*connection_),
      eventMonitors_(*connection_, model_, displays_, pointer_, keyTable_, host_.mainActor(), options.ownPid),
      hotKeys_(*connection_, keyTable_, host_.log(), wording_) {
    workspace_.homeFolder = host_.files().homeDirectory();
    appearance_.trayForeground = [this] { return trayColors_.foreground(); };
    accessibility_.applicationName = [this](std::int32_t pid) { return workspace_.name(pid); };
    windowServer_.applicationName = accessibility_.applicationName;
    connection_->onLost = [this] {
        watch_.reset();
        if (onConnectionLost) onConnectionLost();
    };
    MainActor& actor = host_.mainActor();
    watch_ = actor.watchReadable(connection_->fd(), [this] { connection_->dispatch(true); });
    // Events read while waiting for a reply sit in xcb's queue and never wake the loop.
    actor.addAfterWorkHook([this] { connection_->dispatch(false); });
}

X11Platform::~X11Platform() {
    destroySharedInstances();
    watch_.reset();
}

Capabilities X11Platform::capabilities() const { return Capabilities::x11Session(compositor_.running()); }

bool X11Platform::hasWindowManager(const std::string& displayName) {
    try {
        X11Connection x(displayName);
        const auto check = x.cardinals(x.root(), x.ewmh()._NET_SUPPORTING_WM_CHECK);
        if (!check || check->empty() || (*check)[0] == 0) return false;
        // A stale property outlives its window manager; the window must name itself.
        const auto self = x.cardinals((*check)[0], x.ewmh()._NET_SUPPORTING_WM_CHECK);
        return self && !self->empty() && (*self)[0] == (*check)[0];
    } catch (const X11Error&) {
        return false;
    }
}

}  // namespace kestr
