// Virtual desktops ("Spaces"): how many there are, which one shows, and adding one.
// Where the system offers no such request, a new Space is made the way a person makes
// one (see Space/SpaceController), and this service only answers the questions.
#pragma once

#include "Platform/Runtime/Task.h"

namespace kestr {

class Spaces {
public:
    virtual ~Spaces() = default;
    virtual int count() = 0;
    // From 0.
    virtual int current() = 0;
    // Adds a desktop after the last one and switches to it; true once the system shows
    // it, false when it did not within a few seconds.
    virtual Task<bool> createAndSwitch() = 0;
};

}  // namespace kestr
