// One window of the window server's list, read into typed fields. A field the
// dictionary lacks, or holds as the wrong kind of value, is none.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/PropertyList.h"

namespace kestr {

struct WindowListEntry {
    // Integers only.
    std::optional<std::int64_t> layer;
    std::optional<std::int64_t> ownerPID;
    // Any number, taken as a 32-bit unsigned value.
    std::optional<std::uint32_t> number;
    std::optional<Rect> bounds;

    static WindowListEntry read(const PlistDict& window);
    // The on-screen windows, front to back; none when the list cannot be read or is not
    // a list of dictionaries.
    static std::optional<std::vector<WindowListEntry>> onScreen();
    // The on-screen window of that number; none when it does not show.
    static std::optional<WindowListEntry> onScreen(std::uint32_t number);
    // The frontmost on-screen window of that layer whose bounds hold the global point.
    static std::optional<WindowListEntry> frontmostAt(Point global, std::int64_t layer);
};

}  // namespace kestr
