// The lines an apply writes to the system log, one per event, and the short forms of
// modes and matchers they are made of.
#pragma once

#include <string>

#include "Core/LayoutItem.h"
#include "Core/WindowMatcher.h"
#include "Layout/LayoutApplier.h"

namespace kestr {

class ApplyLog {
public:
    ApplyLog() = delete;

    using ApplyMode = LayoutApplier::ApplyMode;
    using Placement = LayoutApplier::Placement;

    // The mode's case name ("restoreMissing").
    static std::string modeName(ApplyMode mode);
    // titleContains("Inbox"), titleRegex("^A"), windowIndex(2), firstWindow.
    static std::string matcherText(const WindowMatcher& matcher);

    static std::string dropped(ApplyMode mode);
    // "→ NONE" without a placement, else the display and the truncated local frame.
    static std::string placement(ApplyMode mode, const LayoutItem& item, const Placement* placement);
    static std::string applied(ApplyMode mode, const LayoutItem& item);
    static std::string skipped(ApplyMode mode, const LayoutItem& item, const std::string& reason);
    static std::string deferred(ApplyMode mode, const LayoutItem& item);
    // The items left without the window they needed, all in one line.
    static std::string notOpened(ApplyMode mode, int items);
    // Why they were left: "an apply opens at most 64 windows".
    static std::string notOpenedReason();

    // How a late window ended, without the tag of its log line (the command line prints
    // these); writeLate logs one.
    static std::string deferredPlaced(const LayoutItem& item, const Placement& placement);
    // After waiting `seconds` for its window.
    static std::string deferredGaveUp(const LayoutItem& item, double seconds);
    static std::string deferredQuit(const LayoutItem& item);
    static void writeLate(const std::string& outcome);

    static void write(const std::string& line);

private:
    static std::string tag(ApplyMode mode);
};

}  // namespace kestr
