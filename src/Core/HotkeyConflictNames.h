// How refused hot keys are named in the log: a kest by its name, a snap by "Snap: " and
// its title; the capture shortcut is not named, and no name is given twice. A key one
// of kestr's own shortcuts holds names that holder instead of another program.
#pragma once

#include <string>
#include <vector>

#include "Core/HotkeyManager.h"
#include "Core/KestNames.h"
#include "Core/Layout.h"

namespace kestr {

std::vector<std::string> hotkeyConflictNames(const std::vector<HotkeyManager::Conflict>& conflicts,
                                             const std::vector<Layout>& layouts);

// The names joined by ", ".
std::string joinedNames(const std::vector<std::string>& names);

// A shortcut's owner as the log names it: "kest “Work”", "snap “Left Half”" or
// "capture shortcut".
std::string hotkeySourceName(const HotkeySource& source, const std::vector<Layout>& layouts);
// The same as an alert shows it: a kest's name, which comes from the kest file, cleaned
// and isolated.
std::string shownHotkeySourceName(const HotkeySource& source, const std::vector<Layout>& layouts);
// The same, the kest's name taken from names gathered beforehand: for naming many.
std::string shownHotkeySourceName(const HotkeySource& source, const KestNames& kests);

// The conflicts whose key another program holds.
std::vector<HotkeyManager::Conflict> heldElsewhere(const std::vector<HotkeyManager::Conflict>& conflicts);
// The conflicts whose key this keyboard does not have.
std::vector<HotkeyManager::Conflict> keysMissing(const std::vector<HotkeyManager::Conflict>& conflicts);

// The conflicts whose key kestr's own shortcuts hold, each as
// "kest “B” (⌃⌥⌘1, held by kest “A”)", joined by ", "; empty when there are none. Past
// the first HotkeyManager::namedRefusals, the rest are counted: ", and 12 more".
std::string heldByKestr(const std::vector<HotkeyManager::Conflict>& conflicts, const std::vector<Layout>& layouts);

}  // namespace kestr
