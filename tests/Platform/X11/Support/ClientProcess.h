// A running kestr_test_client: its windows as it announces them, and the commands it takes
// ("title INDEX TEXT", "close INDEX", "reopen INDEX" (closed, then made again under its id),
// "quit"; INDEX counts windows from 0 in the order of windows()). Quit and reaped when this
// object goes.
#pragma once

#include <xcb/xcb.h>

#include <string>
#include <vector>

#include "Platform/X11/Client/ClientOptions.h"
#include "Platform/X11/Support/Subprocess.h"
#include "Platform/X11/Support/WaitUntil.h"

namespace kestr::x11test {

class ClientProcess {
public:
    // Starts the client on that display. With a watcher, each announced window gets its
    // property and structure events selected on the watcher, so waitUntil on it wakes for
    // them.
    ClientProcess(const std::string& display, ClientOptions options = {}, xcb_connection_t* watcher = nullptr);
    ~ClientProcess();

    // Waits until all options.windows windows are announced (mapped, or taken iconic by the
    // window manager); answers those announced by then, in the order they were made.
    const std::vector<xcb_window_t>& windows(double seconds = kDeadlineSeconds);
    // The first window (XCB_NONE if none came within the deadline).
    xcb_window_t window(double seconds = kDeadlineSeconds);

    pid_t pid() const { return process_.pid(); }
    const ClientOptions& options() const { return options_; }
    void send(const std::string& command);
    // True once the client has ended within the deadline.
    bool waitExit(double seconds = kDeadlineSeconds);
    void kill();  // SIGKILL and reap: a client that vanishes without a word

private:
    void readLines();

    ClientOptions options_;
    xcb_connection_t* watcher_;
    Subprocess process_;
    std::string pending_;
    std::vector<xcb_window_t> windows_;
};

}  // namespace kestr::x11test
