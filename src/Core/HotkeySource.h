// What a registered global shortcut triggers.
#pragma once

#include <variant>

#include "Core/Uuid.h"
#include "Core/SnapAction.h"

namespace kestr {

struct HotkeySource {
    struct Layout {
        Uuid id;
        friend bool operator==(const Layout&, const Layout&) = default;
    };
    struct Snap {
        SnapAction action;
        friend bool operator==(const Snap& a, const Snap& b) { return a.action == b.action; }
    };
    struct CaptureCurrent {
        friend bool operator==(const CaptureCurrent&, const CaptureCurrent&) = default;
    };

    std::variant<Layout, Snap, CaptureCurrent> value;

    static HotkeySource layout(Uuid id) { return {Layout{id}}; }
    static HotkeySource snap(SnapAction action) { return {Snap{action}}; }
    static HotkeySource captureCurrent() { return {CaptureCurrent{}}; }

    friend bool operator==(const HotkeySource&, const HotkeySource&) = default;
};

}  // namespace kestr
