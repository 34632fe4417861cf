// The shortcuts a fresh installation starts with, and that a reset brings back.
#pragma once

#include <vector>

#include "Core/SnapBinding.h"

namespace kestr::SnapDefaults {

// One binding per action, each with a fresh identifier, in the order the reset commands
// apply them. Built anew on every call.
std::vector<SnapBinding> magnetBindings();

}  // namespace kestr::SnapDefaults
