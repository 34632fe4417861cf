// Event monitors of an X11 session. Global monitors hear the XInput2 raw events of the
// root window (pointer motion, buttons, keys), which the server reports whichever
// client gets them; each is completed with the pointer's place and the modifier keys
// from a pointer query. Events aimed at our own windows are left to the local monitors,
// which hear them through the user interface's own event handling. Without XInput2 a
// global monitor is refused, as the service's contract allows, and callers fall back.
// A move no device made (a warp) sends no raw event: it is heard before the next press,
// release or key, and while a button is held the pointer is asked for it every frame.
// A press on a window the window manager is about to activate is heard once it has (or
// after a short wait), with everything that followed it in order: the desktop answers a
// click before anybody hears of it, so a monitor that asks for the focused window at a
// press finds the window pressed.
#pragma once

#include <xcb/xcb.h>

#include <map>
#include <optional>
#include <vector>

#include "Platform/Runtime/EventMonitorList.h"
#include "Platform/Runtime/MainActor.h"
#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11Displays.h"
#include "Platform/X11/X11KeyTable.h"
#include "Platform/X11/X11Pointer.h"
#include "Platform/X11/X11TopmostWindow.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

class X11EventMonitors : public EventMonitors {
public:
    X11EventMonitors(X11Connection& connection, X11WindowModel& model, X11Displays& displays, X11Pointer& pointer,
                     X11KeyTable& keys, MainActor& actor, std::int32_t ownPid);
    ~X11EventMonitors() override;
    X11EventMonitors(const X11EventMonitors&) = delete;
    X11EventMonitors& operator=(const X11EventMonitors&) = delete;

    std::optional<MonitorToken> addGlobalMonitor(EventMask mask, std::function<void(const Event&)> handler) override;
    std::optional<MonitorToken> addLocalMonitor(EventMask mask,
                                                std::function<std::optional<Event>(const Event&)> handler) override;
    void removeMonitor(MonitorToken token) override;
    std::optional<Event> deliverToLocalMonitors(const Event& event) override { return monitors_.deliverLocal(event); }
    std::uint64_t modifierFlags() override;
    std::uint32_t pressedMouseButtons() override;

    // Whether the server has XInput2 (raw events need 2.0).
    bool available() const { return xiOpcode_ != 0; }

private:
    using Pointer = X11Pointer::State;

    void handle(const xcb_generic_event_t& event);
    void handleRaw(std::uint16_t type, std::uint32_t detail);
    void selectRawEvents(bool on);
    // The buttons given are taken as up (clear) or down (set): the press or release
    // that followed the motion may be in the state already.
    void deliverMotion(std::uint16_t clearButtons = 0, std::uint16_t setButtons = 0);
    // Asks where the pointer is while a button is held, and delivers a move no raw event
    // told of.
    void followWarps();
    // Whether the pointer stands elsewhere than at the last event heard.
    bool movedUnheard(const Pointer& now) const;
    Event eventAt(EventType type, const Pointer& pointer) const;
    bool pointerOnOwnWindow(const Pointer& pointer);
    bool keyboardWithOwnWindow() const;
    // The topmost window a person arranges at that root position on this desktop.
    const X11Client* clientAt(std::int16_t x, std::int16_t y);
    // Global monitors hear the event now, or after the press they wait for.
    void deliver(const Event& event);
    void holdUntilActive(xcb_window_t window);
    void releaseHeld();

    X11Connection& x_;
    X11WindowModel& model_;
    X11Displays& displays_;
    X11Pointer& pointer_;
    MainActor& actor_;
    std::int32_t ownPid_;
    std::uint8_t xiOpcode_ = 0;
    bool selected_ = false;
    bool motionPending_ = false;
    // Where the pointer was at the last event heard.
    std::optional<Pointer> heardAt_;
    std::shared_ptr<MainActor::RepeatingTimer> warpWatch_;
    // Set while events wait for the window manager to activate `holdFor_`.
    std::optional<xcb_window_t> holdFor_;
    std::vector<Event> held_;
    TimerID holdDeadline_ = 0;
    std::shared_ptr<X11EventMonitors*> self_;
    X11KeyTable& keys_;
    // Whether a top-level window is one of ours; never changes while it exists.
    std::map<xcb_window_t, bool> ownWindows_;
    X11TopmostWindow shownClients_;
    EventMonitorList monitors_;
};

}  // namespace kestr
