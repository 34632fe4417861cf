// A PNG file of an image given as 32-bit ARGB pixels (the layout of _NET_WM_ICON), so a
// window's own icon reaches the user interface as the same bytes an icon file gives.
// Uncompressed: icons are small and this keeps the platform layer free of image libraries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestr {

class PngWriter {
public:
    PngWriter() = delete;
    // `argb` holds width × height pixels, row by row.
    static std::string encode(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& argb);
};

}  // namespace kestr
