#include "Platform/Sim/SimSpaces.h"

#include <algorithm>

namespace kestr {

int SimSpaces::count() {
    int highest = world_.currentSpace;
    for (const auto& process : world_.processes()) {
        for (const auto& window : process.windows) highest = std::max(highest, window.space);
    }
    return highest;
}

Task<bool> SimSpaces::createAndSwitch() {
    world_.currentSpace = count() + 1;
    co_return true;
}

}  // namespace kestr
