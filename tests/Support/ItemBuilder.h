// One item of a kest, with what a test cares about and plain defaults for the rest:
// a fresh id, the first window of the application, launched when missing.
//     LayoutItem editor = ItemBuilder("com.example.Editor", "Editor").on(1, Rect(0, 25, 720, 875));
#pragma once

#include <optional>
#include <string>

#include "Core/LayoutItem.h"
#include "Platform/Geometry.h"
#include "Support/DisplayBuilder.h"

namespace kestr::test {

class ItemBuilder {
public:
    explicit ItemBuilder(std::string bundleID, std::optional<std::string> name = std::nullopt) {
        item_.id = Uuid::random();
        item_.appName = name.value_or(bundleID);
        item_.appBundleID = std::move(bundleID);
        item_.windowMatcher = WindowMatcher::firstWindow();
    }

    ItemBuilder& id(Uuid id) {
        item_.id = id;
        return *this;
    }
    // The target frame, display-local, without the recorded display fields.
    ItemBuilder& on(const std::string& displayUUID, Rect frame) {
        item_.targetFrame =
            ScreenFrame{displayUUID, frame.x(), frame.y(), frame.width(), frame.height(), {}, {}, {}, {}};
        return *this;
    }
    // On a display added with DisplayBuilder under its made-up UUID.
    ItemBuilder& on(DisplayID display, Rect frame) { return on(DisplayBuilder::uuidOf(display), frame); }
    ItemBuilder& target(ScreenFrame frame) {
        item_.targetFrame = std::move(frame);
        return *this;
    }
    ItemBuilder& matcher(WindowMatcher matcher) {
        item_.windowMatcher = std::move(matcher);
        return *this;
    }
    ItemBuilder& launchIfMissing(bool launch) {
        item_.launchIfMissing = launch;
        return *this;
    }
    ItemBuilder& capturedTitle(std::string title) {
        item_.capturedWindowTitle = std::move(title);
        return *this;
    }

    LayoutItem& item() { return item_; }
    operator LayoutItem() const { return item_; }

private:
    LayoutItem item_;
};

}  // namespace kestr::test
