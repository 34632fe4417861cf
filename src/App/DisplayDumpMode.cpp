// --dump-displays and --test-new-space.
#include "App/DiagnosticModes.h"
#include "Core/WholeNumber.h"
#include "Platform/Platform.h"
#include "Space/SpaceController.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

std::string boundsText(const Rect& r) {
    return "(" + wholeNumberText(r.x()) + "," + wholeNumberText(r.y()) + " " + wholeNumberText(r.width()) + "x" +
           wholeNumberText(r.height()) + ")";
}

}  // namespace

Task<int> DiagnosticModes::displayDump(ConsoleOutput& output) {
    Displays& displays = platform().displays();
    const DisplayID main = displays.mainDisplayID();
    output.out("=== Displays (CGMainDisplayID=" + std::to_string(main) + ") ===\n");
    for (const Screen& screen : displays.screens()) {
        const auto id = DisplayManager::displayID(screen);
        if (!id) {
            output.out("  (NSScreen with no displayID)\n");
            continue;
        }
        const auto uuid = displays.displayUUIDString(*id);
        output.out("  uuid=" + (uuid ? uuid->substr(0, 8) : std::string("?")) + " id=" + std::to_string(*id) +
                   (*id == main ? " [MAIN]" : "") + "\n");
        output.out("      axBounds   =" + boundsText(displays.displayBounds(*id)) + "\n");
        output.out("      visibleLocal=" + boundsText(DisplayManager::visibleAreaLocal(*id)) + "\n");
    }
    co_return 0;
}

Task<int> DiagnosticModes::testNewSpace(ConsoleOutput& output) {
    try {
        co_await SpaceController::createNewSpaceAndSwitch();
        output.out("Returned without throwing. Check whether a new Space was created.\n");
    } catch (const std::exception& e) {
        output.err(std::string("FAILED: ") + e.what() + "\n");
    }
    co_return 0;
}

}  // namespace kestr
