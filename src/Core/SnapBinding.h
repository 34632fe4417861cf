// One snap action bound to one global shortcut. An action without a shortcut simply
// has no binding.
#pragma once

#include "Core/Hotkey.h"
#include "Core/Uuid.h"
#include "Core/SnapAction.h"

namespace kestr {

struct SnapBinding {
    Uuid id;
    SnapAction action;
    Hotkey hotkey;

    friend bool operator==(const SnapBinding&, const SnapBinding&) = default;
};

}  // namespace kestr
