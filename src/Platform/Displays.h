// The display service: screens as the window system lists them (bottom-left-origin
// frames), display bounds in global top-left coordinates, display UUIDs, the pointer,
// and synthetic mouse events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/EventType.h"
#include "Platform/Geometry.h"
#include "Platform/PropertyList.h"

namespace kestr {

using DisplayID = std::uint32_t;

// One screen object. The display identifier, when there is one, is in the device
// description under "NSScreenNumber". Frames are in bottom-left-origin screen space.
struct Screen {
    PlistDict deviceDescription;
    Rect frame;
    Rect visibleFrame;
    // The height at the top that a camera housing hides (0 on a screen without one).
    double safeAreaTopInset = 0;
    friend bool operator==(const Screen&, const Screen&) = default;
};

class Displays {
public:
    virtual ~Displays() = default;

    // All screens in the system's order.
    virtual std::vector<Screen> screens() = 0;
    // The screen holding the key window, else the first; none without screens.
    virtual std::optional<Screen> mainScreen() = 0;

    // Global (top-left origin) bounds; a zero rectangle for an unknown display.
    virtual Rect displayBounds(DisplayID display) = 0;
    virtual DisplayID mainDisplayID() = 0;
    // The display's UUID in canonical upper-case form, when the system has one.
    virtual std::optional<std::string> displayUUIDString(DisplayID display) = 0;
    // Parses a UUID string and finds the connected display; 0 when the string does not
    // parse or no display has that UUID.
    virtual DisplayID displayIDFromUUIDString(const std::string& uuid) = 0;

    // The pointer location in bottom-left-origin screen space.
    virtual Point mouseLocation() = 0;
    // Moves the pointer to a global point without posting an event.
    virtual void warpMouseCursor(Point global) = 0;
    // Whether a synthetic event source can be created.
    virtual bool createEventSource() = 0;
    // Posts one synthetic mouse event at a global point.
    virtual void postMouseEvent(EventType type, Point global) = 0;
};

}  // namespace kestr
