// Scripts that open a fresh window of an item's application, already at its frame and
// showing its saved content (Finder folder, browser tabs, terminal commands); scripts
// that fill or reopen windows that are already there; and the runner for all of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Core/LayoutItem.h"
#include "Platform/Accessibility.h"
#include "Platform/Error.h"
#include "Platform/Geometry.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

class WindowSpawner {
public:
    WindowSpawner() = delete;

    class SpawnError : public Error {
    public:
        enum class Kind { notPermitted, scriptFailed, noNewWindow };

        static SpawnError notPermitted(const std::string& bundleID);
        static SpawnError scriptFailed(const std::string& bundleID, std::int64_t code, const std::string& message);
        static SpawnError noNewWindow(const std::string& bundleID);

        Kind kind() const { return kind_; }
        const std::string& bundleID() const { return bundleID_; }
        std::int64_t code() const { return code_; }
        const std::string& message() const { return message_; }

    private:
        SpawnError(Kind kind, std::string bundleID, std::int64_t code, std::string message, const std::string& text);
        Kind kind_;
        std::string bundleID_;
        std::int64_t code_ = 0;
        std::string message_;
    };

    // Runs the script synchronously and discards its result. The bundle identifier only
    // labels the error. An empty source is a script that could not be made: nothing runs.
    static void run(const std::string& source, const std::string& bundleID);

    // The fresh-window script of the item's application. The frame is global, top-left;
    // none leaves the placement to the application. Empty when no script can be made
    // (a bundle identifier that is not safe to put in a script).
    static std::string makeWindowSource(const LayoutItem& item, const std::optional<Rect>& targetGlobalFrame);

    // Sets the bounds of the application's front window and fills it with the item's
    // content. Script errors are dropped.
    static void setContentOnFrontWindow(const LayoutItem& item, const std::optional<Rect>& targetGlobalFrame);
    // Appends to the open Chrome window with that title the saved tabs it does not show.
    static void addSavedTabsToReusedWindow(const LayoutItem& item, const std::string& windowTitle);
    // Asks a running application with no usable window to open one and waits for a
    // window that is neither one listed before nor one of `excluding`. Throws
    // SpawnError::noNewWindow.
    static Task<AXElement> reopenWindow(LayoutItem item, std::vector<AXElement> excluding, double timeout,
                                        double pollInterval);
    // Terminal's profile names in its own order; empty on any failure.
    static std::vector<std::string> terminalProfiles();

private:
    // Fresh-window pieces.
    static std::string boundsLine(const std::string& ref, const std::optional<Rect>& frame);
    static std::vector<std::string> chromeTabURLs(const LayoutItem& item);
    static std::string chromeTabsBody(const LayoutItem& item, const std::string& windowRef);
    static std::vector<std::string> terminalCommands(const LayoutItem& item);
    static std::string applyProfileToFrontTab(const std::optional<std::string>& profile);
    static std::string terminalExtraTabs(const std::vector<std::string>& commands,
                                         const std::optional<std::string>& profile);
    static std::string terminalSource(const std::vector<std::string>& commands,
                                      const std::optional<std::string>& profile, const std::optional<Rect>& bounds);
    static std::string ghosttySource(const std::vector<std::string>& commands,
                                     const std::optional<std::string>& splitMode);
    static std::string iterm2Source(const std::vector<std::string>& commands, const std::optional<Rect>& bounds);
    static std::string initialInput(const std::string& command);
    static std::string ghosttyTabLine(const std::string& command);
    static std::string iterm2WriteLines(const std::vector<std::string>& commands);
    static std::string finderContentLines(const LayoutItem& item, const std::string& windowRef);

    // Pieces for windows that are already open.
    static std::optional<std::string> frontBoundsSource(const std::string& bundleID, const std::optional<Rect>& frame);
    static std::optional<std::string> setContentSource(const LayoutItem& item,
                                                       const std::optional<std::string>& windowRef);
    static std::string terminalSourceReusingFront(const std::vector<std::string>& commands,
                                                  const std::optional<std::string>& profile);
    static std::string ghosttyReusingFront(const std::vector<std::string>& commands);
    static std::string iterm2ReusingFront(const std::vector<std::string>& commands);
};

}  // namespace kestr
