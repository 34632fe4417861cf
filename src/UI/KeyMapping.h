// Keys and modifiers of Qt's key events in the window system's terms: virtual key codes
// of the ANSI keyboard and its modifier flags. As Qt does on the Mac, the Control key of
// the keyboard plays Command and the Meta key plays Control, so Ctrl+W closes a window
// and Ctrl+C copies, as people on this desktop expect.
#pragma once

#include <cstdint>
#include <optional>

#include <Qt>

class QKeyEvent;

namespace kestr {

// Virtual key code of a Qt key (shifted symbols count as their unshifted key); none for
// keys without one.
std::optional<std::uint16_t> virtualKeyCode(int qtKey);
// The Qt key of a virtual key code, unshifted; none for codes without one.
std::optional<int> qtKey(std::uint16_t keyCode);

// Window-system modifier flags (ModifierFlag bits) of Qt's keyboard modifiers.
std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers);

// The modifier a modifier key stands for; none for other keys.
Qt::KeyboardModifiers modifierOfKey(int qtKey);

// Whether the key is a modifier key on its own (Shift, Control, Meta, Alt, Caps Lock).
bool isModifierKey(int qtKey);

}  // namespace kestr
