// Every window of every ordinary application, with its display, and a fixed-width text
// of them for diagnosis.
#pragma once

#include <string>
#include <vector>

#include "Window/EnumeratedWindow.h"

namespace kestr {

class WindowEnumerator {
public:
    WindowEnumerator() = delete;

    // Applications in the workspace's order, each one's windows in its own order.
    static std::vector<EnumeratedWindow> enumerateAll();
    static std::string makeDumpText();
};

}  // namespace kestr
