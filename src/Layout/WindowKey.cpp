#include "Layout/WindowKey.h"

#include <cmath>
#include <functional>

#include "Platform/Platform.h"

namespace kestr {

namespace {

std::optional<std::int64_t> roundedPoint(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = std::round(v);
    // Beyond this a double no longer converts safely; no real window is that far out.
    if (std::fabs(r) >= 9.0e18) return std::nullopt;
    return static_cast<std::int64_t>(r);
}

// A process number as its 32-bit integer value.
std::optional<std::int32_t> processID(const PlistValue& v) {
    if (auto i = v.get<std::int64_t>()) return static_cast<std::int32_t>(*i);
    if (auto d = v.get<double>()) {
        if (!std::isfinite(*d) || std::fabs(*d) >= 2147483648.0) return std::nullopt;
        return static_cast<std::int32_t>(*d);
    }
    return std::nullopt;
}

std::optional<double> number(const PlistDict& dict, const char* key) {
    auto it = dict.find(key);
    if (it == dict.end()) return std::nullopt;
    return it->second.number();
}

}  // namespace

std::optional<WindowKey> WindowKey::make(std::int32_t pid, Point position, Size size) {
    auto x = roundedPoint(position.x);
    auto y = roundedPoint(position.y);
    auto w = roundedPoint(size.width);
    auto h = roundedPoint(size.height);
    if (!x || !y || !w || !h) return std::nullopt;
    return WindowKey{pid, *x, *y, *w, *h};
}

std::size_t WindowKeyHash::operator()(const WindowKey& k) const {
    std::size_t seed = std::hash<std::int32_t>()(k.pid);
    for (std::int64_t v : {k.x, k.y, k.w, k.h}) {
        seed ^= std::hash<std::int64_t>()(v) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    }
    return seed;
}

WindowKeySet currentSpaceWindowKeys() {
    WindowKeySet keys;
    auto list = platform().windowServer().copyWindowList(
        WindowListOption::onScreenOnly | WindowListOption::excludeDesktopElements, 0);
    if (!list) return keys;
    for (const PlistValue& entry : *list) {
        const PlistDict* window = entry.get<PlistDict>();
        if (!window) continue;
        auto ownerIt = window->find("kCGWindowOwnerPID");
        auto boundsIt = window->find("kCGWindowBounds");
        if (ownerIt == window->end() || boundsIt == window->end()) continue;
        auto owner = processID(ownerIt->second);
        const PlistDict* bounds = boundsIt->second.get<PlistDict>();
        if (!owner || !bounds) continue;
        auto x = number(*bounds, "X");
        auto y = number(*bounds, "Y");
        auto w = number(*bounds, "Width");
        auto h = number(*bounds, "Height");
        if (!x || !y || !w || !h) continue;
        // The rectangle's minimum corner, whichever way its size points.
        const Rect r(*x, *y, *w, *h);
        auto key = WindowKey::make(*owner, Point{r.minX(), r.minY()}, Size{std::fabs(*w), std::fabs(*h)});
        if (key) keys.insert(*key);
    }
    return keys;
}

}  // namespace kestr
