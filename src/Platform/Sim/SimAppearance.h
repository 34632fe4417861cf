// The appearance of the simulated desktop: light, with the blue accent, unless a test
// or scenario says otherwise.
#pragma once

#include "Platform/Appearance.h"

namespace kestr {

class SimAppearance : public Appearance {
public:
    bool isDark() override { return dark; }
    RgbColor accentColor() override { return accent; }
    std::optional<RgbColor> panelIconColor() override {
        return panelIconUnknown ? std::nullopt : Appearance::panelIconColor();
    }

    bool dark = false;
    RgbColor accent{0.0, 0.478, 1.0};
    // A panel that does not say how it draws (a tray without colours of its own).
    bool panelIconUnknown = false;
};

}  // namespace kestr
