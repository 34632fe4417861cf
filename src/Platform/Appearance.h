// The look the user chose for the system: light or dark, and the accent colour.
#pragma once

#include <optional>

namespace kestr {

// sRGB components from 0 to 1.
struct RgbColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    friend bool operator==(const RgbColor&, const RgbColor&) = default;
};

class Appearance {
public:
    virtual ~Appearance() = default;
    virtual bool isDark() = 0;
    virtual RgbColor accentColor() = 0;
    // The colour the panel holding the status item draws its own icons in, where the
    // desktop tells it; none where it does not, and the item must read on any panel.
    // A menu bar of known appearance has its label colour.
    virtual std::optional<RgbColor> panelIconColor() { return isDark() ? RgbColor{1, 1, 1} : RgbColor{0, 0, 0}; }
};

}  // namespace kestr
