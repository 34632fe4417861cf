// The look the user chose for the system: light or dark, and the accent colour.
#pragma once

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
};

}  // namespace kestr
