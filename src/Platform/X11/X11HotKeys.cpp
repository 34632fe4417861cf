#include "Platform/X11/X11HotKeys.h"

#include <algorithm>
#include <cctype>

#include "Platform/KeyLabels.h"

namespace kestr {

namespace {

// The modifiers a press is matched on; lock keys and mouse buttons are left out.
constexpr std::uint16_t matchedModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

}  // namespace

X11HotKeys::X11HotKeys(X11Connection& x, X11KeyTable& keys, Log& log, Wording& wording)
    : x_(x), keys_(keys), log_(log), wording_(wording) {
    x_.addListener([this](const xcb_generic_event_t& event) {
        const std::uint8_t type = event.response_type & 0x7f;
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE)
            keyEvent(reinterpret_cast<const xcb_key_press_event_t&>(event), type == XCB_KEY_PRESS);
    });
    keys_.addObserver([this] { keymapChanged(); });
}

std::int32_t X11HotKeys::installApplicationHandler(HotKeyEventHandler handler) {
    handler_ = std::move(handler);
    return HotKeyStatus::noErr;
}

HotKeyRegistration X11HotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id) {
    for (const auto& [reference, r] : registrations_) {
        if (r.keyCode == keyCode && r.modifiers == modifiers) return {HotKeyStatus::eventHotKeyExists, std::nullopt};
    }
    const auto grabs = grabsFor(keyCode, modifiers);
    if (grabs.empty()) {
        log_.line("kestr[hotkey]: " + name(keyCode, modifiers) + " is not registered: this keyboard has no key " +
                  wording_.keyName(keyCode));
        return {HotKeyStatus::eventHotKeyInvalid, std::nullopt};
    }
    if (heldByUs(grabs) || !grab(grabs)) return {HotKeyStatus::eventHotKeyExists, std::nullopt};
    const std::uint64_t reference = nextReference_++;
    registrations_.emplace(reference, Registration{keyCode, modifiers, id, grabs});
    return {HotKeyStatus::noErr, reference};
}

std::int32_t X11HotKeys::unregisterHotKey(std::uint64_t reference) {
    auto it = registrations_.find(reference);
    if (it == registrations_.end()) return HotKeyStatus::eventHotKeyInvalid;
    ungrab(it->second.grabs);
    registrations_.erase(it);
    return HotKeyStatus::noErr;
}

bool X11HotKeys::hasKey(std::uint32_t keyCode) { return !keys_.xKeycodes(keyCode).empty(); }

std::uint32_t X11HotKeys::modifiersHeldElsewhere(std::uint32_t modifiers) {
    std::uint32_t held = 0;
    for (const std::uint32_t modifier : CarbonModifier::each) {
        if (!(modifiers & modifier)) continue;
        std::vector<Grab> grabs;
        for (const xcb_keycode_t key : keys_.modifierKeys(X11KeyTable::xModifiers(modifier)))
            grabs.emplace_back(key, 0);
        if (grabs.empty()) continue;
        if (grab(grabs)) {
            ungrab(grabs);
        } else {
            held |= modifier;
        }
    }
    // A lost connection refuses everything; that says nothing about other clients.
    return x_.broken() ? 0 : held;
}

std::optional<ModifierHolder> X11HotKeys::modifierHolder(std::uint32_t carbonModifier) {
    // The window manager names itself on the window its check property points at.
    const auto check = x_.cardinals(x_.root(), x_.ewmh()._NET_SUPPORTING_WM_CHECK);
    if (!check || check->empty()) return std::nullopt;
    const auto name = x_.property(x_.requestProperty((*check)[0], x_.ewmh()._NET_WM_NAME));
    if (!name || name->format != 8) return std::nullopt;
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(name.get()));
    return knownHolder(std::string(bytes, static_cast<std::size_t>(xcb_get_property_value_length(name.get()))),
                       carbonModifier);
}

