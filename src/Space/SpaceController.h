// Adds a desktop Space. Where synthetic clicks may drive the system's own interface, the
// way a person would: opens Mission Control, reveals the Spaces bar at the top of the
// primary display, clicks its add button and puts the pointer back, driven by fixed
// delays, and nothing checks that a Space was added. Elsewhere the desktop is asked for
// one more workspace and to show it, and a desktop that does not is a failure.
#pragma once

#include <optional>

#include "Platform/Displays.h"
#include "Platform/Error.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

struct SpaceController {
    class Failure : public Error {
    public:
        enum class Kind { noPrimaryScreen, eventSourceUnavailable, notAdded };
        explicit Failure(Kind kind);
        Kind kind;
    };

    static Task<void> createNewSpaceAndSwitch();

private:
    static std::optional<Screen> primaryScreen();
    static Task<void> openMissionControl();
    static Task<void> clickMouse(Point at);
};

}  // namespace kestr
