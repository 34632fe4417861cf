// Small pieces shared by the stages that put an item's window in place: where a
// placement lies in global coordinates, the frame an item prefers its window near, and
// the choice of a window by the item's own matcher and captured title.
#pragma once

#include <optional>
#include <string>

#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Accessibility.h"
#include "Platform/Geometry.h"

namespace kestr {

class ItemWindows {
public:
    ItemWindows() = delete;

    using Placement = LayoutApplier::Placement;

    // The placement's local frame moved by its display's bounds origin.
    static Rect globalFrame(const Placement& placement);
    // The placement's own frame on its display, without recorded display geometry.
    static ScreenFrame screenFrame(const Placement& placement);

    // The windows in order, less those equal to one of `taken`.
    static AXElementList excluding(const AXElementList& windows, const AXElementList& taken);

    // Whether the window's title contains the text; an unreadable title counts as
    // empty.
    static bool titleContains(AXElement window, const std::string& text);

    // Brings the window back from the Dock and out of full screen (without waiting for
    // the animation).
    static void bringOut(AXElement window);

    // The item's own matcher over the pool, narrowed (for the first-window matcher) to
    // the windows showing its captured title unless none does; of those the one
    // nearest `preferNear`, else the nearest of the whole pool.
    static std::optional<AXElement> choose(const LayoutItem& item, const AXElementList& pool,
                                           const std::optional<ScreenFrame>& preferNear);
};

}  // namespace kestr
