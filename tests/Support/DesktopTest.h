// A simulated desktop with shorthands for the displays, applications and windows that
// tests build.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "Core/ScreenFrame.h"
#include "Support/SimTest.h"

namespace kestr::test {

class DesktopTest : public SimTest {
protected:
    // A UUID string that names the display identifier, so failures are readable.
    static std::string uuidOf(DisplayID id) {
        char text[40];
        std::snprintf(text, sizeof text, "D15B1A70-0000-4000-8000-%012X", id);
        return text;
    }

    DisplayID addDisplay(DisplayID id, Rect bounds, Insets insets = {}) {
        sim->world().displays.push_back(SimDisplay{id, uuidOf(id), bounds, insets});
        return id;
    }

    // A frame on the display, without the recorded display fields.
    static ScreenFrame frameOn(DisplayID id, double x, double y, double w, double h) {
        ScreenFrame f;
        f.displayUUID = uuidOf(id);
        f.x = x;
        f.y = y;
        f.width = w;
        f.height = h;
        return f;
    }

    static SimWindow window(std::string title, Rect frame) {
        SimWindow w;
        w.title = std::move(title);
        w.position = frame.origin;
        w.size = frame.size;
        return w;
    }

    SimProcess& addApp(std::string bundleID, std::string name, std::vector<SimWindow> windows,
                       ActivationPolicy policy = ActivationPolicy::regular) {
        SimProcess p;
        p.bundleID = std::move(bundleID);
        p.name = std::move(name);
        p.policy = policy;
        p.windows = std::move(windows);
        return sim->world().addProcess(std::move(p));
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
