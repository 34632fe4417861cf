// Calling a list of observers.
#pragma once

#include <functional>
#include <vector>

namespace kestr {

// Calls each observer of the list as it is now: the list is copied first, since an
// observer may add another.
inline void tellObservers(std::vector<std::function<void()>> observers) {
    for (const auto& observer : observers) observer();
}

}  // namespace kestr
