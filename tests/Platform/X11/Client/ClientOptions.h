// What kestr_test_client is asked to show: its command line, read by the client and
// written by the tests that start it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestr::x11test {

struct ClientSize {
    int width = 0;
    int height = 0;
};

struct ClientGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ClientOptions {
    std::string title = "kestr test client";  // "TITLE 1", "TITLE 2", … with more windows
    std::string wmClass = "KestrTestClient";
    std::string instance = "kestr_test_client";
    bool pid = true;
    std::optional<ClientGeometry> geometry;  // every window; also asks for that position (USPosition)
    std::optional<ClientSize> minSize;
    std::optional<ClientSize> increment;
    std::optional<ClientSize> baseSize;
    int windows = 1;
    double delaySeconds = 0;      // before the windows are mapped
    std::string type = "normal";  // normal, dialog, utility, dock, desktop
    bool transientForFirst = false;
    std::string state;  // "", fullscreen (_NET_WM_STATE) or hidden (starts iconic)
    int strutTop = 0;                // _NET_WM_STRUT(_PARTIAL) over the window's width, for a dock
    std::optional<ClientSize> icon;  // a _NET_WM_ICON of that size, in one colour
    bool ignoreDelete = false;       // WM_DELETE_WINDOW is offered but not acted on
    // Without a hint saying so, a width below this is answered by the window setting its
    // own width back to it, as some toolkits do.
    std::optional<int> keepWidth;
    bool detached = false;           // stdin is not read (a launched program gets /dev/null)
    // With a file, arguments that are no option are written there, one a line, instead
    // of being refused: what a launcher handed over.
    std::string argumentsFile;
    std::vector<std::string> extra;
};

// Throws std::invalid_argument naming the option that is wrong.
ClientOptions parseClientOptions(const std::vector<std::string>& arguments);
// The command line that parseClientOptions reads back as these options.
std::vector<std::string> clientArguments(const ClientOptions& options);

}  // namespace kestr::x11test
