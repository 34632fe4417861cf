// The menu-bar controller on the default simulated desktop, with a recording status
// item, the services wired as the program wires them.
#pragma once

#include <memory>

#include "App/MenuBarController.h"
#include "App/ServiceWiring.h"
#include "Support/RecordingStatusItem.h"
#include "Support/SimTest.h"

namespace kestr::test {

class MenuBarTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        loadDefaultScenario();
        ServiceWiring::connect();
    }
    void TearDown() override {
        controller.reset();
        SimTest::TearDown();
    }
    MenuBarController& makeController() {
        auto recording = std::make_unique<RecordingStatusItem>();
        item = recording.get();
        controller = std::make_unique<MenuBarController>(std::move(recording));
        sim->virtualTime().runPending();
        return *controller;
    }
    // A kest that puts the Notes window "Shopping list" at the top left of the main display.
    static Layout kestOfNotes(const std::string& name, std::optional<Hotkey> hotkey, bool withItem = true) {
        Layout kest;
        kest.id = Uuid::random();
        kest.name = name;
        kest.hotkey = hotkey;
        if (!withItem) return kest;
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = "com.example.Notes";
        item.appName = "Notes";
        item.windowMatcher = WindowMatcher::titleContains("Shopping");
        item.targetFrame = ScreenFrame{"37D8832A-2D66-4B0F-9F3F-1234567890AB", 0, 25, 900, 700, {}, {}, {}, {}};
        kest.items = {item};
        return kest;
    }
    QString shownDescription() const { return item->image() ? item->image()->description : QString(); }
    void advance(double seconds) { sim->virtualTime().advance(seconds); }

    RecordingStatusItem* item = nullptr;
    std::unique_ptr<MenuBarController> controller;
};

}  // namespace kestr::test
