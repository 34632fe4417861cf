// Finding the shared edges of a kest: lines on one display where the right (or bottom)
// edges of some windows meet the left (or top) edges of others, with how far each line
// may move before a window on either side gets smaller than its application allows.
#pragma once

#include <vector>

#include "Core/EdgeGroup.h"
#include "Core/LayoutItem.h"
#include "Window/WindowLimits.h"

namespace kestr {

struct EdgeGroupDetector {
    EdgeGroupDetector() = delete;

    // Every shared edge of the items' target frames, sorted by display UUID string,
    // vertical before horizontal, then by coordinate. Each call gives fresh identifiers.
    // Where the live windows' limits are known, a window that sizes itself in steps may
    // stop short of an edge by up to one step more than the threshold, and a window's
    // own minimum size bounds how far its edges move.
    static std::vector<EdgeGroup> detectGroups(const std::vector<LayoutItem>& items, double snapThreshold,
                                               double minDimension, const ItemWindowLimits& limits = {});

    // Moves and resizes the members of each group so that both sides meet exactly on
    // its line; only target frames change.
    static void snapItemsToGroups(std::vector<LayoutItem>& items, const std::vector<EdgeGroup>& groups);
};

}  // namespace kestr
