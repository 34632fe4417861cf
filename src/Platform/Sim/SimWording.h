// The simulated desktop's words: modifier glyphs, the menu bar, Spaces and Mission
// Control, scripts, an updater in place.
#pragma once

#include "Platform/Wording.h"

namespace kestr {

class SimWording : public Wording {
public:
    std::vector<std::string> whereKestrLives() const override;
    std::string otherDesktopsNote() const override;
    std::string unplacedReason() const override;
    std::string newWindowRefused(const std::string& bundleID, std::int64_t code,
                                 const std::string& message) const override;
    std::string technicalDetails() const override { return "Technical details are in Console."; }
    std::string updatesNote() const override;
    std::optional<std::string> windowListWritten(const std::string&) const override { return std::nullopt; }
    std::string shortcut(std::uint32_t carbonModifiers, const std::string& keyLabel) const override;
    std::string modifierKey(std::uint32_t carbonModifier) const override;
    std::string snapsTabCommand() const override { return "Import from Magnet / Rectangle\u2026"; }
};

}  // namespace kestr