std::optional<ModifierHolder> X11HotKeys::knownHolder(const std::string& windowManagerName,
                                                      std::uint32_t carbonModifier) {
    // IceWM's Win95Keys, on by default, takes both Super keys with any modifiers (one
    // opens its start menu, the other its window list).
    std::string first = windowManagerName.substr(0, 5);
    std::transform(first.begin(), first.end(), first.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (carbonModifier == CarbonModifier::control && first == "icewm") {
        return ModifierHolder{"IceWM", "put Win95Keys=0 in ~/.icewm/preferences and run icewm --restart"};
    }
    return std::nullopt;
}

std::vector<X11HotKeys::Grab> X11HotKeys::grabsFor(std::uint32_t keyCode, std::uint32_t modifiers) {
    const std::uint16_t mask = X11KeyTable::xModifiers(modifiers);
    std::vector<std::uint16_t> locks = {0, XCB_MOD_MASK_LOCK};
    const std::uint16_t numLock = keys_.numLockMask();
    if (numLock != 0 && !(numLock & (mask | XCB_MOD_MASK_LOCK))) {
        locks.push_back(numLock);
        locks.push_back(numLock | XCB_MOD_MASK_LOCK);
    }
    std::vector<Grab> grabs;
    for (const xcb_keycode_t key : keys_.xKeycodes(keyCode)) {
        for (const std::uint16_t lock : locks) grabs.emplace_back(key, static_cast<std::uint16_t>(mask | lock));
    }
    return grabs;
}

bool X11HotKeys::grab(const std::vector<Grab>& grabs) {
    // Sent together, then checked: one round trip for all of them.
    std::vector<xcb_void_cookie_t> cookies;
    for (const auto& [key, mask] : grabs) {
        cookies.push_back(
            xcb_grab_key_checked(x_.raw(), 0, x_.root(), mask, key, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        x_.countRequest();
    }
    bool granted = true;
    for (const xcb_void_cookie_t cookie : cookies) granted = x_.check(cookie) && granted;
    if (!granted) ungrab(grabs);
    return granted;
}

void X11HotKeys::ungrab(const std::vector<Grab>& grabs) {
    // Ungrabbing touches this client's grabs only, so a refused one is no harm.
    for (const auto& [key, mask] : grabs) {
        xcb_ungrab_key(x_.raw(), key, x_.root(), mask);
        x_.countRequest();
    }
    x_.flush();
}

bool X11HotKeys::heldByUs(const std::vector<Grab>& grabs) const {
    for (const auto& [reference, r] : registrations_) {
        for (const Grab& g : r.grabs) {
            for (const Grab& wanted : grabs) {
                if (g == wanted) return true;
            }
        }
    }
    return false;
}

std::string X11HotKeys::name(std::uint32_t keyCode, std::uint32_t modifiers) const {
    return wording_.shortcut(modifiers, wording_.keyName(keyCode));
}

void X11HotKeys::keyEvent(const xcb_key_press_event_t& event, bool press) {
    if (!press) {
        lastReleased_ = event.detail;
        lastReleaseTime_ = event.time;
        return;
    }
    if (event.detail == lastReleased_ && event.time == lastReleaseTime_) return;  // the key repeats
    if (!handler_) return;
    const std::uint16_t mask = event.state & matchedModifiers;
    for (const auto& [reference, r] : registrations_) {
        for (const Grab& g : r.grabs) {
            if (g.first != event.detail || (g.second & matchedModifiers) != mask) continue;
            const HotKeyEvent hotKey{r.id};
            // A copy: the handler may register every key again while it runs.
            auto handler = handler_;
            handler(&hotKey);
            return;
        }
    }
}

void X11HotKeys::keymapChanged() {
    for (auto& [reference, r] : registrations_) ungrab(r.grabs);
    for (auto& [reference, r] : registrations_) {
        r.grabs = grabsFor(r.keyCode, r.modifiers);
        if (r.grabs.empty()) {
            log_.line("kestr[hotkey]: " + name(r.keyCode, r.modifiers) + " no longer works: this keyboard has no key " +
                      wording_.keyName(r.keyCode));
        } else if (!grab(r.grabs)) {
            log_.line("kestr[hotkey]: " + name(r.keyCode, r.modifiers) +
                      " no longer works: another program holds it on this keyboard");
            r.grabs.clear();
        }
    }
}

}  // namespace kestr
