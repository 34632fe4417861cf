// Measures how small the windows of chosen applications can be made: each window is
// shrunk to 1 by 1 point, the size it accepts is read, and the window is put back.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

struct MinSizeProbe {
    struct Result {
        std::string appName;
        std::string bundleID;
        std::string title;
        Size original;
        Size probed;
        friend bool operator==(const Result&, const Result&) = default;
    };

    static Task<std::vector<Result>> probeAll(std::set<std::string> bundleIDs);
    static std::string format(const std::vector<Result>& results);
};

}  // namespace kestr
