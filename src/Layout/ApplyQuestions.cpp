#include "Layout/ApplyQuestions.h"

#include <string>
#include <vector>

#include "Core/UnicodeText.h"
#include "Layout/ApplyInFlight.h"
#include "Layout/ApplyLog.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += separator;
        out += parts[i];
    }
    return out;
}

// Application names come from other programs: shown cleaned and isolated, so that none
// rings, draws escapes as glyphs or reverses the sentence around it.
std::string shown(const std::string& name) { return UnicodeText::isolatedForDisplay(name); }

// The apply's question, with the apply marked as waiting for the answer: an apply asked
// for meanwhile says so.
int ask(const AlertRequest& request) {
    const ApplyInFlight::Asking asking(ApplyInFlight::shared());
    return platform().alerts().runModal(request);
}

}  // namespace

bool ApplyQuestions::confirmMoves(const std::vector<LayoutApplier::PendingMove>& moves) {
    AlertRequest request;
    request.style = AlertStyle::informational;
    request.messageText = moves.size() == 1 ? "Move " + shown(moves.front().appName) + " to this screen?"
                                            : "Move " + std::to_string(moves.size()) + " windows to this screen?";
    std::vector<std::string> lines;
    for (const LayoutApplier::PendingMove& move : moves) {
        lines.push_back("• " + shown(move.appName) + ": " + DisplayManager::label(move.fromID) + " → " +
                        DisplayManager::label(move.toID));
    }
    request.informativeText =
        "These apps are already open on another screen and will be moved here:\n" + joined(lines, "\n");
    request.buttons = {"Move", "Cancel"};
    return ask(request) == alertFirstButtonReturn;
}

void ApplyQuestions::notifyUnplaced(const std::vector<LayoutApplier::UnplacedApp>& apps) {
    AlertRequest request;
    request.style = AlertStyle::informational;
    request.messageText = apps.size() == 1 ? "“" + shown(apps.front().name) + "” couldn't be placed"
                                           : std::to_string(apps.size()) + " apps couldn't be placed";
    std::vector<std::string> names;
    for (const LayoutApplier::UnplacedApp& app : apps) {
        names.push_back(shown(app.name));
        request.iconBundleIDs.push_back(app.bundleID);
    }
    request.informativeText =
        "These apps are already open, but kestr couldn't open or move a window for them on this screen — " +
        platform().wording().unplacedReason() + ":\n\n• " + joined(names, "\n• ") +
        "\n\nMove them to this desktop (or close and reopen them here), then apply the kest again.";
    request.buttons = {"OK"};
    ask(request);
}

void ApplyQuestions::notifyDropped(const Layout& kest) {
    // The log is not where the user looks, and the alert may be under other windows.
    const bool asking = ApplyInFlight::shared().isAsking();
    if (asking) platform().alerts().bringOpenAlertForward();
    const std::string why = asking ? "first answer kestr's alert." : "kestr is still applying a kest.";
    platform().toasts().show(ToastText::around("“", shown(kest.name), "” wasn't applied: " + why), ToastFeel::alert,
                             droppedToastDuration);
}

void ApplyQuestions::notifyNotOpened(const Layout& kest, int items) {
    const std::string count = std::to_string(items) + (items == 1 ? " window wasn't" : " windows weren't");
    platform().toasts().show(
        ToastText::around("“", shown(kest.name), "”: " + count + " opened — " + ApplyLog::notOpenedReason() + "."),
        ToastFeel::alert, notOpenedToastDuration);
}

}  // namespace kestr
