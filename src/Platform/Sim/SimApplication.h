// An installed application of the simulated desktop, and how it behaves when it is
// launched, asked to reopen, or opens a window of its own.
#pragma once

#include <optional>
#include <string>

#include "Platform/Geometry.h"
#include "Platform/Sim/SizeRule.h"
#include "Platform/Workspace.h"

namespace kestr {

struct SimApplication {
    std::string bundleID;
    std::string name;
    // Where it is installed; what urlForApplication answers and openApplication takes.
    std::string path;
    ActivationPolicy policy = ActivationPolicy::regular;

    // Seconds from an open request until the process runs and the request completes.
    double launchDelay = 0.1;
    // Seconds from the start of the process until its first window appears; none: it
    // opens no window by itself.
    std::optional<double> firstWindowDelay = 0.5;
    // Seconds from a reopen request (an open of the running, windowless application)
    // until it opens a window; none: it does not reopen.
    std::optional<double> reopenDelay = 0.3;
    // When set, every open request fails with this description.
    std::optional<std::string> launchError;
    // A PNG or SVG file shown as its icon; none: the desktop draws one.
    std::optional<std::string> iconFile;

    // What its new windows look like. Later windows are moved 22 points down and right
    // for each window the process already has.
    std::string windowTitle;
    Rect windowFrame;
    Size minimumSize;
    SizeRule sizeRule;

    friend bool operator==(const SimApplication&, const SimApplication&) = default;
};

}  // namespace kestr
