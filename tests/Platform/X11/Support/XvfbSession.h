// A private X server for the X11 tests: Xvfb on a display it picks itself (-displayfd),
// with openbox as its window manager (or xfwm4, for the tests of how another manager
// takes kestr's requests) under a home folder of its own, so nothing of the user's
// desktop or configuration takes part. Everything it starts ends with it.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/X11/Support/SessionBus.h"
#include "Platform/X11/Support/Subprocess.h"
#include "Platform/X11/Support/XConnection.h"

namespace kestr::x11test {

enum class WindowManager { openbox, xfwm4 };
// Its program ("openbox", "xfwm4"), which also names the tests run under it.
const char* nameOf(WindowManager which);

struct RandrMonitor {
    std::string name;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool primary = false;
};

class XvfbSession {
public:
    // Room for two 1920×1080 monitors side by side. Throws std::runtime_error saying what is
    // missing or what failed, with the end of the failing program's log.
    explicit XvfbSession(int width = 3840, int height = 1080);
    ~XvfbSession();
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;

    // The one session of the test program, started on first use; throws the reason it could
    // not start on every call.
    static XvfbSession& shared();

    const std::string& display() const { return display_; }  // ":N"
    // The session's own connection: the root's substructure and property events are selected.
    xcb_connection_t* connection() const { return connection_->get(); }
    xcb_ewmh_connection_t& ewmh() { return connection_->ewmh(); }
    xcb_window_t root() const { return connection_->root(); }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::string& folder() const { return folder_; }  // the window manager's home

    // Whether a window manager announces itself on the root (_NET_SUPPORTING_WM_CHECK names
    // a window that names itself).
    bool windowManagerRunning();
    pid_t windowManagerPid() const;
    // Ends the window manager and waits until its announcement is gone; the windows stay,
    // unmanaged.
    void stopWindowManager();
    // Starts that window manager, in place of another one that runs, and waits until it
    // announces itself and manages new windows; one that runs already goes on. xfwm4,
    // which keeps its settings behind D-Bus, gets a session bus of its own, with four
    // desktops as it comes.
    void startWindowManager(WindowManager which = WindowManager::openbox);
    // SIGSTOP / SIGCONT: a window manager that answers late, or only after resuming.
    void pauseWindowManager();
    void resumeWindowManager();

    // A real compositing manager (picom, drawing through RENDER) and its end; each waits
    // until the _NET_WM_CM_S0 selection says so. Throws when picom is missing or fails.
    void startCompositingManager();
    void stopCompositingManager();     // nothing when none was started here
    bool compositingManagerRunning();  // whoever owns the selection

    // RandR 1.5 monitors. While any monitor made here exists, the screen's output belongs
    // to one of them, so RandR lists only these; with none, it lists its own monitor over
    // the whole screen. Throws std::runtime_error when the server refuses.
    void addMonitor(const std::string& name, int x, int y, int width, int height, bool primary = false);
    void removeMonitor(const std::string& name);
    void removeAllMonitors();
    // The active monitors as RandR lists them.
    std::vector<RandrMonitor> monitors();

private:
    struct RawMonitor {
        xcb_atom_t name;
        bool primary;
        bool automatic;
        bool holdsOutput;
        int x, y, width, height;
    };
    std::vector<RawMonitor> rawMonitors();
    void setMonitor(const RawMonitor& monitor);
    void startServer();
    bool managesNewWindows();
    bool serverAnswers(double seconds);
    std::string logTail(const std::string& file) const;

    int width_;
    int height_;
    std::string folder_;
    std::string display_;
    std::unique_ptr<Subprocess> server_;
    std::unique_ptr<XConnection> connection_;
    std::unique_ptr<Subprocess> windowManager_;
    WindowManager running_ = WindowManager::openbox;
    std::unique_ptr<SessionBus> windowManagerBus_;
    std::unique_ptr<Subprocess> compositor_;
    uint32_t output_ = 0;  // the screen's one RandR output
};

}  // namespace kestr::x11test
