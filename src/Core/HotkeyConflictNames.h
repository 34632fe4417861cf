// How refused hot keys are named in the log: a kest by its name, a snap by "Snap: " and
// its title; the capture shortcut is not named, and no name is given twice.
#pragma once

#include <string>
#include <vector>

#include "Core/HotkeyManager.h"
#include "Core/Layout.h"

namespace kestr {

std::vector<std::string> hotkeyConflictNames(const std::vector<HotkeyManager::Conflict>& conflicts,
                                             const std::vector<Layout>& layouts);

// The names joined by ", ".
std::string joinedNames(const std::vector<std::string>& names);

}  // namespace kestr
