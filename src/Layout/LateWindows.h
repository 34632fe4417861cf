// Placing the windows of applications that the apply launched but that showed no
// window in time: a background task looks for them every half second for half a
// minute and moves each into its slot as soon as it opens.
#pragma once

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
                              const ApplyAftermath& aftermath, double giveUpAfter = giveUpSeconds);

private:
    // `claimed` grows by every window placed here, so two late items never end up
    // sharing one window.
    static Task<void> placeWhenOpen(std::vector<LayoutApplier::DeferredPlacement> pending, AXElementList claimed,
                                    ApplyAftermath aftermath, double giveUpAfter);
};

}  // namespace kestr
