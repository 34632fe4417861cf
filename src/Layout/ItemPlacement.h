// Placing one item: make sure its application runs, find its window by the ways its
// apply mode allows (or open one), bring the window out of the Dock and full screen,
// move it into place and restore what the item asks for on top.
#pragma once

#include <optional>
#include <string>

#include "Core/LayoutItem.h"
#include "Core/Url.h"
#include "Layout/ApplyContext.h"
#include "Layout/ItemToPlace.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

class ItemPlacement {
public:
    ItemPlacement() = delete;

    using ApplyMode = LayoutApplier::ApplyMode;
    using ItemResult = LayoutApplier::ItemResult;

    // Places one item; the context carries the claims of the items before it.
    static Task<ItemResult> applyItem(const LayoutItem& item, ApplyMode mode, LayoutApplier::FrameSource frameSource,
                                      const LayoutApplier::Placements& placements, bool anchored,
                                      LayoutApplier::ApplyContext& ctx);

private:
    // The open windows by the ways the mode allows, before a fresh window is asked for.
    static std::optional<WindowOutcome> findOpenWindow(const ItemToPlace& target, ApplyMode mode,
                                                       LayoutApplier::ApplyContext& ctx);
    // Those ways that look at windows open before the item's turn: a drifting title, a
    // preassigned window, the reuse of an open one, the search.
    static std::optional<WindowOutcome> findAmongOpenWindows(const ItemToPlace& target, ApplyMode mode,
                                                             LayoutApplier::ApplyContext& ctx);
    static Task<ItemResult> placeWindow(const ItemToPlace& target, ChosenWindow chosen, ApplyMode mode,
                                        LayoutApplier::ApplyContext& ctx);
    // Opens the URL with the application (or the default handler), in the background.
    static void openURL(const Url& url, const std::string& bundleID);
};

}  // namespace kestr
