// Placing the windows of applications that the apply launched but that showed no
// window in time: a background task looks for them every half second for half a
// minute and moves each into its slot as soon as it opens. The launch's first window
// goes to the first item deferred on it; each later item of that launch gets a fresh
// window, asked for in turn once the windows before it have come.
#pragma once

#include <optional>
#include <vector>

#include "Layout/ApplyAftermath.h"
#include "Layout/ApplyContext.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Accessibility.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

class LateWindows {
public:
    LateWindows() = delete;

    // How long a window that comes after the apply is waited for.
    static constexpr double giveUpSeconds = 30.0;

    // Starts the background task as part of the apply's aftermath, which hears how each
    // window ended, and returns at once; it never takes one of `claimedWindows`, the
    // windows the apply gave to its items. It gives up on the windows still missing
    // `giveUpAfter` seconds after it started (tests of a real desktop, which runs in real
    // time, shorten it).
    static void placeDeferred(std::vector<LayoutApplier::DeferredPlacement> placements, AXElementList claimedWindows,
                              ApplyAftermath aftermath, double giveUpAfter = giveUpSeconds);

private:
    // A deferred placement on its way: for a fresh window, the application's windows
    // listed when it was asked for; whether the item's further tabs follow its window.
    struct Waiting {
        LayoutApplier::DeferredPlacement deferred;
        std::optional<AXElementList> before;
        bool tabsFollow = false;
    };

    // `claimed` grows by every window placed here, so two late items never end up
    // sharing one window.
    static Task<void> placeWhenOpen(std::vector<LayoutApplier::DeferredPlacement> placements, AXElementList claimed,
                                    ApplyAftermath aftermath, double giveUpAfter);
    static Task<void> askForFreshWindow(Waiting& waiting);
};

}  // namespace kestr
