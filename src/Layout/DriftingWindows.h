// Sharing out the open windows of applications whose titles follow their content
// (terminals, browsers) among the items of each application before any item is placed:
// first by the title the item's matcher asks for, on any display; then, one display at a
// time, by the title captured with the item and by nearness to the item's slot; so that
// no two items go after the same window.
#pragma once

#include <set>
#include <vector>

#include "Core/LayoutItem.h"
#include "Layout/ApplyContext.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Accessibility.h"

namespace kestr {

class DriftingWindows {
public:
    DriftingWindows() = delete;

    // Fills `ctx.preassignedWindows` for the items of title-drifting applications.
    static void preassignDriftingWindows(const std::vector<LayoutItem>& items,
                                         const LayoutApplier::Placements& placements, LayoutApplier::ApplyContext& ctx);

private:
    struct Candidate {
        const LayoutItem* item;
        const LayoutApplier::Placement* placement;
    };

    // The windows whose top-left corner lies on the display, in listing order.
    static AXElementList poolOn(DisplayID display, const AXElementList& windows);
    // The first pool window that shows the item's captured title; the pool's end if none.
    static AXElementList::iterator capturedTitleWindow(const LayoutItem& item, AXElementList& pool);
    // Gives each item whose matcher asks for a title the window showing it nearest its
    // slot, and takes those windows out of the list; the items served.
    static std::set<Uuid> takeNamedWindows(const std::vector<Candidate>& placed, AXElementList& windows,
                                           LayoutApplier::ApplyContext& ctx);
    // Takes from the pool the window whose corner is nearest the middle of the slot.
    static AXElement takeNearest(AXElementList& pool, const LayoutApplier::Placement& placement);
    static void shareOut(const std::vector<Candidate>& group, AXElementList pool, LayoutApplier::ApplyContext& ctx);
};

}  // namespace kestr
