// The installed platform: one object that gives every operating-system service, and
// that owns the program's shared instances (X::shared()), so that installing a fresh
// platform — as every test does — also gives fresh shared instances.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

#include "Platform/Accessibility.h"
#include "Platform/Alerts.h"
#include "Platform/Appearance.h"
#include "Platform/Capabilities.h"
#include "Platform/ApplicationObject.h"
#include "Platform/Clock.h"
#include "Platform/Cursors.h"
#include "Platform/Defaults.h"
#include "Platform/Displays.h"
#include "Platform/EventMonitors.h"
#include "Platform/FileWatch.h"
#include "Platform/Files.h"
#include "Platform/HotKeys.h"
#include "Platform/Log.h"
#include "Platform/Runtime/MainActor.h"
#include "Platform/NativeWindows.h"
#include "Platform/ScriptHost.h"
#include "Platform/Spaces.h"
#include "Platform/Toasts.h"
#include "Platform/Updater.h"
#include "Platform/WindowServer.h"
#include "Platform/Wording.h"
#include "Platform/Workspace.h"

namespace kestr {

class Platform {
public:
    virtual ~Platform();

    virtual MainActor& mainActor() = 0;
    virtual Displays& displays() = 0;
    virtual Accessibility& accessibility() = 0;
    virtual WindowServer& windowServer() = 0;
    virtual Workspace& workspace() = 0;
    virtual ScriptHost& scriptHost() = 0;
    virtual HotKeys& hotKeys() = 0;
    virtual EventMonitors& eventMonitors() = 0;
    virtual Defaults& defaults() = 0;
    virtual Files& files() = 0;
    virtual FileWatch& fileWatch() = 0;
    virtual Log& log() = 0;
    virtual Clock& clock() = 0;
    virtual Alerts& alerts() = 0;
    virtual Toasts& toasts() = 0;
    virtual Cursors& cursors() = 0;
    virtual Appearance& appearance() = 0;
    virtual ApplicationObject& application() = 0;
    virtual Updater& updater() = 0;
    virtual Spaces& spaces() = 0;
    virtual Wording& wording() = 0;
    virtual Capabilities capabilities() const { return {}; }
    // Requests about kestr's own windows; by default there are none to make.
    virtual NativeWindows& nativeWindows();

    // The one instance of T for this platform, made with T's default constructor on
    // first use.
    template <class T>
    T& shared() {
        auto it = shared_.find(std::type_index(typeid(T)));
        if (it == shared_.end()) {
            auto instance = std::make_shared<T>();
            it = shared_.emplace(std::type_index(typeid(T)), instance).first;
            order_.push_back(instance);
        }
        return *static_cast<T*>(it->second.get());
    }

    // The shared instance of T when one was made; none otherwise (nothing is made).
    template <class T>
    T* sharedIfMade() {
        auto it = shared_.find(std::type_index(typeid(T)));
        return it == shared_.end() ? nullptr : static_cast<T*>(it->second.get());
    }

protected:
    // Subclasses call this first in their destructor, while their services still exist:
    // shared instances are destroyed newest first.
    void destroySharedInstances();

private:
    std::map<std::type_index, std::shared_ptr<void>> shared_;
    std::vector<std::shared_ptr<void>> order_;
};

// Installs the platform every later call reaches (not owned); null uninstalls.
void installPlatform(Platform* platform);
// The installed platform. Calling it with none installed is a programming error and
// aborts.
Platform& platform();
bool hasPlatform();

}  // namespace kestr
