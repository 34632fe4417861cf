// Snaps the focused window of the frontmost application: finds it, brings it out of
// the Dock or full screen, remembers its frame for restore, and moves it to the
// action's rectangle on its display (or onto the next or previous display).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Core/SnapAction.h"
#include "Platform/Accessibility.h"
#include "Platform/Error.h"
#include "Platform/Geometry.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

class SnapApplier {
public:
    SnapApplier() = delete;

    class Failure : public Error {
    public:
        enum Case { noFocusedWindow, displayUnavailable, notMovable };
        explicit Failure(Case c);
        Case failureCase;
    };

    // What one snap leaves for the next: the in-flight flag and, per window, the frame it
    // had before its latest snap other than restore. One per installed platform.
    struct State {
        bool isSnapping = false;
        // Global coordinates, keyed by the window's element.
        std::map<AXElement, Rect> preSnapFrames;
        // A window's latest move to another display: the frame it left and the one it took
        // there. Moved back untouched, it takes the frame it left, not one scaled twice
        // (a terminal rounds each scaled size down to whole character cells). Until the
        // window is still there, the frame it takes is not known and it counts as
        // untouched; any other snap of the window ends the entry.
        struct DisplayMove {
            Rect left;
            Rect landed;
            bool settling = true;
            // Tells this move from a later one of the same window.
            std::uint64_t number = 0;
        };
        std::map<AXElement, DisplayMove> displayMoves;
        std::uint64_t displayMovesMade = 0;
    };
    static State& state();

    // Returns normally when the snap was applied, dropped, skipped or had nothing to
    // restore; throws Failure otherwise (after the toast, when one is due).
    static Task<void> apply(SnapAction action);

    static inline const std::string noWindowToast = "No window to snap \u2014 click a window first";
    static inline const std::string nothingToRestoreToast = "Nothing to restore yet \u2014 snap a window first";
    static constexpr double toastDuration = 1.9;

private:
    // Gives the window moved to another display, whose frame there is yet to be read.
    static Task<std::optional<AXElement>> run(SnapAction action);
    static std::optional<AXElement> focusedWindow();
    static std::optional<AXElement> axWindow(AXElement element, const std::string& attribute);
    static std::optional<Rect> axGlobalFrame(AXElement window);
    static Rect clampToConnectedDisplay(const Rect& frame);
    // True when the window moved and its entry in `displayMoves` waits for its frame there.
    static Task<bool> applyCrossDisplay(SnapAction action, AXElement window, Rect currentGlobal);
    static Task<void> recordOnceStill(AXElement window);
    static void forgetClosedWindows();
    static std::string applicationName(std::int32_t pid);
};

}  // namespace kestr
