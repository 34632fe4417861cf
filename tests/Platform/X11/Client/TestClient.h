// The windows of kestr_test_client: made as its command line says, mapped (late if asked),
// announced on standard output in the order they were made, and changed by the commands
// read from standard input.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <string>
#include <vector>

#include "ClientOptions.h"

namespace kestr::x11test {

class TestClient {
public:
    explicit TestClient(ClientOptions options);
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    // Runs until "quit", the end of standard input, the last window gone or a lost
    // connection; answers the exit status.
    int run();

private:
    struct Window {
        xcb_window_t id = XCB_NONE;
        bool shown = false;
        bool announced = false;
        bool alive = true;
    };

    xcb_atom_t intern(const char* name);
    // Under a new id, or the id of a window that is gone.
    void create(int index, xcb_window_t reuse = XCB_NONE);
    void setTitle(xcb_window_t window, const std::string& title);
    void handle(xcb_generic_event_t* event);
    void announceShown();
    bool command(const std::string& line);  // false on "quit"
    bool anyAlive() const;
    Window* find(xcb_window_t id);

    ClientOptions options_;
    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_ewmh_connection_t ewmh_{};
    xcb_atom_t deleteWindow_ = XCB_NONE;
    xcb_atom_t wmState_ = XCB_NONE;
    std::vector<Window> windows_;
};

}  // namespace kestr::x11test
