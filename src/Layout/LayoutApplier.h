// Applying a kest: the values every stage of the apply shares, and the apply itself,
// which runs the stages in order — placement planning (PlacementPlanner), sharing out
// drifting windows (DriftingWindows), placing each item (ItemPlacement), the two
// questions to the user (ApplyQuestions) and the late windows (LateWindows).
// ApplyContext.h holds the state of one apply.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Core/Uuid.h"
#include "Layout/ApplyAftermath.h"
#include "Platform/Accessibility.h"
#include "Platform/Displays.h"
#include "Platform/Geometry.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

struct LayoutApplier {
    LayoutApplier() = delete;

    // The most windows one apply opens, by launches and fresh windows together: a kest
    // file from elsewhere may ask for thousands, which would take the user's session.
    static constexpr int maxWindowsOpened = 64;

    // Which saved frame of an item an apply uses.
    enum class FrameSource {
        captured,  // the captured frame when the item has one, else the target frame
        target,    // always the target frame
    };

    struct SkippedItem {
        LayoutItem item;
        std::string reason;
        friend bool operator==(const SkippedItem&, const SkippedItem&) = default;
    };

    // The outcome of one apply.
    struct ApplyReport {
        int applied = 0;
        std::vector<SkippedItem> skipped;
        // One per item sent to the main display because its saved display is gone.
        int fellBackToMainDisplay = 0;
        // Items left without the window they needed (a launch or a fresh window): the
        // apply had opened as many windows as it may. Not among `skipped`.
        int windowsNotOpened = 0;
        // Absent only for an apply dropped as re-entrant.
        std::optional<Layout> effectiveLayout;
        // Item identifier -> the window each applied item was given, so that a caller
        // need not find it again.
        std::map<Uuid, AXElement> windows;
        // The late windows, placed after the apply has returned.
        ApplyAftermath aftermath;
        friend bool operator==(const ApplyReport&, const ApplyReport&) = default;
    };

    // Where one item goes: a live display and a frame in its local coordinates.
    struct Placement {
        DisplayID targetID = 0;
        std::string targetUUID;
        std::string bundleID;
        Rect local;
        friend bool operator==(const Placement&, const Placement&) = default;
    };
    using Placements = std::map<Uuid, Placement>;

    // The item's frame under the frame source.
    static const ScreenFrame& frameOf(const LayoutItem& item, FrameSource source);

    enum class ApplyMode {
        freshWindows,    // a fresh window for every item (a launched app's first window serves its first item)
        reuseExisting,   // move open windows only; launch and open nothing
        restoreMissing,  // reuse matching open windows, launch and open what is missing
    };

    // Defined in ApplyContext.h.
    struct PendingMove;
    struct DeferredPlacement;
    struct UnplacedApp;
    struct ItemResult;
    struct ApplyContext;

    // Puts the kest on the screen and reports what was placed. An apply that opens or
    // restores windows while another such apply runs is dropped (no effective kest).
    static Task<ApplyReport> apply(Layout layout, ApplyMode mode, FrameSource frameSource,
                                   std::optional<DisplayID> anchorDisplay);
};

}  // namespace kestr
