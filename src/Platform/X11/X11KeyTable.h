// One table of the keys: stored key codes (the ANSI virtual key codes that shortcuts are
// kept in) ↔ X keysyms ↔ the keycodes of the keyboard map the X server has now. Keys are
// matched by what they type, not where they sit, so a shortcut on "1" stays on the key
// labelled 1. The map is read again when the server announces a change (MappingNotify),
// and the observers hear of it afterwards.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "Platform/X11/X11Connection.h"

namespace kestr {

class X11KeyTable {
public:
    struct Key {
        std::uint32_t keyCode = 0;
        xcb_keysym_t keysym = 0;
    };
    // Every key of the stored key-code space, by key code.
    static const std::vector<Key>& keys();
    static std::optional<xcb_keysym_t> keysym(std::uint32_t keyCode);
    static std::optional<std::uint32_t> keyCode(xcb_keysym_t keysym);
    // Hot-key modifiers (CarbonModifier bits) as X modifier masks and back: command is
    // Control, option is Mod1 (Alt), control is Mod4 (Super), shift is Shift.
    static std::uint16_t xModifiers(std::uint32_t carbonModifiers);
    static std::uint32_t carbonModifiers(std::uint16_t xState);

    explicit X11KeyTable(X11Connection& x);
    ~X11KeyTable();
    X11KeyTable(const X11KeyTable&) = delete;
    X11KeyTable& operator=(const X11KeyTable&) = delete;

    // The keys of the current map that type the key code's keysym, unshifted or shifted;
    // none when this keyboard has no such key.
    std::vector<xcb_keycode_t> xKeycodes(std::uint32_t keyCode);
    // The unshifted keysym of an X key in the current map (0 for none).
    xcb_keysym_t keysymOf(xcb_keycode_t key);
    // The modifier Num Lock sets in this map (0 when there is no Num Lock key).
    std::uint16_t numLockMask() const { return numLockMask_; }
    // The keys that set one of these X modifiers in this map.
    std::vector<xcb_keycode_t> modifierKeys(std::uint16_t xModifiers) const;

    void addObserver(std::function<void()> observer) { observers_.push_back(std::move(observer)); }

private:
    void mappingChanged(const xcb_mapping_notify_event_t& event);
    void readModifierMap();

    X11Connection& x_;
    xcb_key_symbols_t* symbols_ = nullptr;
    std::uint16_t numLockMask_ = 0;
    // Per X modifier bit, the keys that set it.
    std::vector<xcb_keycode_t> modifierKeys_[8];
    std::vector<std::function<void()>> observers_;
};

}  // namespace kestr
