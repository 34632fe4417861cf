// Input posted through XTest, as a person would give it: the pointer moved to a root
// position, buttons and keys pressed and released.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>

namespace kestr::x11test {

// A motion goes to (x, y) on the root; buttons and keys ignore the position.
void fakeInput(xcb_connection_t* connection, xcb_window_t root, std::uint8_t type, std::uint8_t detail, int x = 0,
               int y = 0);
// The first key code of that keysym in the current keymap; 0 when no key has it.
xcb_keycode_t keycodeOf(xcb_connection_t* connection, xcb_keysym_t keysym);
// Moves there and clicks the left button.
void fakeClick(xcb_connection_t* connection, xcb_window_t root, int x, int y);

}  // namespace kestr::x11test
