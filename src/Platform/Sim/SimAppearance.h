// The appearance of the simulated desktop: light, with the blue accent, unless a test
// or scenario says otherwise.
#pragma once

#include "Platform/Appearance.h"

namespace kestr {

class SimAppearance : public Appearance {
public:
    bool isDark() override { return dark; }
    RgbColor accentColor() override { return accent; }

    bool dark = false;
    RgbColor accent{0.0, 0.478, 1.0};
};

}  // namespace kestr
