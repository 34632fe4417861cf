// The kinds of input event, shared by the event monitors and the pointer events that
// the displays service posts.
#pragma once

#include <cstdint>

namespace kestr {

enum class EventType : int {
    leftMouseDown = 1,
    leftMouseUp = 2,
    rightMouseDown = 3,
    rightMouseUp = 4,
    mouseMoved = 5,
    leftMouseDragged = 6,
    keyDown = 10,
    keyUp = 11,
    flagsChanged = 12,
};

}  // namespace kestr
