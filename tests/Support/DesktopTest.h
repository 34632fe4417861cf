// A simulated desktop with shorthands for the displays, applications and windows that
// tests build (through the builders of this folder).
#pragma once

#include <string>
#include <vector>

#include "Core/ScreenFrame.h"
#include "Support/AppBuilder.h"
#include "Support/DisplayBuilder.h"
#include "Support/ItemBuilder.h"
#include "Support/SimTest.h"

namespace kestr::test {

class DesktopTest : public SimTest {
protected:
    static std::string uuidOf(DisplayID id) { return DisplayBuilder::uuidOf(id); }

    DisplayBuilder addDisplay(DisplayID id, Rect bounds, Insets insets = {}) {
        return std::move(DisplayBuilder(*sim, id, bounds).insets(insets));
    }
    AppBuilder app(std::string bundleID, std::string name) {
        return AppBuilder(*sim, std::move(bundleID), std::move(name));
    }

    // A frame on the display, without the recorded display fields.
    static ScreenFrame frameOn(DisplayID id, double x, double y, double w, double h) {
        return ScreenFrame{uuidOf(id), x, y, w, h, {}, {}, {}, {}};
    }

    static SimWindow window(std::string title, Rect frame) { return titledWindow(std::move(title), frame); }

    // A running application with these windows (not installed).
    SimProcess& addApp(std::string bundleID, std::string name, std::vector<SimWindow> windows,
                       ActivationPolicy policy = ActivationPolicy::regular) {
        AppBuilder builder = app(std::move(bundleID), std::move(name));
        for (SimWindow& w : windows) builder.window(std::move(w));
        return builder.policy(policy).run();
    }

    // The windows of a process, in "AXWindows" order.
    static std::vector<AXElement> elementsOf(const SimProcess& p) {
        std::vector<AXElement> out;
        for (const SimWindow& w : p.windows) out.push_back(w.element);
        return out;
    }

    SimWindow& simWindow(AXElement element) { return *sim->world().window(element); }
};

}  // namespace kestr::test
