// The re-flow of one display's placements: windows read as columns standing side by
// side, each a stack of rows of windows side by side, packed one dimension at a time so
// that they fit the visible area without overlapping. Windows that already fit are left
// exactly as they are.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Core/Uuid.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Geometry.h"

namespace kestr {

class ColumnReflow {
public:
    ColumnReflow() = delete;

    using Placements = LayoutApplier::Placements;

    // Item identifier -> the smallest size the item's window says it takes, where it is
    // known.
    using KnownMinimums = std::map<Uuid, Size>;
    // The smallest size the window of the item `id` (of application `bundleID`) counts
    // with on a display whose visible area is `room` large: never below the size assumed
    // for its application (a window that states no real minimum would be crushed to a
    // sliver no window list shows), never above the room itself (a larger one would carry
    // the windows of its column off the display).
    static Size minimumOf(const Uuid& id, const std::string& bundleID, const KnownMinimums& minimums, const Size& room);

    // Re-flows the placements `ids` of one display so that they fit `visible`.
    static void reflowColumns(Placements& placements, const std::vector<Uuid>& ids, const Rect& visible,
                              const KnownMinimums& minimums = {});

    struct Segment {
        double start = 0;
        double size = 0;
        friend bool operator==(const Segment&, const Segment&) = default;
    };
    // Packs segments into [availStart, availEnd], shrinking them no further than their
    // minimums; absent when they already fit without overlapping.
    static std::optional<std::vector<Segment>> pack1D(const std::vector<double>& starts,
                                                      const std::vector<double>& sizes, const std::vector<double>& mins,
                                                      double availStart, double availEnd);

private:
    // The placements of one column or one row, looked up once: grouping compares every
    // window with every earlier one.
    using Group = std::vector<LayoutApplier::Placement*>;
    // Each placement's smallest size, looked up once.
    using Minimums = std::map<const LayoutApplier::Placement*, Size>;

    // Stacks one column's rows into the visible height, then packs each row's windows
    // side by side.
    static void reflowColumn(const Group& column, const Rect& visible, const Minimums& minimums);
    // Packs the columns side by side into the visible width.
    static void packColumnsHorizontally(const std::vector<Group>& columns, const Rect& visible,
                                        const Minimums& minimums);
};

}  // namespace kestr
