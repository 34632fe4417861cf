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
    QString shownDescription() const { return item->image() ? item->image()->description : QString(); }
    void advance(double seconds) { sim->virtualTime().advance(seconds); }

    RecordingStatusItem* item = nullptr;
    std::unique_ptr<MenuBarController> controller;
};

}  // namespace kestr::test
