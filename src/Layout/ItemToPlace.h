// One item while it is being placed: the values worked out once its application is
// known to run, and the window chosen for it with the way it was found.
#pragma once

#include <cstdint>
#include <optional>
#include <variant>

#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Layout/ApplyContext.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Accessibility.h"
#include "Platform/Geometry.h"

namespace kestr {

struct ItemToPlace {
    const LayoutItem& item;
    std::int32_t pid = 0;
    // None: the item's frame was not usable.
    const LayoutApplier::Placement* placement = nullptr;
    ScreenFrame preferredFrame;
    std::optional<Rect> targetGlobalFrame;
    bool anchored = false;
    // The launch that started the item's application handed it the item's URL.
    bool urlOpened = false;
};

struct ChosenWindow {
    AXElement window;
    // True for an open window matched to the item; only such a window gets the item's
    // saved browser tabs added.
    bool matched = false;
};

// A window to place, or the item's outcome without one.
using WindowOutcome = std::variant<ChosenWindow, LayoutApplier::ItemResult>;

}  // namespace kestr
