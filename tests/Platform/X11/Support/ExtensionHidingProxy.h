// A display of its own in front of the session's X server that forwards everything but
// hides one extension: each QueryExtension request naming it asks for a name no server
// has, so clients on this display see a server without it. Xvfb cannot start without
// some extensions (XInput among them); this tries the backend as if it had.
// With a hold, a client's requests reach the server only once the client has sent none
// for that long, and those still held when it disconnects never do: a busy server that
// sees a client hang up before it has read the client's last requests drops them so.
#pragma once

#include <chrono>
#include <string>
#include <thread>

namespace kestr::x11test {

class ExtensionHidingProxy {
public:
    // `serverDisplay` is ":N" of a local server. Throws std::runtime_error when no display
    // number is free or the server cannot be reached.
    ExtensionHidingProxy(const std::string& serverDisplay, std::string hiddenExtension,
                         std::chrono::milliseconds hold = {});
    ~ExtensionHidingProxy();
    ExtensionHidingProxy(const ExtensionHidingProxy&) = delete;
    ExtensionHidingProxy& operator=(const ExtensionHidingProxy&) = delete;

    const std::string& display() const { return display_; }  // ":N"

private:
    void run();

    std::string serverSocket_;
    std::string hidden_;
    std::chrono::milliseconds hold_;
    std::string display_;
    std::string lockFile_;
    int listener_ = -1;
    int stop_ = -1;  // an eventfd that ends the thread
    std::thread thread_;
};

}  // namespace kestr::x11test
