// The window server's list of windows: one dictionary per window, with the system's
// own keys ("kCGWindowOwnerPID", "kCGWindowBounds", "kCGWindowLayer", ...).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "Platform/Geometry.h"
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
    // One window of the list, found without copying the list (the options as above):
    // none when no window has that number, or the window server cannot be reached.
    virtual std::optional<PlistDict> copyWindowInfo(std::uint32_t number, std::uint32_t options) = 0;
    // The frontmost on-screen window of that layer whose bounds hold the global point,
    // found without copying the list: none where there is none.
    virtual std::optional<PlistDict> copyWindowAt(Point global, std::int64_t layer) = 0;
    // Called after which window shows where may have changed: a window came or went, moved,
    // was raised, minimised or restored, or another desktop shows. Changes that come
    // together may make one call.
    virtual void addChangeObserver(std::function<void()> observer) = 0;
};

}  // namespace kestr
