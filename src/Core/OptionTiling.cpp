#include "Core/OptionTiling.h"

#include "Platform/EventMonitors.h"
#include "Platform/Platform.h"

namespace kestr {

bool OptionTiling::disabledByUs() {
    auto flag = defaults_.standard().object(disabledFlagKey);
    return flag && flag->get<bool>() && *flag->get<bool>();
}

void OptionTiling::turnOff() {
    DefaultsDomain& standard = defaults_.standard();
    DefaultsDomain* suite = defaults_.suite(suiteName);
    // The user's own value is remembered only the first time: later calls would find ours.
    if (!disabledByUs()) {
        std::optional<PlistValue> previous = suite ? suite->object(tilingKey) : std::nullopt;
        if (previous) {
            standard.set(previousValueKey, *previous);
        } else {
            standard.remove(previousValueKey);
        }
    }
    if (suite) suite->set(tilingKey, PlistValue(false));
    standard.set(disabledFlagKey, PlistValue(true));
}

void OptionTiling::restore() {
    if (!disabledByUs()) return;
    DefaultsDomain& standard = defaults_.standard();
    if (DefaultsDomain* suite = defaults_.suite(suiteName)) {
        // Only while the key still holds what kestr put there: a later change by the user
        // stands.
        if (suite->object(tilingKey) == std::optional<PlistValue>(PlistValue(false))) {
            if (auto previous = standard.object(previousValueKey)) {
                suite->set(tilingKey, *previous);
            } else {
                suite->remove(tilingKey);
            }
        }
    }
    standard.remove(previousValueKey);
    standard.set(disabledFlagKey, PlistValue(false));
}

void OptionTiling::reconcile(std::uint64_t modifierFlags) {
    if (!platform().capabilities().optionDragTiling) return;
    if (modifierFlags & ModifierFlag::option) {
        turnOff();
    } else {
        restore();
    }
}

void OptionTiling::turnOffIfOwed(std::uint64_t modifierFlags) {
    if (!platform().capabilities().optionDragTiling) return;
    if ((modifierFlags & ModifierFlag::option) && !disabledByUs()) turnOff();
}

}  // namespace kestr
