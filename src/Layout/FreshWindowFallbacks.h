// The last way to an item's window: ask the application for a fresh one by script and
// wait for it; when that fails, have a windowless application reopen one, give up on
// an application that keeps several windows, or move a single-window application's
// existing window (after the user agrees, when it sits on another display).
#pragma once

#include <optional>

#include "Layout/ApplyContext.h"
#include "Layout/ItemToPlace.h"
#include "Layout/WindowSpawner.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

class FreshWindowFallbacks {
public:
    FreshWindowFallbacks() = delete;

    static constexpr double freshWindowTimeout = 4.0;
    static constexpr double reopenTimeout = 3.0;
    static constexpr double pollInterval = 0.1;

    static Task<WindowOutcome> run(const ItemToPlace& target, LayoutApplier::ApplyContext& ctx);
    // Asks the item's application for a fresh window showing the item's content, by its
    // command line where applications take no scripts (then true: the further tabs
    // follow once the window shows, with FreshWindowCommand::openLaterTabs), else by
    // script; the desktop's answer is waited for no longer than `within` seconds. Throws
    // WindowSpawner::SpawnError.
    static Task<bool> requestFreshWindow(const LayoutItem& item, std::optional<Rect> targetGlobalFrame, double within);

private:
    // The new window, not one listed before the script ran and not claimed. Throws
    // WindowSpawner::SpawnError.
    static Task<AXElement> openFreshWindow(const ItemToPlace& target, const LayoutApplier::ApplyContext& ctx);
    static Task<WindowOutcome> fallback(const ItemToPlace& target, const WindowSpawner::SpawnError& failure,
                                        LayoutApplier::ApplyContext& ctx);
};

}  // namespace kestr
