// Which snap actions have a shortcut that collides with another snap action's or with
// one reserved elsewhere (a kest's hot key, the capture shortcut). Reports only.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Core/Hotkey.h"
#include "Core/SnapBinding.h"

namespace kestr::SnapConflicts {

struct Reserved {
    Hotkey hotkey;
    // Shown for a collision with it ("Kest: Work", "Save current windows").
    std::string label;

    friend bool operator==(const Reserved&, const Reserved&) = default;
};

// The label of the first collision of each action; actions without one are absent.
// A collision with another snap action wins over a reserved shortcut.
std::map<SnapAction, std::string> detect(const std::vector<SnapBinding>& snaps, const std::vector<Reserved>& reserved);

}  // namespace kestr::SnapConflicts
