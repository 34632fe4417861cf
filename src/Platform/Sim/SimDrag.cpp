#include "Platform/Sim/SimDrag.h"

#include "Platform/Sim/SimDesktop.h"

namespace kestr {

SimDrag::SimDrag(SimDesktop& desktop, AXElement window) : desktop_(desktop), window_(window) {
    SimWorld& world = desktop_.world();
    SimProcess* owner = world.owner(window);
    if (!owner) return;
    world.frontmostPid = owner->pid;
    owner->focusedWindow = window;
    owner->mainWindow = window;
    std::vector<AXElement> stacking(world.stacking().begin(), world.stacking().end());
    std::erase(stacking, window);
    stacking.insert(stacking.begin(), window);
    world.setStacking(stacking);
}

void SimDrag::post(EventType type, Point global, std::uint64_t flags) {
    Event event;
    event.type = type;
    event.location = Point{global.x, desktop_.world().mainHeight() - global.y};
    event.modifierFlags = flags;
    desktop_.simEventMonitors().post(event);
    desktop_.virtualTime().advance(eventInterval);
}

SimDrag& SimDrag::hold(std::uint64_t modifiers) {
    modifiers_ = modifiers;
    post(EventType::flagsChanged, desktop_.world().pointer, modifiers);
    return *this;
}

SimDrag& SimDrag::pressAt(Point global, bool byCorner) {
    pointer_ = global;
    byCorner_ = byCorner;
    post(EventType::leftMouseDown, global, modifiers_);
    return *this;
}

SimDrag& SimDrag::moveTo(Point global) { return moveBy(global.x - pointer_.x, global.y - pointer_.y); }

SimDrag& SimDrag::moveBy(double dx, double dy) {
    pointer_ = Point{pointer_.x + dx, pointer_.y + dy};
    if (SimWindow* w = desktop_.world().window(window_)) {
        if (byCorner_) {
            w->position = Point{w->position.x + dx, w->position.y + dy};
            desktop_.world().resize(*w, Size{w->size.width - dx, w->size.height - dy});
        } else {
            w->position = Point{w->position.x + dx, w->position.y + dy};
        }
    }
    post(EventType::leftMouseDragged, pointer_, modifiers_);
    return *this;
}

SimDrag& SimDrag::release() {
    post(EventType::leftMouseUp, pointer_, modifiers_);
    return *this;
}

SimDrag& SimDrag::along(const std::vector<Point>& path) {
    if (path.empty()) return *this;
    pressAt(path.front());
    for (std::size_t i = 1; i < path.size(); ++i) moveTo(path[i]);
    return release();
}

}  // namespace kestr
