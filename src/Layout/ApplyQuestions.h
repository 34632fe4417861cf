// The two questions that end an apply which did not simply place every window: may
// windows open on another display be pulled onto this one, and which running
// applications got no window here.
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
};

}  // namespace kestr
