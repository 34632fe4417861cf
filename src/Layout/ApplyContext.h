// The state of one apply: which windows its items have taken, which applications it
// launched, and what it leaves for the end (moves to confirm, applications to name,
// items whose windows have not opened yet). Created empty by the apply and discarded
// with it, so no claim survives into the next apply.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Core/Uuid.h"
#include "Layout/ApplyAftermath.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Accessibility.h"
#include "Platform/Displays.h"
#include "Window/WindowCache.h"

namespace kestr {

// A window found on another display: moved only after the user agrees.
struct LayoutApplier::PendingMove {
    AXElement window;
    Placement placement;
    std::string appName;
    DisplayID fromID = 0;
    DisplayID toID = 0;
};

// An item whose freshly launched application showed no window in time.
struct LayoutApplier::DeferredPlacement {
    LayoutItem item;
    Placement placement;
    ScreenFrame preferFrame;
    // The process launched for it (0: not known): the window is that process's, or of
    // one it started, never another instance's.
    std::int32_t launchedPID = 0;
    // Its window is a fresh one, asked for once the launch has shown its first window and
    // the items deferred before it on that launch have theirs.
    bool freshWindow = false;
};

// A running application whose item found no usable window.
struct LayoutApplier::UnplacedApp {
    std::string name;
    std::string bundleID;
    friend bool operator==(const UnplacedApp&, const UnplacedApp&) = default;
};

// How placing one item went.
struct LayoutApplier::ItemResult {
    // notOpened: the item needed a window that the apply may no longer open.
    enum class Kind { applied, skipped, deferred, notOpened };
    Kind kind = Kind::applied;
    std::string reason;  // only for skipped
    AXElement window;    // only for applied: the item's window

    static ItemResult applied(AXElement window) { return {Kind::applied, {}, window}; }
    static ItemResult skipped(std::string reason) { return {Kind::skipped, std::move(reason), {}}; }
    static ItemResult deferred() { return {Kind::deferred, {}, {}}; }
    static ItemResult notOpened() { return {Kind::notOpened, {}, {}}; }
};

struct LayoutApplier::ApplyContext {
    // In the order they were taken; no later item may take one of them.
    AXElementList claimedWindows;
    std::set<std::int32_t> launchedPIDs;
    // Launched processes whose first window has already gone to an item.
    std::set<std::int32_t> reusedLaunchPIDs;
    // Launched processes that showed no window within the launch wait: their first window,
    // when it comes, is the deferred item's, and the launch is not yet an instance that
    // runs for the items after it.
    std::set<std::int32_t> lateLaunchPIDs;
    // Windows this apply has asked for: launches and fresh windows, those asked for once
    // a late launch shows its first window included.
    int windowsOpened = 0;
    std::vector<PendingMove> pendingMoves;
    // At most one entry per bundle identifier, in order of first occurrence.
    std::vector<UnplacedApp> unplacedRunningApps;
    std::vector<DeferredPlacement> deferredPlacements;
    // What goes on after the apply returns.
    ApplyAftermath aftermath;
    // Bundle identifier -> the non-empty captured titles of its items, in kest order.
    std::map<std::string, std::vector<std::string>> capturedTitlesByBundle;
    // Item identifier -> the window chosen for it before any item was placed.
    std::map<Uuid, AXElement> preassignedWindows;
    // Bundle identifier -> the items still to be placed whose matchers name their windows
    // by title, in kest order: a window showing such a title is that item's.
    std::map<std::string, std::vector<const LayoutItem*>> titledItemsToCome;
    // What the searches of this apply have read of the open windows.
    WindowCache windowCache;

    bool isClaimed(AXElement window) const;
    // Takes the window for an item; nothing read of it before is trusted after.
    void claim(AXElement window);
    // The windows in order, less the claimed ones.
    AXElementList unclaimed(const AXElementList& windows) const;
    // Notes the items' captured titles and title matchers before any item is placed; the
    // items must outlive the context.
    void noteItems(const std::vector<LayoutItem>& items);
    // The item's turn has come: its title no longer keeps windows from the others.
    void takeTurn(const LayoutItem& item);
    // The windows in order that the title of another item still to come names, less
    // those the item's own matcher admits.
    AXElementList namedForOthers(const LayoutItem& item, const AXElementList& windows) const;
    // Whether the apply may still open a window (LayoutApplier::maxWindowsOpened).
    bool mayOpenWindow() const;
    // Counts one more window asked for; false, counting nothing, when none may be.
    bool openWindow();
    // Names the application once, however many of its items end up unplaced.
    void addUnplaced(const std::string& name, const std::string& bundleID);
};

}  // namespace kestr
