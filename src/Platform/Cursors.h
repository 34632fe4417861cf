// The pointer's shape while it is over other applications' windows, as edge resizing
// sets it.
#pragma once

namespace kestr {

enum class CursorShape : int {
    arrow,
    pointingHand,
    resizeLeftRight,
    resizeUpDown,
};

class Cursors {
public:
    virtual ~Cursors() = default;
    virtual void set(CursorShape shape) = 0;
};

}  // namespace kestr
