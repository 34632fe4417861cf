// The icons of the simulated desktop's applications: the image file a scenario names,
// or a drawing of our own — a rounded square in a colour of the application's own with
// the first letter of its name — so that every application is told apart at a glance.
#pragma once

#include <optional>
#include <string>

#include "Platform/Sim/SimApplication.h"
#include "Platform/Workspace.h"

namespace kestr {

struct SimAppIcon {
    // None when the application names an icon file that cannot be read.
    static std::optional<EncodedImage> icon(const SimApplication& app);
    // The drawn icon, an SVG document.
    static std::string drawn(const SimApplication& app);
};

}  // namespace kestr
