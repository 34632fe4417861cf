// An application of the simulated desktop: installed (so that it can be launched),
// running with windows, or both.
//     AppBuilder(*sim, "com.apple.Terminal", "Terminal").window("zsh", Rect(0, 25, 700, 500)).run();
//     AppBuilder(*sim, "com.example.Slow", "Slow").firstWindowDelay(3).install();
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/Sim/SimDesktop.h"

namespace kestr::test {

// A window with a title and a global frame, otherwise as the simulated desktop makes one.
inline SimWindow titledWindow(std::string title, Rect frame, Size minimum = {}) {
    SimWindow w;
    w.title = std::move(title);
    w.position = frame.origin;
    w.size = frame.size;
    w.minimumSize = minimum;
    return w;
}

class AppBuilder {
public:
    // Installed under "/Applications/<name>.app"; launched, it starts in 0.1 s and
    // opens a window titled with its name at (300, 300, 500, 400) 0.5 s later.
    AppBuilder(SimDesktop& sim, std::string bundleID, std::string name) : world_(sim.world()) {
        app_.bundleID = std::move(bundleID);
        app_.name = app_.windowTitle = std::move(name);
        app_.path = "/Applications/" + app_.name + ".app";
        app_.windowFrame = Rect(300, 300, 500, 400);
    }

    AppBuilder& policy(ActivationPolicy policy) {
        app_.policy = policy;
        return *this;
    }
    AppBuilder& launchDelay(double seconds) {
        app_.launchDelay = seconds;
        return *this;
    }
    // None: launched, it opens no window by itself.
    AppBuilder& firstWindowDelay(std::optional<double> seconds) {
        app_.firstWindowDelay = seconds;
        return *this;
    }
    // A window the running process has, in "AXWindows" order (the first in front).
    AppBuilder& window(std::string title, Rect frame, Size minimum = {}) {
        windows_.push_back(titledWindow(std::move(title), frame, minimum));
        return *this;
    }
    AppBuilder& window(SimWindow window) {
        windows_.push_back(std::move(window));
        return *this;
    }

    // What install() installs, for settings the shorthands above do not cover.
    SimApplication& application() { return app_; }

    SimApplication& install() {
        installed_ = true;
        return world_.install(app_);
    }
    // A running process with the windows given: launched as the installed application
    // when install() came first, else a process that nothing can launch again.
    SimProcess& run() {
        SimProcess* process;
        if (installed_) {
            process = &world_.launch(app_.bundleID);
            for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) world_.addWindow(process->pid, *it);
        } else {
            SimProcess p;
            p.bundleID = app_.bundleID;
            p.name = app_.name;
            p.policy = app_.policy;
            p.windows = windows_;
            process = &world_.addProcess(std::move(p));
        }
        return *process;
    }

private:
    SimWorld& world_;
    SimApplication app_;
    std::vector<SimWindow> windows_;
    bool installed_ = false;
};

}  // namespace kestr::test
