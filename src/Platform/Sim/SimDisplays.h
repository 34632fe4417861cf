// Displays of the simulated desktop: screens derived from the world's displays, the
// pointer, and the synthetic mouse events that were posted.
#pragma once

#include <vector>

#include "Platform/Displays.h"
#include "Platform/Runtime/MainActor.h"
#include "Platform/Sim/SimWorld.h"

namespace kestr {

class SimDisplays : public Displays {
public:
    SimDisplays(SimWorld& world, const MainActor& actor) : world_(world), actor_(actor) {}

    std::vector<Screen> screens() override;
    std::optional<Screen> mainScreen() override;
    Rect displayBounds(DisplayID display) override;
    DisplayID mainDisplayID() override { return world_.mainDisplayID(); }
    std::optional<std::string> displayUUIDString(DisplayID display) override;
    DisplayID displayIDFromUUIDString(const std::string& uuid) override;
    Point mouseLocation() override;
    void warpMouseCursor(Point global) override;
    bool createEventSource() override { return !eventSourceFails; }
    void postMouseEvent(EventType type, Point global) override;

    // The screen object of one display, in AppKit coordinates.
    Screen screen(const SimDisplay& display) const;
    // A global point in AppKit coordinates.
    Point toAppKit(Point global) const { return Point{global.x, world_.mainHeight() - global.y}; }

    struct PostedEvent {
        EventType type;
        Point global;
        double time;
        friend bool operator==(const PostedEvent&, const PostedEvent&) = default;
    };
    const std::vector<PostedEvent>& postedEvents() const { return posted_; }
    // Every warp, in order, in global coordinates.
    const std::vector<Point>& warps() const { return warps_; }
    bool eventSourceFails = false;

private:
    SimWorld& world_;
    const MainActor& actor_;
    std::vector<PostedEvent> posted_;
    std::vector<Point> warps_;
};

}  // namespace kestr
