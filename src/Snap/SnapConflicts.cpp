#include "Snap/SnapConflicts.h"

namespace kestr::SnapConflicts {

std::map<SnapAction, std::string> detect(const std::vector<SnapBinding>& snaps, const std::vector<Reserved>& reserved) {
    std::map<SnapAction, std::string> result;
    for (const SnapBinding& binding : snaps) {
        const SnapBinding* other = nullptr;
        for (const SnapBinding& candidate : snaps) {
            if (candidate.action != binding.action && candidate.hotkey == binding.hotkey) {
                other = &candidate;
                break;
            }
        }
        if (other) {
            result.insert_or_assign(binding.action, "Snap: " + other->action.displayName());
            continue;
        }
        for (const Reserved& r : reserved) {
            if (r.hotkey == binding.hotkey) {
                result.insert_or_assign(binding.action, r.label);
                break;
            }
        }
    }
    return result;
}

}  // namespace kestr::SnapConflicts
