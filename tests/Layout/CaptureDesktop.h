// A simulated desktop to capture: two displays, applications with windows, and the
// answers of the content read scripts. Shared by the capture tests and the round trip.
#pragma once

#include <map>
#include <string>

#include "Core/Layout.h"
#include "Support/DesktopTest.h"

namespace kestr::test {

class CaptureTest : public DesktopTest {
protected:
    void SetUp() override;

    // A 1440 x 900 main display with a 25-point menu bar, and a 1920 x 1080 display to
    // its right without insets.
    void addDisplays();
    static std::string mainUUID() { return uuidOf(1); }
    static std::string sideUUID() { return uuidOf(2); }
    static SimWindow windowOnSpace(std::string title, Rect frame, int space);

    // Script answers by the application a script is sent to; a script to any other
    // application fails.
    std::map<std::string, std::string> scriptOutput;
    // How many scripts were sent to the application.
    int scriptsSentTo(const std::string& bundleID) const;

    static const LayoutItem* itemTitled(const Layout& layout, const std::string& title);
};

}  // namespace kestr::test
