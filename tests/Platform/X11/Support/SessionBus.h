// A private D-Bus session bus for the X11 tests: dbus-daemon on a socket of its own,
// ended with the object, so no test meets the user's session or its services.
#pragma once

#include <memory>
#include <string>

#include "Platform/X11/Support/Subprocess.h"

namespace kestr::x11test {

class SessionBus {
public:
    // Throws std::runtime_error when dbus-daemon is missing or does not say its address.
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    const std::string& address() const { return address_; }

private:
    std::string folder_;
    std::unique_ptr<Subprocess> daemon_;
    std::string address_;
};

}  // namespace kestr::x11test
