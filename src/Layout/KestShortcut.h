// What a kest's global shortcut applies: the kest on the display under the pointer,
// launching what is missing, at the frames it was captured with. The start-up hands
// apply() to HotkeyManager::applyKest.
#pragma once

#include <optional>

#include "Core/Layout.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

struct KestShortcut {
    KestShortcut() = delete;

    // The kest as applied, or none when the apply was dropped because another one runs.
    static Task<std::optional<Layout>> apply(Layout layout);
};

}  // namespace kestr
