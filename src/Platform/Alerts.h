// Modal alerts that core logic asks the user interface to show.
#pragma once

#include <string>
#include <vector>

namespace kestr {

enum class AlertStyle { informational, warning, critical };

struct AlertRequest {
    AlertStyle style = AlertStyle::informational;
    std::string messageText;
    std::string informativeText;
    // Button titles, first button first.
    std::vector<std::string> buttons;
    // Applications whose icons the alert shows, by bundle identifier.
    std::vector<std::string> iconBundleIDs;
    friend bool operator==(const AlertRequest&, const AlertRequest&) = default;
};

// The response of the first button; the n-th button answers alertFirstButtonReturn + n - 1.
constexpr int alertFirstButtonReturn = 1000;

class Alerts {
public:
    virtual ~Alerts() = default;
    // Blocks until the user answers; returns the button's response.
    virtual int runModal(const AlertRequest& request) = 0;
    // Brings the alert that waits for an answer, if one does, in front of the user's
    // windows on the desktop the user is on.
    virtual void bringOpenAlertForward() {}
};

}  // namespace kestr
