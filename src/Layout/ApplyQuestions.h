// The two questions that end an apply which did not simply place every window: may
// windows open on another display be pulled onto this one, and which running
// applications got no window here; and the word to the user when an apply is dropped
// because another is in flight.
#pragma once

#include <vector>

#include "Layout/ApplyContext.h"

namespace kestr {

class ApplyQuestions {
public:
    ApplyQuestions() = delete;

    // Asks whether windows open on other displays may be moved here; true for "Move".
    static bool confirmMoves(const std::vector<LayoutApplier::PendingMove>& moves);
    // Names the running applications whose items got no window.
    static void notifyUnplaced(const std::vector<LayoutApplier::UnplacedApp>& apps);
    // Says, where the user looks, why the kest was not applied: the apply before it still
    // runs, or waits for the answer to its alert.
    static void notifyDropped(const Layout& kest);
    // Says how many of the kest's items got no window because the apply had opened as
    // many as it may.
    static void notifyNotOpened(const Layout& kest, int items);

    static constexpr double droppedToastDuration = 3.0;
    static constexpr double notOpenedToastDuration = 5.0;
};

}  // namespace kestr
