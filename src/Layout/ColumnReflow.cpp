#include "Layout/ColumnReflow.h"

#include <algorithm>
#include <numeric>

#include "Core/KnownApplications.h"

namespace kestr {

namespace {

// Half a point: closer than that counts as touching, inside or equal.
constexpr double kTolerance = 0.5;
// More shrinking passes than that never change the outcome noticeably.
constexpr int kMaxShrinkPasses = 16;

enum class Direction { horizontal, vertical };

double low(const Rect& r, Direction d) { return d == Direction::horizontal ? r.minX() : r.minY(); }
double high(const Rect& r, Direction d) { return d == Direction::horizontal ? r.maxX() : r.maxY(); }
double length(const Rect& r, Direction d) { return d == Direction::horizontal ? r.width() : r.height(); }
using Minimums = std::map<const LayoutApplier::Placement*, Size>;

double minimumLength(const LayoutApplier::Placement& p, Direction d, const Minimums& minimums) {
    const Size m = minimums.at(&p);
    return d == Direction::horizontal ? m.width : m.height;
}

// Moves a rectangle's edge along one direction and gives it a new length there.
void setExtent(Rect& r, Direction d, double origin, double size) {
    if (d == Direction::horizontal) {
        r.origin.x = origin;
        r.size.width = size;
    } else {
        r.origin.y = origin;
        r.size.height = size;
    }
}

// Two windows belong together along a direction when their extents there overlap by
// strictly more than half of the smaller one; windows that merely touch never do.
bool belongTogether(const Rect& a, const Rect& b, Direction d) {
    const double overlap = std::min(high(a, d), high(b, d)) - std::max(low(a, d), low(b, d));
    return overlap > std::min(length(a, d), length(b, d)) / 2;
}

using Window = LayoutApplier::Placement*;
using Group = std::vector<Window>;

Group sortedByLowEdge(Group windows, Direction d) {
    std::stable_sort(windows.begin(), windows.end(),
                     [d](Window a, Window b) { return low(a->local, d) < low(b->local, d); });
    return windows;
}

// Each window, in the given order, joins the first group formed so far that has a
// member it belongs together with, else starts a group of its own.
std::vector<Group> formGroups(const Group& windows, Direction d) {
    std::vector<Group> groups;
    for (Window w : windows) {
        auto joined = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            return std::any_of(g.begin(), g.end(), [&](Window m) { return belongTogether(w->local, m->local, d); });
        });
        if (joined != groups.end()) {
            joined->push_back(w);
        } else {
            groups.push_back({w});
        }
    }
    return groups;
}

double groupLow(const Group& group, Direction d) {
    if (group.empty()) return 0;
    double v = low(group.front()->local, d);
    for (Window w : group) v = std::min(v, low(w->local, d));
    return v;
}

double groupHigh(const Group& group, Direction d) {
    if (group.empty()) return 0;
    double v = high(group.front()->local, d);
    for (Window w : group) v = std::max(v, high(w->local, d));
    return v;
}

// Packs whole groups (rows of a column, or columns of a display) along one direction;
// every member of a group is moved and scaled with its group.
void packGroups(std::vector<Group> groups, Direction d, double availStart, double availEnd, const Minimums& minimums) {
    std::stable_sort(groups.begin(), groups.end(),
                     [d](const Group& a, const Group& b) { return groupLow(a, d) < groupLow(b, d); });
    std::vector<double> starts, sizes, mins;
    for (const Group& g : groups) {
        const double start = groupLow(g, d);
        starts.push_back(start);
        sizes.push_back(groupHigh(g, d) - start);
        double m = 0;
        for (Window w : g) m = std::max(m, minimumLength(*w, d, minimums));
        mins.push_back(m);
    }
    const auto packed = ColumnReflow::pack1D(starts, sizes, mins, availStart, availEnd);
    if (!packed) return;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const auto [start, size] = (*packed)[i];
        const double factor = sizes[i] > kTolerance ? size / sizes[i] : 1;
        for (Window w : groups[i]) {
            Rect& r = w->local;
            const double origin = d == Direction::horizontal ? r.origin.x : r.origin.y;
            // Windows side by side in one group shrink with it only to their own minimum,
            // and then overlap within the group's new extent, which is never below any
            // member's minimum.
            const double extent = std::max(length(r, d) * factor, minimumLength(*w, d, minimums));
            const double at = std::min(start + (origin - starts[i]) * factor, start + size - extent);
            setExtent(r, d, std::max(at, start), extent);
        }
    }
}

