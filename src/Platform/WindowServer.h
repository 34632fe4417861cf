// The window server's list of windows: one dictionary per window, with the system's
// own keys ("kCGWindowOwnerPID", "kCGWindowBounds", "kCGWindowLayer", ...).
#pragma once

#include <cstdint>
#include <optional>

#include "Platform/PropertyList.h"

namespace kestr {

namespace WindowListOption {
constexpr std::uint32_t all = 0;
constexpr std::uint32_t onScreenOnly = 1 << 0;
constexpr std::uint32_t excludeDesktopElements = 1 << 4;
}  // namespace WindowListOption

class WindowServer {
public:
    virtual ~WindowServer() = default;
    // Front to back. "kCGWindowBounds" is a dictionary with "X", "Y", "Width", "Height".
    virtual std::optional<PlistArray> copyWindowList(std::uint32_t options, std::uint32_t relativeToWindow) = 0;
};

}  // namespace kestr
