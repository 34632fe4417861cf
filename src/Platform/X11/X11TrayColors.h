// The colours of the XEmbed system tray: its manager owns the selection
// _NET_SYSTEM_TRAY_S<screen> and may name, in _NET_SYSTEM_TRAY_COLORS on its window,
// the colours its icons should be drawn in (foreground, error, warning, success; 16-bit
// red, green and blue each). Asked when the icon is drawn, which is seldom.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Platform/Appearance.h"
#include "Platform/X11/X11Connection.h"

namespace kestr {

class X11TrayColors {
public:
    explicit X11TrayColors(X11Connection& connection) : x_(connection) {}

    // The tray's foreground; none without a tray, or from one that names no colours.
    std::optional<RgbColor> foreground();
    // The foreground out of the property's items; none when too few.
    static std::optional<RgbColor> foregroundFrom(const std::vector<std::uint32_t>& items);

private:
    X11Connection& x_;
};

}  // namespace kestr
