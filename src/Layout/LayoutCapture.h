// Capture: turns the windows open now into a new kest, with each window's frame on its
// display, a matcher that finds it again, its title and Space, the content scripts can
// read, and the edges the windows share. Capture saves nothing and never fails.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

class LayoutCapture {
public:
    LayoutCapture() = delete;

    // The bundle identifier kestr is built with; its own windows are never captured.
    static constexpr const char* builtInBundleID = "com.kestr.kestr";

    // The kest of the current arrangement. With `restrictToDisplayUUID` only that
    // display's windows count; with `currentSpaceOnly` windows on other Spaces are left
    // out. With nothing to capture the kest has no items.
    static Layout captureCurrent(const std::string& name, const std::optional<std::string>& restrictToDisplayUUID,
                                 bool currentSpaceOnly);

private:
    static std::optional<LayoutItem> makeItem(const EnumeratedWindow& window, int indexAmongPeers,
                                              const std::vector<EnumeratedWindow>& peers);
};

}  // namespace kestr
