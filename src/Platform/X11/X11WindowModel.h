// The window manager's client windows as kestr sees them: stacking, frames, titles,
// states, owners, the active window and the desktops. It is loaded once and then kept
// up to date from X events, so a read answers from memory and costs no round trip (but
// the first one of the active window after it changed).
#pragma once

#include <coroutine>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <xcb/res.h>

#include "Platform/Runtime/MainActor.h"
#include "Platform/Runtime/Task.h"
#include "Platform/X11/X11Client.h"
#include "Platform/X11/X11Frames.h"
#include "Platform/X11/X11Owners.h"
#include "Platform/X11/X11Connection.h"

namespace kestr {

class X11WindowModel {
public:
    X11WindowModel(X11Connection& connection, MainActor& actor);
    ~X11WindowModel();
    X11WindowModel(const X11WindowModel&) = delete;
    X11WindowModel& operator=(const X11WindowModel&) = delete;

    const X11Client* client(xcb_window_t window) const;
    // Front to back.
    const std::vector<xcb_window_t>& stacking() const { return frontToBack_; }
    // The client windows that reserve a strip of the screen (docks, panels): the few the
    // visible area depends on, kept apart so that it is worked out without a walk over
    // every window.
    const std::set<xcb_window_t>& strutWindows() const { return strutWindows_; }
    // The processes that own client windows, and their windows front to back.
    const X11Owners& owners() const { return owners_; }
    // Read when asked after it changed: other programs change it at any rate (a window
    // manager giving the focus to each of many fresh windows in turn).
    std::optional<xcb_window_t> activeWindow();
    std::uint32_t currentDesktop() const { return currentDesktop_; }
    std::uint32_t desktopCount() const { return desktopCount_; }
    bool onCurrentDesktop(const X11Client& client) const { return client.onDesktop(currentDesktop_, desktopCount_); }
    // Shows on the screen now: mapped, not minimised, on the current desktop.
    bool shows(const X11Client& client) const { return client.mapped && !client.hidden && onCurrentDesktop(client); }
    // The work area of the current desktop, when the window manager publishes one.
    std::optional<Rect> workArea() const;
    // The monitors' bounds in root coordinates, as the displays last read them.
    void setMonitors(std::vector<Rect> bounds) {
        monitors_ = std::move(bounds);
        ++changes_;
    }
    // Counts the events and reads that may have changed a window's frame, state, stacking
    // or desktop, or the current desktop: while it stays the same, so does which window
    // shows where.
    std::uint64_t changes() const { return changes_; }
    // The frame as the user sees it. Some window managers keep a maximised or full-screen
    // window's borders beyond its monitor's edges, where they do not show: such a window
    // shows only on the monitor that holds its own area.
    Rect shownFrame(const X11Client& client) const;

    // Called after the list of client windows changed (a window came or went).
    void addClientListObserver(std::function<void()> observer) { clientListObservers_.push_back(std::move(observer)); }
    // Called after the strips kept along the screen's edges may have changed: a window that
    // keeps one came, changed it or went, or the window manager's work area or the current
    // desktop changed.
    void addStripObserver(std::function<void()> observer) { stripObservers_.push_back(std::move(observer)); }
    // Called after an X event that moved `changes()` on, once that event has been heard.
    void addChangeObserver(std::function<void()> observer) { changeObservers_.push_back(std::move(observer)); }

    // Whether the window manager has answered a request sent with that sequence number:
    // the window's frame was configured after it, and then the window itself was told
    // (the last a window manager does with a move).
    bool answeredSince(xcb_window_t window, std::uint32_t sequence) const;

    // Completes with true as soon as `condition` holds (checked now and after every X
    // event), with false after `seconds`.
    Task<bool> waitFor(std::function<bool()> condition, double seconds);
    // Completes once the window's frame has not changed for `quietPeriod` seconds (or the
    // window is gone), at the latest after `seconds`.
    Task<void> waitForQuiet(xcb_window_t window, double quietPeriod, double seconds);

    // The process of the local client that made the window, as the server knows it.
    std::optional<std::int32_t> pidFromServer(xcb_window_t window);
    // None without the X-Resource extension.
    std::optional<xcb_res_query_client_ids_cookie_t> requestServerPid(xcb_window_t window);
    std::optional<std::int32_t> serverPid(std::optional<xcb_res_query_client_ids_cookie_t> cookie);

    // Reads everything again (after a lost update, and in tests).
    void reload();

private:
    struct Waiter;
    class Wait;
    struct Pending;

    void handle(const xcb_generic_event_t& event);
    void handleRootProperty(xcb_atom_t atom);
    void applyProperty(X11Client& client, xcb_atom_t atom, const xcb_get_property_reply_t* reply);
    void readClientList();
    void loadClients(const std::vector<xcb_window_t>& windows);
    // Geometry comes from configure events; the server is asked only where they cannot
    // tell (a reparent, a client nested deeper in its frame, a frame not known yet).
    void clientConfigured(X11Client& client, const xcb_configure_notify_event_t& event, bool sent);
    void frameConfigured(const std::vector<xcb_window_t>& clients);
    void place(xcb_window_t client, Point inParent, Point onRoot);
    void readGeometry(X11Client& client);
    void setArea(X11Client& client, const Rect& area);
    void frameChanged(X11Client& client);
    void readDesktops();
    void stripsChanged();
    void afterEvent();
    void readActiveWindow();
    void checkWaiters();
    void finish(const std::shared_ptr<Waiter>& waiter, bool result);

    X11Connection& x_;
    MainActor& actor_;
    // The properties of a client window that the model reads.
    std::set<xcb_atom_t> read_;
    xcb_atom_t compoundText_ = XCB_ATOM_NONE;
    std::map<xcb_window_t, X11Client> clients_;
    std::set<xcb_window_t> strutWindows_;
    std::uint32_t nextGeneration_ = 0;
    X11Frames frames_;
    std::vector<xcb_window_t> frontToBack_;
    X11Owners owners_;
    std::optional<xcb_window_t> active_;
    bool activeChanged_ = false;
    std::uint32_t currentDesktop_ = 0;
    std::uint32_t desktopCount_ = 1;
    std::vector<std::uint32_t> workAreas_;
    std::vector<Rect> monitors_;
    std::uint64_t changes_ = 0;
    std::vector<std::function<void()>> clientListObservers_;
    std::vector<std::function<void()>> stripObservers_;
    std::vector<std::function<void()>> changeObservers_;
    // What `changes()` was when the change observers were last called.
    std::uint64_t toldChanges_ = 0;
    std::vector<std::shared_ptr<Waiter>> waiters_;
};

}  // namespace kestr
