// The live displays as one apply sees them: read once before any placement is worked
// out, so that the planning is a pure function of the kest and this snapshot, and a
// display that comes or goes half-way cannot leave some items planned against the old
// arrangement and others against the new one.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Core/LayoutItem.h"
#include "Platform/Displays.h"
#include "Platform/Geometry.h"

namespace kestr {

class DisplaySnapshot {
public:
    struct Display {
        Rect bounds;
        std::optional<std::string> uuid;
        // Display-local, without the menu bar and the Dock; infinite without area.
        Rect visibleArea;
    };

    // Every listed display, the main display, the anchor display and the displays the
    // items' saved frames name.
    static DisplaySnapshot read(const std::vector<LayoutItem>& items,
                                std::optional<DisplayID> anchorDisplay = std::nullopt);

    // The connected display the UUID string names; 0 for none.
    DisplayID idOf(const std::string& uuid) const;
    Rect bounds(DisplayID display) const;
    // A display without area (asleep, or going away) counts as not connected.
    bool hasArea(DisplayID display) const;
    Rect visibleArea(DisplayID display) const;
    std::optional<std::string> uuidString(DisplayID display) const;
    DisplayID mainDisplay() const { return main_; }
    // The listed displays sorted by their bounds' origin, left to right.
    const std::vector<DisplayID>& leftToRight() const { return leftToRight_; }

private:
    void add(DisplayID display);

    std::map<DisplayID, Display> displays_;
    std::map<std::string, DisplayID> ids_;
    DisplayID main_ = 0;
    std::vector<DisplayID> leftToRight_;
};

}  // namespace kestr
