// What the snap-shortcuts page decides, apart from its table: storing a changed or reset
// binding, registering the hot keys again, naming the refused ones in the log, and which
// snaps collide with another shortcut of kestr.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Core/Hotkey.h"
#include "Core/HotkeySource.h"
#include "Core/KestNames.h"
#include "Core/SnapAction.h"

namespace kestr {

class SnapShortcutsModel {
public:
    // After every stored change (edit or reset).
    std::function<void()> onChange;

    // The action's group on the page ("Halves", "Quarters" …).
    static const char* groupName(SnapAction action);

    // A shortcut's owner as the page names it: "Kest: Work", "Save current windows" or
    // "Snap: Left Half"; a kest's name taken from `names`, made once for all the owners
    // a page names (each look-up a walk of every kest would make a long list's page
    // cost its length squared).
    static std::string label(const HotkeySource& source, const KestNames& names);
    // The keys of the last synchronisation that another program holds, each as its
    // owner's label and the keys: "Snap: Left Half (⌃⌥←)".
    static std::vector<std::string> keysHeldElsewhere();

    // For each snap whose shortcut another shortcut of kestr holds: that one's label.
    const std::map<SnapAction, std::string>& conflicts() const { return conflicts_; }
    void recomputeConflicts();
    // The warning card's entry when another program keeps a modifier of kestr's
    // shortcuts for itself (found at the last registration); none when none is kept.
    static std::optional<std::string> heldModifiersWarning();

    // Replaces the action's binding (none removes it), then stores.
    void setHotkey(const std::optional<Hotkey>& hotkey, SnapAction action);
    // Asks first; every action gets its default binding. False when the user declined.
    bool resetToDefaults();

    // The question before the default bindings replace the user's; true for "Reset".
    static bool confirmReset();
    // Every action with a default gets it as its only binding, in memory; bindings of
    // the other actions stay.
    static void putDefaultsInStore();

private:
    void persist();

    std::map<SnapAction, std::string> conflicts_;
};

}  // namespace kestr
