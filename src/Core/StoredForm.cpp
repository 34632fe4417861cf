#include "Core/StoredForm.h"

#include <utility>

#include "Core/ModelJson.h"
#include "Core/ThreeWayMerge.h"

namespace kestr {

namespace {

// Whether two items differ in their frames at most. `stored` is put back as it was.
bool sameButFrames(LayoutItem& stored, const LayoutItem& tidied) {
    ScreenFrame target = std::move(stored.targetFrame);
    std::optional<ScreenFrame> captured = std::move(stored.capturedFrame);
    stored.targetFrame = tidied.targetFrame;
    stored.capturedFrame = tidied.capturedFrame;
    const bool same = stored == tidied;
    stored.targetFrame = std::move(target);
    stored.capturedFrame = std::move(captured);
    return same;
}

}  // namespace

StoredForm::StoredForm(Layout stored, const Layout& tidied, std::uint64_t storedDigest)
    : storedDigest_(storedDigest), itemCount_(stored.items.size()) {
    bool whole = stored.id != tidied.id || stored.name != tidied.name || stored.hotkey != tidied.hotkey ||
                 stored.createdAt != tidied.createdAt || stored.updatedAt != tidied.updatedAt;
    std::size_t kept = 0;
    for (std::size_t i = 0; !whole && i < stored.items.size(); ++i) {
        LayoutItem& item = stored.items[i];
        if (kept < tidied.items.size() && sameButFrames(item, tidied.items[kept])) {
            const LayoutItem& now = tidied.items[kept++];
            if (item.targetFrame == now.targetFrame && item.capturedFrame == now.capturedFrame) continue;
            items_.push_back({i,
                              nullptr,
                              {std::move(item.targetFrame), std::move(item.capturedFrame)},
                              {now.targetFrame, now.capturedFrame}});
        } else {
            items_.push_back({i, std::make_shared<const LayoutItem>(std::move(item)), {}, {}});
            ++droppedCount_;
        }
    }
    if (whole || kept != tidied.items.size()) {
        items_.clear();
        wholeTidied_ = std::make_shared<const Layout>(tidied);
        wholeStored_ = std::make_shared<const Layout>(std::move(stored));
        return;
    }
    items_.shrink_to_fit();
    if (stored.edgeGroups != tidied.edgeGroups)
        groups_ = std::make_unique<const Groups>(Groups{std::move(stored.edgeGroups), tidied.edgeGroups});
}

StoredForm::StoredForm(Untidied stored, const Layout& tidied, std::uint64_t storedDigest)
    : storedDigest_(storedDigest), itemCount_(tidied.items.size()) {
    if (stored.whole) {
        *this = StoredForm(std::move(*stored.whole), tidied, storedDigest);
        return;
    }
    for (std::size_t i = 0; i < itemCount_; ++i) {
        const LayoutItem& now = tidied.items[i];
        Frames& before = stored.frames[i];
        if (before.target == now.targetFrame && before.captured == now.capturedFrame) continue;
        items_.push_back({i, nullptr, std::move(before), {now.targetFrame, now.capturedFrame}});
    }
    items_.shrink_to_fit();
    if (stored.edgeGroups != tidied.edgeGroups)
        groups_ = std::make_unique<const Groups>(Groups{std::move(stored.edgeGroups), tidied.edgeGroups});
}

std::optional<Layout> StoredForm::storedFormFor(const Layout& current) const {
    if (wholeStored_) return current == *wholeTidied_ ? std::optional<Layout>(*wholeStored_) : std::nullopt;
    if (current.items.size() + droppedCount_ != itemCount_) return std::nullopt;
    if (groups_ && current.edgeGroups != groups_->tidied) return std::nullopt;
    Layout out;
    out.id = current.id;
    out.name = current.name;
    out.hotkey = current.hotkey;
    out.createdAt = current.createdAt;
    out.updatedAt = current.updatedAt;
    out.edgeGroups = groups_ ? groups_->stored : current.edgeGroups;
    out.items.reserve(itemCount_);
    auto change = items_.begin();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < itemCount_; ++i) {
        const bool changed = change != items_.end() && change->index == i;
        if (changed && change->dropped) {
            out.items.push_back(*change->dropped);
            ++change;
            continue;
        }
        out.items.push_back(current.items[kept++]);
        if (!changed) continue;
        LayoutItem& item = out.items.back();
        if (Frames{item.targetFrame, item.capturedFrame} != change->tidied) return std::nullopt;
        item.targetFrame = change->stored.target;
        item.capturedFrame = change->stored.captured;
        ++change;
    }
    // Everything the tidying left alone is as stored exactly when the whole is.
    if (ThreeWayMerge::digestOf(out) != storedDigest_) return std::nullopt;
    return out;
}

}  // namespace kestr
