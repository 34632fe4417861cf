// Applications' icons as images: the workspace's icon of the application installed
// for a bundle identifier, decoded once and kept for the life of the process (also
// the answer that there is none).
#pragma once

#include <QIcon>
#include <QImage>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Workspace.h"

namespace kestr {

class AppIcons {
public:
    // Pixels on each side of a decoded icon.
    static constexpr int pixels = 128;

    // None when no application has that identifier or its icon cannot be decoded.
    static std::optional<QImage> icon(const std::string& bundleID);
    // A PNG, SVG or other image file's bytes as a square image; null when they do not
    // decode.
    static QImage decode(const EncodedImage& image, int side);
    // The icons of the applications side by side, 44 points square and 10 apart, in
    // order, leaving out those without one; a null image when none has one.
    static QImage strip(const std::vector<std::string>& bundleIDs, double scale = 2);
    // kestr's own icon, the one its desktop entry names, drawn at the sizes task lists use.
    static QIcon own();
};

}  // namespace kestr
