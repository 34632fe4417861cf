// Applying a kest: where every item goes on the live displays. This header holds the
// placement computation (display mapping, source and target regions, target frames and
// the column re-flow), and the apply that builds on them (ApplyContext.h holds the
// state of one apply).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Core/Url.h"
#include "Core/Uuid.h"
#include "Platform/Accessibility.h"
#include "Platform/Displays.h"
#include "Platform/Geometry.h"
#include "Platform/Task.h"

namespace kestr {

struct LayoutApplier {
    LayoutApplier() = delete;

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
        // Absent only for an apply dropped as re-entrant.
        std::optional<Layout> effectiveLayout;
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

    // ---- display mapping and source regions ----

    // The item's frame under the frame source.
    static const ScreenFrame& frameOf(const LayoutItem& item, FrameSource source);
    // At least 20 points wide and high; smaller frames take no part in placement.
    static bool isUsable(const ScreenFrame& frame);
    // Whether the display's bounds have an area. One without (asleep, or going away
    // between the key press and the apply) counts as not connected for placement.
    static bool hasArea(DisplayID display);
    // The smallest window the application accepts; 120 x 120 when it is not listed.
    static Size minimumSize(const std::string& bundleID);

    // Saved display UUID string -> the rectangle (in that display's local coordinates)
    // against which its frames are read.
    static std::map<std::string, Rect> computeSourceRegions(const std::vector<LayoutItem>& items,
                                                            FrameSource frameSource);

    // Saved display UUID string -> the live display standing in for it; empty without
    // an anchor display.
    static std::map<std::string, DisplayID> displayMapping(
        const std::vector<LayoutItem>& items,
        const std::function<ScreenFrame(const LayoutItem&)>& frameOf,
        std::optional<DisplayID> anchorDisplay);

    // For each saved display (sorted left to right), a position among the live displays.
    static std::vector<int> targetIndices(int sourceCount, int targetCount, int anchorIndex);

    // The per-item result of display resolution.
    struct Resolved {
        LayoutItem item;
        ScreenFrame f;
        std::string savedUUID;
        std::optional<DisplayID> savedID;
        std::optional<DisplayID> mappedID;
        DisplayID targetID = 0;
        std::string targetUUID;
    };
    // One Resolved per item with a usable frame, in item order; every item sent to the
    // main display adds one to `fellBackToMainDisplay`.
    static std::vector<Resolved> resolveDisplays(const std::vector<LayoutItem>& items, FrameSource frameSource,
                                                 const std::map<std::string, DisplayID>& mapping,
                                                 int& fellBackToMainDisplay);

    struct SubRegionEntry {
        DisplayID targetID = 0;
        std::string savedUUID;
        double originX = 0;
    };
    // Saved display UUID string -> its region on its target display: the whole visible
    // area, or an equal strip of it when several saved displays share that display.
    static std::map<std::string, Rect> targetSubRegions(const std::vector<SubRegionEntry>& entries);

    // `count` strips of equal width, side by side from the left, each of full height.
    static std::vector<Rect> horizontalSlices(const Rect& rect, int count);

    // ---- target frames ----

    // Placements of every item with a usable frame, keyed by item identifier; only
    // `report.fellBackToMainDisplay` is changed.
    static Placements computeTargetFrames(const std::vector<LayoutItem>& items, FrameSource frameSource,
                                          const std::map<std::string, Rect>& sourceRegions,
                                          std::optional<DisplayID> anchorDisplay, ApplyReport& report);

    // ---- column re-flow and packing ----

    // Re-flows the placements `ids` of one display as columns of rows so that they fit
    // `visible` without overlapping.
    static void reflowColumns(Placements& placements, const std::vector<Uuid>& ids, const Rect& visible);
    static void reflowColumn(Placements& placements, const std::vector<Uuid>& ids, const Rect& visible);
    static void packColumnsHorizontally(Placements& placements, const std::vector<std::vector<Uuid>>& columns,
                                        const Rect& visible);

    struct Segment {
        double start = 0;
        double size = 0;
        friend bool operator==(const Segment&, const Segment&) = default;
    };
    // Packs segments into [availStart, availEnd], shrinking them no further than their
    // minimums; absent when they already fit without overlapping.
    static std::optional<std::vector<Segment>> pack1D(const std::vector<double>& starts,
                                                      const std::vector<double>& sizes,
                                                      const std::vector<double>& mins, double availStart,
                                                      double availEnd);

    // ---- applying a kest ----

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

    // Places one item; the context carries the claims of the items before it.
    static Task<ItemResult> applyItem(const LayoutItem& item, ApplyMode mode, FrameSource frameSource,
                                      const Placements& placements, bool anchored, ApplyContext& ctx);
    // Opens the URL with the application (or the default handler), in the background.
    static void openURL(const Url& url, const std::string& bundleID);

    // Shares the open windows of title-drifting applications out among their items.
    static void preassignDriftingWindows(const std::vector<LayoutItem>& items, const Placements& placements,
                                         ApplyContext& ctx);

    // Asks whether windows open on other displays may be moved here; true for "Move".
    static bool confirmMoves(const std::vector<PendingMove>& moves);
    // Names the running applications whose items got no window.
    static void notifyUnplaced(const std::vector<UnplacedApp>& apps);
    // Places late windows in a background task and returns at once; never takes one
    // of `claimedWindows`, the windows the apply gave to its items.
    static void placeDeferred(std::vector<DeferredPlacement> placements, AXElementList claimedWindows);
};

}  // namespace kestr
