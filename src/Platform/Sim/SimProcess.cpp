#include "Platform/Sim/SimProcess.h"

namespace kestr {

RunningApplication SimProcess::snapshot() const {
    RunningApplication app;
    app.processIdentifier = pid;
    app.bundleIdentifier = bundleID;
    app.localizedName = name;
    app.bundleURL = bundleURL;
    app.activationPolicy = policy;
    app.isHidden = hidden;
    app.isTerminated = terminated;
    return app;
}

SimWindow* SimProcess::window(AXElement element) {
    for (auto& w : windows) {
        if (w.element == element) return &w;
    }
    return nullptr;
}

}  // namespace kestr
