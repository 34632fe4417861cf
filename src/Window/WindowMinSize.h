// The smallest window sizes that some applications enforce; shared-edge detection uses
// them to bound how far an edge may move.
#pragma once

#include <map>
#include <string>

#include "Platform/Geometry.h"

namespace kestr {

struct WindowMinSize {
    WindowMinSize() = delete;

    static inline const std::map<std::string, Size> table = {
        {"com.apple.finder", Size{316, 288}},
        {"com.apple.Terminal", Size{260, 212}},
    };

    // The smallest window the application accepts; 120 x 120 when it is not listed.
    static Size of(const std::string& bundleID) {
        const auto it = table.find(bundleID);
        return it != table.end() ? it->second : Size{120, 120};
    }
};

}  // namespace kestr
