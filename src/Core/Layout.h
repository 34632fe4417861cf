// A kest: a named arrangement of windows, and the document "layouts.json" holds.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Core/EdgeGroup.h"
#include "Core/Hotkey.h"
#include "Core/LayoutItem.h"
#include "Core/Uuid.h"
#include "Platform/Date.h"

namespace kestr {

struct Layout {
    Uuid id;
    std::string name;
    std::optional<Hotkey> hotkey;
    std::vector<LayoutItem> items;
    std::vector<EdgeGroup> edgeGroups;
    Date createdAt;
    Date updatedAt;

    // A copy without the items that stand for the Finder desktop; everything else,
    // edge groups included, unchanged.
    Layout strippingDesktopJunk() const;
    // Whether strippingDesktopJunk() would drop any item.
    bool hasDesktopJunk() const;
    // Every item frame, target and captured, replaced by what `refit` makes of it.
    void refitFrames(const std::function<ScreenFrame(const ScreenFrame&)>& refit);

    friend bool operator==(const Layout&, const Layout&) = default;
};

struct LayoutDocument {
    std::int64_t version = 1;
    std::vector<Layout> layouts;
    friend bool operator==(const LayoutDocument&, const LayoutDocument&) = default;
};

}  // namespace kestr
