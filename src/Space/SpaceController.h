// Adds a desktop Space the way a person would: opens Mission Control, reveals the
// Spaces bar at the top of the primary display, clicks its add button and puts the
// pointer back. Driven by fixed delays; nothing checks that a Space was added.
#pragma once

#include <optional>

#include "Platform/Displays.h"
#include "Platform/Error.h"
#include "Platform/Task.h"

namespace kestr {

struct SpaceController {
    class Failure : public Error {
    public:
        enum class Kind { noPrimaryScreen, eventSourceUnavailable };
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
