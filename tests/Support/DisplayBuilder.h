// Adds a display to the simulated desktop; the calls that follow change it in place,
// so a test says only what matters to it:
//     DisplayBuilder(*sim, 1, Rect(0, 0, 1440, 900)).menuBar(25).uuid(kMain);
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "Platform/Sim/SimDesktop.h"

namespace kestr::test {

class DisplayBuilder {
public:
    // No insets, and a UUID made from the identifier (see uuidOf).
    DisplayBuilder(SimDesktop& sim, DisplayID id, Rect bounds) : world_(sim.world()), index_(world_.displays.size()) {
        world_.displays.push_back(SimDisplay{id, uuidOf(id), bounds, {}});
    }

    // A UUID string that shows the display identifier, so failures are readable.
    static std::string uuidOf(DisplayID id) {
        char text[40];
        std::snprintf(text, sizeof text, "D15B1A70-0000-4000-8000-%012X", id);
        return text;
    }

    DisplayBuilder& uuid(std::optional<std::string> uuid) {
        display().uuid = std::move(uuid);
        return *this;
    }
    // A menu bar of `points` at the top, as the main display has.
    DisplayBuilder& menuBar(double points = 25) {
        display().insets.top = points;
        return *this;
    }
    DisplayBuilder& insets(Insets insets) {
        display().insets = insets;
        return *this;
    }
    // A screen without an identifier in its device description.
    DisplayBuilder& noIdentifier() {
        display().id.reset();
        return *this;
    }

    SimDisplay& display() { return world_.displays.at(index_); }
    operator DisplayID() { return display().id.value_or(0); }

private:
    SimWorld& world_;
    std::size_t index_;
};

}  // namespace kestr::test
