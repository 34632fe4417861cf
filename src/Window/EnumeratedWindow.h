// One window of an ordinary application as a plain record, as the window enumeration
// reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Platform/Geometry.h"
#include "Window/WindowLimits.h"

namespace kestr {

struct EnumeratedWindow {
    std::string appName;
    std::string bundleID;
    std::int32_t pid = 0;
    std::string title;
    // Global coordinates.
    Point position;
    Size size;
    bool isMinimized = false;
    // The display that contains `position`, when it has a UUID.
    std::optional<std::string> displayUUID;
    // `position` relative to that display; none when no display contains it.
    std::optional<Point> displayLocalPosition;
    std::optional<std::string> role;
    std::optional<std::string> subrole;
    WindowLimits limits;

    friend bool operator==(const EnumeratedWindow&, const EnumeratedWindow&) = default;
};

}  // namespace kestr
