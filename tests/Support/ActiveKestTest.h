// A desktop for edge resizing and drag snap: two displays side by side (the first with
// a 25-point menu bar) and a kest of two windows that share the edge x = 720 on the
// first, with those windows open where the kest puts them.
#pragma once

#include <vector>

#include "Core/Layout.h"
#include "Layout/EdgeGroupDetector.h"
#include "Support/DesktopTest.h"

namespace kestr::test {

// An item of a test kest; its identifier ends in `n`.
inline LayoutItem kestItem(const std::string& bundleID, const ScreenFrame& frame, std::uint8_t n) {
    Uuid id;
    id.bytes[15] = n;
    return ItemBuilder(bundleID).id(id).target(frame);
}

class ActiveKestTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
        addDisplay(2, Rect(1440, 0, 1920, 1080));
        left = &addApp("com.example.editor", "Editor", {window("Code", Rect(0, 25, 720, 875))});
        right = &addApp("com.example.browser", "Browser", {window("Docs", Rect(720, 25, 720, 875))});
        kest = twoWindowKest();
    }

    static Layout twoWindowKest() {
        Layout k;
        k.id.bytes[0] = 0x4e;
        k.name = "Split";
        k.items = {kestItem("com.example.editor", frameOn(1, 0, 25, 720, 875), 1),
                   kestItem("com.example.browser", frameOn(1, 720, 25, 720, 875), 2)};
        k.edgeGroups = EdgeGroupDetector::detectGroups(k.items, 4.0, 120.0);
        return k;
    }

    // Moves the pointer to a global point as a mouse-moved event would.
    void movePointer(Point global) { post(EventType::mouseMoved, global); }
    // Presses exactly these modifier keys (none releases them all).
    void holdModifiers(std::uint64_t flags) { post(EventType::flagsChanged, sim->world().pointer, flags); }
    // Posts an event at a global point and runs what it starts.
    void post(EventType type, Point global, std::optional<std::uint64_t> flags = std::nullopt) {
        Event event;
        event.type = type;
        event.location = toAppKit(global);
        event.modifierFlags = flags.value_or(sim->simEventMonitors().modifierFlags());
        sim->simEventMonitors().post(event);
        sim->virtualTime().runPending();
    }
    Point toAppKit(Point global) { return Point{global.x, sim->world().mainHeight() - global.y}; }

    SimProcess* left = nullptr;
    SimProcess* right = nullptr;
    Layout kest;
};

}  // namespace kestr::test
