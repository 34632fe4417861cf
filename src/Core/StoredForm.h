// How a kest was stored, beside the form it was tidied into in memory (see
// LayoutStore::tidy). Kept small: only what the tidying changed (the items it dropped,
// the frames it moved, the edge groups, each as stored and as tidied) and a digest of
// the stored form. The stored form is put back together from the kest in memory; it is
// the right one exactly when the kest still shows the tidied values and the result has
// the stored digest, so no second copy of the kest is needed to tell whether it changed.
// Anything else changed, and both forms are kept whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Core/Layout.h"

namespace kestr {

class StoredForm {
public:
    struct Frames {
        ScreenFrame target;
        std::optional<ScreenFrame> captured;
        friend bool operator==(const Frames&, const Frames&) = default;
    };
    // A kest as it was before a tidying changed it in place: whole, or, where the tidying
    // changed nothing but the items' frames and the edge groups, only those.
    struct Untidied {
        std::optional<Layout> whole;
        std::vector<Frames> frames;  // each item's, in order
        std::vector<EdgeGroup> edgeGroups;
    };

    // `storedDigest`: ThreeWayMerge::digestOf the stored form.
    StoredForm(Layout stored, const Layout& tidied, std::uint64_t storedDigest);
    StoredForm(Untidied stored, const Layout& tidied, std::uint64_t storedDigest);

    // The stored form, when `current` is still the tidied form; none when it has changed.
    std::optional<Layout> storedFormFor(const Layout& current) const;
    std::uint64_t storedDigest() const { return storedDigest_; }

private:
    // One stored item that the tidied form dropped, or whose frames it changed.
    struct ItemChange {
        std::size_t index = 0;  // among the stored items
        std::shared_ptr<const LayoutItem> dropped;
        Frames stored;
        Frames tidied;
    };
    struct Groups {
        std::vector<EdgeGroup> stored;
        std::vector<EdgeGroup> tidied;
    };

    std::uint64_t storedDigest_ = 0;
    std::size_t itemCount_ = 0;
    std::size_t droppedCount_ = 0;
    std::vector<ItemChange> items_;
    std::unique_ptr<const Groups> groups_;
    std::shared_ptr<const Layout> wholeStored_;
    std::shared_ptr<const Layout> wholeTidied_;
};

}  // namespace kestr
