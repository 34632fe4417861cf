// Displays of an X screen: the RandR monitors, the primary one first, each known by its
// name atom while connected and by a UUID made from its EDID and connector name. The
// visible frame leaves out what docks reserve. Monitors are read again when RandR
// reports a change, never polled.
#pragma once

#include <xcb/randr.h>

#include <optional>
#include <vector>

#include "Platform/Displays.h"
#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11Pointer.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

struct X11Monitor {
    DisplayID id = 0;  // the monitor's name atom
    std::string name;
    Rect bounds;  // root coordinates
    bool primary = false;
    std::string uuid;
};

class X11Displays : public Displays {
public:
    X11Displays(X11Connection& connection, X11WindowModel& model, X11Pointer& pointer);

    std::vector<Screen> screens() override;
    std::optional<Screen> mainScreen() override;
    Rect displayBounds(DisplayID display) override;
    DisplayID mainDisplayID() override;
    std::optional<std::string> displayUUIDString(DisplayID display) override;
    DisplayID displayIDFromUUIDString(const std::string& uuid) override;
    Point mouseLocation() override;
    void warpMouseCursor(Point global) override;
    bool createEventSource() override;
    void postMouseEvent(EventType type, Point global) override;

    const std::vector<X11Monitor>& monitors() const { return monitors_; }
    // Called after the monitors changed.
    void addChangeObserver(std::function<void()> observer) { observers_.push_back(std::move(observer)); }
    // Reads the monitors again.
    void refresh();

    // The room for windows on the display as the docks leave it to `own`: its visible area
    // without the strip that window keeps itself. None for an unknown display.
    std::optional<Rect> roomBeside(DisplayID display, xcb_window_t own) const;

    // A name-based UUID (version 8) from any text, in canonical upper-case form.
    static std::string uuidFromName(const std::string& name);

private:
    // The monitor of the display; none for an unknown display.
    const X11Monitor* monitorOf(DisplayID display) const;
    std::string identityOf(const xcb_randr_monitor_info_t& monitor, const std::string& name);
    // `leftOut`: a window whose strip is not counted.
    Rect visibleArea(const X11Monitor& monitor, xcb_window_t leftOut = XCB_NONE) const;
    double flipHeight() const;

    X11Connection& x_;
    X11WindowModel& model_;
    X11Pointer& pointer_;
    bool randr_ = false;
    std::vector<X11Monitor> monitors_;
    Size rootSize_;
    std::vector<std::function<void()>> observers_;
};

}  // namespace kestr
