// A row of a table test of the edge handle: what changes, the change, and whether the
// handle shows once it is done.
#pragma once

#include <functional>

namespace kestr::test {

struct HandleStep {
    const char* what;
    std::function<void()> change;
    bool handle;
};

}  // namespace kestr::test
