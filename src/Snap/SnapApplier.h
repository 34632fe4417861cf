// Snaps the focused window of the frontmost application: finds it, brings it out of
// the Dock or full screen, remembers its frame for restore, and moves it to the
// action's rectangle on its display (or onto the next or previous display).
#pragma once

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
        // (a terminal rounds each scaled size down to whole character cells).
        struct DisplayMove {
            Rect left;
            Rect landed;
        };
        std::map<AXElement, DisplayMove> displayMoves;
    };
    static State& state();

    // Returns normally when the snap was applied, dropped, skipped or had nothing to
    // restore; throws Failure otherwise (after the toast, when one is due).
    static Task<void> apply(SnapAction action);

    static inline const std::string noWindowToast = "No window to snap \u2014 click a window first";
    static inline const std::string nothingToRestoreToast = "Nothing to restore yet \u2014 snap a window first";
    static constexpr double toastDuration = 1.9;

private:
    static Task<void> run(SnapAction action);
    static std::optional<AXElement> focusedWindow();
    static std::optional<AXElement> axWindow(AXElement element, const std::string& attribute);
    static std::optional<Rect> axGlobalFrame(AXElement window);
    static Rect clampToConnectedDisplay(const Rect& frame);
    static Task<void> applyCrossDisplay(SnapAction action, AXElement window, Rect currentGlobal);
    static void forgetClosedWindows();
    static std::string applicationName(std::int32_t pid);
};

}  // namespace kestr
