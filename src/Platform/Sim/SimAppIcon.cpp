#include "Platform/Sim/SimAppIcon.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "Platform/Posix/PosixFiles.h"

namespace kestr {

namespace {

// A colour picked by the bundle identifier's hash: any hue, saturated and mid-dark so
// the white letter stays legible.
std::string colourFor(const std::string& bundleID) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : bundleID) hash = (hash ^ c) * 16777619u;
    const double hue = static_cast<double>(hash % 360);
    const double s = 0.65, v = 0.78;
    const double c = v * s;
    const double x = c * (1 - std::fabs(std::fmod(hue / 60.0, 2.0) - 1));
    const double m = v - c;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue / 60.0)) {
        case 0:
            r = c, g = x;
            break;
        case 1:
            r = x, g = c;
            break;
        case 2:
            g = c, b = x;
            break;
        case 3:
            g = x, b = c;
            break;
        case 4:
            r = x, b = c;
            break;
        default:
            r = c, b = x;
            break;
    }
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<int>(std::lround((r + m) * 255)),
                  static_cast<int>(std::lround((g + m) * 255)), static_cast<int>(std::lround((b + m) * 255)));
    return text;
}

// The first character of the name (a whole UTF-8 sequence), escaped for XML.
std::string initialOf(const std::string& name) {
    if (name.empty()) return "?";
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(name[0]);
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    const std::string first = name.substr(0, length);
    if (first == "<") return "&lt;";
    if (first == ">") return "&gt;";
    if (first == "&") return "&amp;";
    return first;
}

}  // namespace

std::string SimAppIcon::drawn(const SimApplication& app) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">"
           "<rect x=\"4\" y=\"4\" width=\"56\" height=\"56\" rx=\"13\" fill=\"" +
           colourFor(app.bundleID) +
           "\"/>"
           "<text x=\"32\" y=\"44\" font-family=\"sans-serif\" font-size=\"32\" font-weight=\"bold\" "
           "text-anchor=\"middle\" fill=\"#FFFFFF\">" +
           initialOf(app.name) + "</text></svg>";
}

std::optional<EncodedImage> SimAppIcon::icon(const SimApplication& app) {
    if (!app.iconFile) return EncodedImage{drawn(app)};
    try {
        return EncodedImage{PosixFiles(UserFolders{}).read(*app.iconFile)};
    } catch (const FileError&) {
        return std::nullopt;
    }
}

}  // namespace kestr
