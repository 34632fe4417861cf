// What the read scripts report during one capture — Finder folders, the tabs of each
// Chrome, Ghostty panes — and how it is paired with the captured windows. Where
// applications take no scripts, a terminal's folder is read from its shell instead;
// browser tabs cannot be read there.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Core/LayoutItem.h"
#include "Layout/WindowContentReader.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

class CapturedContent {
public:
    // Runs the Finder and Chrome read scripts for the applications among the windows
    // being captured; scripts of applications without windows are not run.
    explicit CapturedContent(const std::vector<EnumeratedWindow>& windows);

    // Fills the content fields of the window's item from what was read.
    void fill(LayoutItem& item, const EnumeratedWindow& window) const;

    // How far a script's window corner may lie from a captured window's.
    static constexpr double matchTolerance = 24.0;

    // Where applications take no scripts, the folder of a terminal window's shell; none
    // for other windows, elsewhere, or where the desktop cannot tell.
    static std::optional<std::string> terminalFolder(const EnumeratedWindow& window);

private:
    void fillFinder(LayoutItem& item, const EnumeratedWindow& window) const;
    void fillChrome(LayoutItem& item, const EnumeratedWindow& window) const;
    void fillGhostty(LayoutItem& item, const EnumeratedWindow& window) const;
    void fillTerminalFolder(LayoutItem& item, const EnumeratedWindow& window) const;

    std::vector<WindowContentReader::WindowContent> finder_;
    // Each Chrome is asked on its own, and its windows take only its own entries.
    std::map<std::string, std::vector<WindowContentReader::WindowContent>> chrome_;
    int ghosttyWindows_ = 0;
};

}  // namespace kestr
