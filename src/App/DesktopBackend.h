// The desktop a run of the program works on: the real X11 desktop of the session when
// $DISPLAY names one whose window manager announces itself, else the simulated one
// (kept in its scenario file between runs). KESTR_DESKTOP=simulated or x11 forces the
// choice. Whichever it is, it is installed as the platform while this object lives.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "App/SimBackend.h"
#include "Platform/Host/UserInterfacePlugs.h"
#include "Platform/NativeWindows.h"
#include "Platform/Posix/UserEnvironment.h"

namespace kestr {

class X11Platform;

class DesktopBackend {
public:
    enum class Kind { simulated, x11 };
    struct Choice {
        Kind kind = Kind::simulated;
        std::string displayName;
        // A line for standard error when the choice is not the one the user expects.
        std::optional<std::string> note;
    };
    // Throws Error for a KESTR_DESKTOP value it does not know.
    static Choice choose(const UserEnvironment::Variables& variables);

    // Builds and installs the chosen desktop for the user's environment as it was read
    // (`variables` for the rest); `actor` is the loop to run on (none: a real-time loop
    // of its own, see loop()). Throws Error when it cannot be built.
    DesktopBackend(const Choice& choice, const UserEnvironment& user, const UserEnvironment::Variables& variables,
                   std::unique_ptr<MainActor> actor = nullptr);
    ~DesktopBackend();
    DesktopBackend(const DesktopBackend&) = delete;
    DesktopBackend& operator=(const DesktopBackend&) = delete;

    Kind kind() const { return kind_; }
    // The user interface's alerts, toasts, cursor, beep and quit, on either desktop;
    // empty plugs unplug them.
    void plugUserInterface(const UserInterfacePlugs& plugs);
    RealTimeMainActor& loop();
    // Keeps what must survive the run: the simulated desktop's scenario. Throws
    // SimBackendError.
    void save();
    // Called when the X11 connection is lost (never on the simulated desktop).
    void onConnectionLost(std::function<void()> handler);
    // Called after the X11 monitors changed (never on the simulated desktop).
    void onDisplaysChanged(std::function<void()> handler);
    // Called on the loop after the room windows have on a display may have changed: a panel
    // came, moved or went (never on the simulated desktop).
    void onVisibleAreasChanged(std::function<void()> handler);

private:
    Kind kind_;
    // Kept past the simulated desktop that answers with it.
    std::unique_ptr<NativeWindows> realWindows_;
    std::unique_ptr<SimBackend> simulated_;
    std::unique_ptr<X11Platform> x11_;
    RealTimeMainActor* loop_ = nullptr;
};

}  // namespace kestr
