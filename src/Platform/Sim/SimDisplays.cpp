#include "Platform/Sim/SimDisplays.h"

#include "Platform/AXAttributes.h"
#include "Platform/Sim/UuidText.h"

namespace kestr {

Screen SimDisplays::screen(const SimDisplay& display) const {
    Screen s;
    if (display.id) s.deviceDescription[ax::screenNumberKey] = PlistValue(std::int64_t{*display.id});
    const Rect& b = display.bounds;
    const Insets& in = display.insets;
    const double bottom = world_.mainHeight() - (b.y() + b.height());
    s.frame = Rect(b.x(), bottom, b.width(), b.height());
    s.visibleFrame =
        Rect(b.x() + in.left, bottom + in.bottom, b.width() - in.left - in.right, b.height() - in.top - in.bottom);
    s.safeAreaTopInset = display.safeAreaTop;
    return s;
}

std::vector<Screen> SimDisplays::screens() {
    std::vector<Screen> out;
    for (const auto& d : world_.displays) out.push_back(screen(d));
    return out;
}

std::optional<Screen> SimDisplays::mainScreen() {
    if (world_.displays.empty()) return std::nullopt;
    std::size_t index = 0;
    if (world_.keyScreen && *world_.keyScreen < world_.displays.size()) index = *world_.keyScreen;
    return screen(world_.displays[index]);
}

Rect SimDisplays::displayBounds(DisplayID display) {
    const SimDisplay* d = world_.display(display);
    return d ? d->bounds : Rect();
}

std::optional<std::string> SimDisplays::displayUUIDString(DisplayID display) {
    const SimDisplay* d = world_.display(display);
    if (!d || !d->uuid) return std::nullopt;
    return canonicalUuid(*d->uuid);
}

DisplayID SimDisplays::displayIDFromUUIDString(const std::string& uuid) {
    const auto wanted = canonicalUuid(uuid);
    if (!wanted) return 0;
    for (const auto& d : world_.displays) {
        if (d.id && d.uuid && canonicalUuid(*d.uuid) == wanted) return *d.id;
    }
    return 0;
}

Point SimDisplays::mouseLocation() { return toAppKit(world_.pointer); }

void SimDisplays::warpMouseCursor(Point global) {
    warps_.push_back(global);
    world_.pointer = global;
}

void SimDisplays::postMouseEvent(EventType type, Point global) {
    posted_.push_back({type, global, actor_.now()});
    world_.pointer = global;
}

}  // namespace kestr
