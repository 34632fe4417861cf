#include "Space/SpaceController.h"

#include <cstdint>
#include <string>
#include <utility>

#include "Core/NumberText.h"
#include "Platform/OpenApplication.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

constexpr const char* missionControlBundleID = "com.apple.exposelauncher";

void log(const std::string& text) { platform().log().line("kestr/SpaceController: " + text); }

const char* describe(SpaceController::Failure::Kind kind) {
    switch (kind) {
        case SpaceController::Failure::Kind::noPrimaryScreen:
            return "No primary display found";
        case SpaceController::Failure::Kind::eventSourceUnavailable:
            return "Could not create CGEventSource";
        case SpaceController::Failure::Kind::notAdded:
            return "The desktop did not add a workspace";
    }
    return "";
}

}  // namespace

SpaceController::Failure::Failure(Kind k) : Error(describe(k)), kind(k) {}

std::optional<Screen> SpaceController::primaryScreen() {
    Displays& displays = platform().displays();
    const auto screens = displays.screens();
    for (const Screen& screen : screens) {
        if (screen.frame.origin.x == 0 && screen.frame.origin.y == 0) return screen;
    }
    if (auto main = displays.mainScreen()) return main;
    if (!screens.empty()) return screens.front();
    return std::nullopt;
}

Task<void> SpaceController::openMissionControl() {
    Workspace& workspace = platform().workspace();
    const auto url = workspace.urlForApplication(missionControlBundleID);
    if (!url) {
        log(std::string("bundle ") + missionControlBundleID + " not found");
        co_return;
    }
    OpenConfiguration configuration;
    configuration.activates = true;
    // An error is of no consequence: the sequence goes on either way.
    co_await openApplication(*url, configuration);
}

Task<void> SpaceController::clickMouse(Point at) {
    Displays& displays = platform().displays();
    displays.postMouseEvent(EventType::leftMouseDown, at);
    co_await sleepUnlessCancelled(0.04);
    displays.postMouseEvent(EventType::leftMouseUp, at);
}

Task<void> SpaceController::createNewSpaceAndSwitch() {
    if (!platform().capabilities().syntheticInputToDesktop) {
        Spaces& spaces = platform().spaces();
        const int before = spaces.count();
        if (!co_await spaces.createAndSwitch()) {
            log("workspace not added");
            throw Failure(Failure::Kind::notAdded);
        }
        log("workspace " + std::to_string(spaces.current() + 1) + " of " + std::to_string(spaces.count()) +
            " shown (was " + std::to_string(before) + ")");
        co_return;
    }
    Displays& displays = platform().displays();
    if (!displays.createEventSource()) {
        log("eventSource unavailable");
        throw Failure(Failure::Kind::eventSourceUnavailable);
    }
    const auto screen = primaryScreen();
    if (!screen) {
        log("no primary screen");
        throw Failure(Failure::Kind::noPrimaryScreen);
    }
    const Rect frame = screen->frame;
    log("primary frame=(" + floatText(frame.x()) + ", " + floatText(frame.y()) + ", " + floatText(frame.width()) +
        ", " + floatText(frame.height()) + ")");

    const Point remembered = displays.mouseLocation();
    const double h = frame.height();

    co_await openMissionControl();
    co_await sleepUnlessCancelled(0.55);
    log("MC launched + opened delay elapsed");

    displays.warpMouseCursor(Point{frame.midX(), 1});
    co_await sleepUnlessCancelled(0.3);
    log("cursor parked at top to reveal bar");

    const Point button{frame.maxX() - 36, h - (frame.maxY() - 30)};
    displays.warpMouseCursor(button);
    co_await sleepUnlessCancelled(0.2);
    co_await clickMouse(button);
    co_await sleepUnlessCancelled(0.55);
    log("clicked + at (" + floatText(button.x) + ", " + floatText(button.y) + ")");

    displays.warpMouseCursor(Point{remembered.x, h - remembered.y});
}

}  // namespace kestr
