// Global hot keys on X11: each registration grabs its keys on the root window, once for
// every state of the lock keys (none, Caps Lock, Num Lock, both), so a lit lock key never
// swallows a shortcut. A key another client has grabbed is refused as "hot key exists",
// a key this keyboard does not have is refused and named in the log, and a grab refused
// half way is taken back whole. A new keyboard map grabs every key again. A modifier whose
// own keys another client holds for itself (a window manager's menu key) is found by
// trying to grab those keys; a window manager known to keep one is named with what frees it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Platform/HotKeys.h"
#include "Platform/Log.h"
#include "Platform/Wording.h"
#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11KeyTable.h"

namespace kestr {

class X11HotKeys : public HotKeys {
public:
    X11HotKeys(X11Connection& x, X11KeyTable& keys, Log& log, Wording& wording);

    std::int32_t installApplicationHandler(HotKeyEventHandler handler) override;
    HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id) override;
    std::int32_t unregisterHotKey(std::uint64_t reference) override;
    // Whether the current keyboard map holds the key; nothing is grabbed.
    bool hasKey(std::uint32_t keyCode) override;
    // Tries a grab of each modifier's own keys, pressed alone, and lets go at once: a
    // client that holds them for itself (with any modifiers) makes the server refuse it.
    std::uint32_t modifiersHeldElsewhere(std::uint32_t modifiers) override;
    // The window manager, when it is one known to keep that key, by the name it announces.
    std::optional<ModifierHolder> modifierHolder(std::uint32_t carbonModifier) override;
    // Of the window managers known to keep a modifier key by default, the one whose
    // announced name (`_NET_WM_NAME`, "IceWM 3.4.5 (Linux …)") this is.
    static std::optional<ModifierHolder> knownHolder(const std::string& windowManagerName,
                                                     std::uint32_t carbonModifier);

private:
    // One passive grab: an X key with its modifiers, lock keys included.
    using Grab = std::pair<xcb_keycode_t, std::uint16_t>;
    struct Registration {
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        EventHotKeyID id;
        std::vector<Grab> grabs;
    };

    // The grabs a key code with these modifiers needs on the current keyboard map.
    std::vector<Grab> grabsFor(std::uint32_t keyCode, std::uint32_t modifiers);
    // Grabs all or nothing; gives whether all were granted.
    bool grab(const std::vector<Grab>& grabs);
    void ungrab(const std::vector<Grab>& grabs);
    bool heldByUs(const std::vector<Grab>& grabs) const;
    std::string name(std::uint32_t keyCode, std::uint32_t modifiers) const;
    void keyEvent(const xcb_key_press_event_t& event, bool press);
    void keymapChanged();

    X11Connection& x_;
    X11KeyTable& keys_;
    Log& log_;
    Wording& wording_;
    HotKeyEventHandler handler_;
    std::map<std::uint64_t, Registration> registrations_;
    std::uint64_t nextReference_ = 1;
    // A key held down repeats as release and press at the same time; such a press is not
    // a new one.
    xcb_keycode_t lastReleased_ = 0;
    xcb_timestamp_t lastReleaseTime_ = 0;
};

}  // namespace kestr
