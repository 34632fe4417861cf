// The cursor of the simulated desktop: the shape last set and how many times a shape
// was set, passed on to another implementation when one is given.
#pragma once

#include "Platform/Cursors.h"

namespace kestr {

class SimCursors : public Cursors {
public:
    void set(CursorShape s) override {
        shape = s;
        ++changes;
        if (forwardTo) forwardTo->set(s);
    }

    CursorShape shape = CursorShape::arrow;
    int changes = 0;
    // The program passes its own cursor; tests nothing.
    Cursors* forwardTo = nullptr;
};

}  // namespace kestr
