// The window manager's own Option-drag tiling, turned off while Option is the drag-snap
// modifier so that only one of the two answers an Option drag, and given back exactly as
// the user had it when the modifier changes again. A desktop without such tiling gets
// nothing written for it.
#pragma once

#include <cstdint>

#include "Platform/Defaults.h"

namespace kestr {

class OptionTiling {
public:
    static constexpr const char* suiteName = "com.apple.WindowManager";
    static constexpr const char* tilingKey = "EnableTilingOptionAccelerator";
    static constexpr const char* disabledFlagKey = "kestr.osOptionTilingDisabledByKestr";
    // The tiling key's value before kestr first turned it off; absent when it had none.
    static constexpr const char* previousValueKey = "kestr.osOptionTilingPreviousValue";

    explicit OptionTiling(Defaults& defaults) : defaults_(defaults) {}

    // Turns tiling off for Option, or gives it back for any other modifier.
    void reconcile(std::uint64_t modifierFlags);
    // Turns tiling off when Option is the modifier and kestr has not done so yet.
    void turnOffIfOwed(std::uint64_t modifierFlags);

private:
    void turnOff();
    void restore();
    bool disabledByUs();

    Defaults& defaults_;
};

}  // namespace kestr