// Packs the windows of one row side by side, from the row's own leftmost window to the
// right edge of the visible area.
void packRow(const Group& row, const Rect& visible, const Minimums& minimums) {
    const Group members = sortedByLowEdge(row, Direction::horizontal);
    std::vector<double> starts, sizes, mins;
    for (Window w : members) {
        starts.push_back(w->local.minX());
        sizes.push_back(w->local.width());
        mins.push_back(minimumLength(*w, Direction::horizontal, minimums));
    }
    const auto packed = ColumnReflow::pack1D(starts, sizes, mins, starts.front(), visible.maxX());
    if (!packed) return;
    for (std::size_t j = 0; j < members.size(); ++j) {
        setExtent(members[j]->local, Direction::horizontal, (*packed)[j].start, (*packed)[j].size);
    }
}

}  // namespace

Size ColumnReflow::minimumOf(const Uuid& id, const std::string& bundleID, const KnownMinimums& minimums,
                             const Size& room) {
    Size m = KnownApplications::minimumSize(bundleID);
    if (const auto known = minimums.find(id); known != minimums.end()) {
        m.width = std::max(m.width, known->second.width);
        m.height = std::max(m.height, known->second.height);
    }
    return Size{std::min(m.width, room.width), std::min(m.height, room.height)};
}

void ColumnReflow::reflowColumns(Placements& placements, const std::vector<Uuid>& ids, const Rect& visible,
                                 const KnownMinimums& known) {
    Group windows;
    windows.reserve(ids.size());
    Minimums minimums;
    for (const Uuid& id : ids) {
        LayoutApplier::Placement* p = &placements.at(id);
        windows.push_back(p);
        minimums[p] = minimumOf(id, p->bundleID, known, visible.size);
    }
    const auto columns = formGroups(sortedByLowEdge(windows, Direction::horizontal), Direction::horizontal);
    for (const Group& column : columns) reflowColumn(column, visible, minimums);
    packColumnsHorizontally(columns, visible, minimums);
}

void ColumnReflow::reflowColumn(const Group& column, const Rect& visible, const Minimums& minimums) {
    const auto rows = formGroups(sortedByLowEdge(column, Direction::vertical), Direction::vertical);
    packGroups(rows, Direction::vertical, visible.minY(), visible.maxY(), minimums);
    for (const Group& row : rows) {
        if (row.size() >= 2) packRow(row, visible, minimums);
    }
}

void ColumnReflow::packColumnsHorizontally(const std::vector<Group>& columns, const Rect& visible,
                                           const Minimums& minimums) {
    if (columns.size() < 2) return;
    packGroups(columns, Direction::horizontal, visible.minX(), visible.maxX(), minimums);
}

std::optional<std::vector<ColumnReflow::Segment>> ColumnReflow::pack1D(const std::vector<double>& starts,
                                                                       const std::vector<double>& sizes,
                                                                       const std::vector<double>& mins,
                                                                       double availStart, double availEnd) {
    const std::size_t n = std::min({starts.size(), sizes.size(), mins.size()});
    if (n == 0) return std::nullopt;

    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return starts[a] < starts[b]; });

    bool fits = true;
    for (std::size_t k = 0; k < n && fits; ++k) {
        const std::size_t i = order[k];
        const double end = starts[i] + sizes[i];
        if (starts[i] < availStart - kTolerance || end > availEnd + kTolerance) fits = false;
        if (k + 1 < n && end > starts[order[k + 1]] + kTolerance) fits = false;
    }
    if (fits) return std::nullopt;

    std::vector<double> size(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(n));
    const auto sum = [&] { return std::accumulate(size.begin(), size.end(), 0.0); };
    double total = sum();
    const double room = availEnd - availStart;

    if (total > room + kTolerance) {
        for (int pass = 0; pass < kMaxShrinkPasses; ++pass) {
            std::vector<std::size_t> shrinkable;
            double slack = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (size[i] - mins[i] > kTolerance) {
                    shrinkable.push_back(i);
                    slack += size[i] - mins[i];
                }
            }
            if (shrinkable.empty() || slack < kTolerance) break;
            const double cut = std::min(slack, total - room);
            for (std::size_t i : shrinkable) size[i] -= (size[i] - mins[i]) / slack * cut;
            total = sum();
            if (total <= room + kTolerance) break;
        }
    }

    std::vector<Segment> result(n);
    if (n > 1 && total > room) {
        // Where the minimum sizes leave no way to fit, they overlap: each one stands an
        // equal step further along the way its size leaves it in the room, the first at
        // the near end, the last at the far end. Neighbours of one size overlap by equal
        // shares; none that fits the room passes its ends, and no two smaller than it lie
        // on one place (one that fills it leaves the others spread over it, not piled at
        // its end).
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = order[k];
            const double along = static_cast<double>(k) / static_cast<double>(n - 1);
            result[i] = Segment{availStart + (room - size[i]) * along, size[i]};
        }
        return result;
    }
    double cursor = std::max(availStart, std::min(starts[order.front()], availEnd - total));
    for (std::size_t i : order) {
        result[i] = Segment{cursor, size[i]};
        cursor += size[i];
    }
    return result;
}

}  // namespace kestr
