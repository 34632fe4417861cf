// One process of the simulated desktop: a running (or terminated) application with
// its windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Accessibility.h"
#include "Platform/Sim/SimWindow.h"
#include "Platform/Workspace.h"

namespace kestr {

// What the process does when it is asked to quit.
enum class TerminateBehavior {
    quits,    // the request is sent and the process ends soon after
    ignores,  // the request is sent, but the process keeps running
    refuses,  // the request cannot be sent
};

struct SimProcess {
    std::int32_t pid = 0;
    std::optional<std::string> bundleID;
    std::optional<std::string> name;
    std::optional<std::string> bundleURL;
    ActivationPolicy policy = ActivationPolicy::regular;
    bool hidden = false;
    bool terminated = false;
    // False for an application that does not answer accessibility requests.
    bool responds = true;
    // None: the application does not support the attribute.
    std::optional<bool> enhancedUserInterface = false;
    std::optional<bool> manualAccessibility;
    TerminateBehavior onTerminate = TerminateBehavior::quits;
    // The arguments it was launched with.
    std::vector<std::string> arguments;
    // In "AXWindows" order.
    std::vector<SimWindow> windows;
    AXElement focusedWindow;
    AXElement mainWindow;

    RunningApplication snapshot() const;
    SimWindow* window(AXElement element);
    friend bool operator==(const SimProcess&, const SimProcess&) = default;
};

}  // namespace kestr
