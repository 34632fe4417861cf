#include "Platform/X11/X11TrayColors.h"

#include <algorithm>
#include <string>

namespace kestr {

std::optional<RgbColor> X11TrayColors::foreground() {
    const xcb_atom_t selection = x_.atom("_NET_SYSTEM_TRAY_S" + std::to_string(x_.screenNumber()));
    auto owner = x_.reply<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner_reply,
                                                           xcb_get_selection_owner(x_.raw(), selection));
    if (!owner || owner->owner == XCB_NONE) return std::nullopt;
    const auto items = x_.cardinals(owner->owner, x_.atom("_NET_SYSTEM_TRAY_COLORS"));
    if (!items) return std::nullopt;
    return foregroundFrom(*items);
}

std::optional<RgbColor> X11TrayColors::foregroundFrom(const std::vector<std::uint32_t>& items) {
    if (items.size() < 3) return std::nullopt;
    const auto component = [](std::uint32_t value) { return double(std::min<std::uint32_t>(value, 0xFFFF)) / 0xFFFF; };
    return RgbColor{component(items[0]), component(items[1]), component(items[2])};
}

}  // namespace kestr
