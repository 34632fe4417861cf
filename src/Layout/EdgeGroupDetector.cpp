#include "Layout/EdgeGroupDetector.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "Core/KnownApplications.h"

namespace kestr {

namespace {

// One edge of one item.
struct EdgeSample {
    double coord = 0;  // x for a left or right edge, y for a top or bottom edge
    EdgeMember member;
    const ScreenFrame* frame = nullptr;
    const std::string* bundleID = nullptr;
    const WindowLimits* limits = nullptr;  // none when the window's limits are unknown
    // How much further than the threshold this edge may lie from the others: a window
    // that takes its size in steps (character cells) stops short by up to one step.
    double slack = 0;
};

using Cluster = std::vector<EdgeSample>;

double along(Size s, Axis axis) { return axis == Axis::vertical ? s.width : s.height; }

std::vector<EdgeSample> samplesOf(const std::vector<const LayoutItem*>& items, Axis axis,
                                  const ItemWindowLimits& limits) {
    std::vector<EdgeSample> samples;
    samples.reserve(items.size() * 2);
    for (const LayoutItem* item : items) {
        const ScreenFrame& f = item->targetFrame;
        const auto* bundle = &item->appBundleID;
        const auto known = limits.find(item->id);
        const WindowLimits* own = known == limits.end() ? nullptr : &known->second;
        // A step of one point is no step: every window takes whole points.
        const double step = own && own->sizeStep ? along(*own->sizeStep, axis) : 0;
        const double slack = step > 1 && std::isfinite(step) ? step : 0;
        if (axis == Axis::vertical) {
            samples.push_back({f.x, {item->id, WindowEdge::left}, &f, bundle, own, slack});
            samples.push_back({f.x + f.width, {item->id, WindowEdge::right}, &f, bundle, own, slack});
        } else {
            samples.push_back({f.y, {item->id, WindowEdge::top}, &f, bundle, own, slack});
            samples.push_back({f.y + f.height, {item->id, WindowEdge::bottom}, &f, bundle, own, slack});
        }
    }
    return samples;
}

double meanOf(const Cluster& cluster) {
    double sum = 0;
    for (const auto& s : cluster) sum += s.coord;
    return sum / static_cast<double>(cluster.size());
}

// Walks the samples in coordinate order; a sample joins the open cluster while it lies
// within the threshold (plus the largest size step among it and the cluster) of the
// cluster's running mean.
std::vector<Cluster> cluster(std::vector<EdgeSample> samples, double threshold) {
    std::stable_sort(samples.begin(), samples.end(),
                     [](const EdgeSample& a, const EdgeSample& b) { return a.coord < b.coord; });
    std::vector<Cluster> clusters;
    Cluster open;
    double mean = 0;
    double slack = 0;
    for (const auto& s : samples) {
        if (open.empty()) {
            open.push_back(s);
            mean = s.coord;
            slack = s.slack;
        } else if (std::abs(s.coord - mean) <= threshold + std::max(slack, s.slack)) {
            open.push_back(s);
            mean = meanOf(open);
            slack = std::max(slack, s.slack);
        } else {
            clusters.push_back(std::move(open));
            open = {s};
            mean = s.coord;
            slack = s.slack;
        }
    }
    if (!open.empty()) clusters.push_back(std::move(open));
    return clusters;
}

// Across a line: x and width for a vertical one. Along it: y and height.
double acrossStart(const ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.x : f.y; }
double acrossLength(const ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.width : f.height; }
double alongStart(const ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.y : f.x; }
double alongLength(const ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.height : f.width; }

// The line's reach along itself: where the two sides overlap along the line, or, when
// they do not (or only touch), the whole of both.
std::pair<double, double> parallelSpan(Axis axis, const std::vector<const ScreenFrame*>& leftOrTop,
                                       const std::vector<const ScreenFrame*>& rightOrBottom) {
    const auto range = [axis](const std::vector<const ScreenFrame*>& side) {
        double start = alongStart(*side.front(), axis), end = start + alongLength(*side.front(), axis);
        for (const ScreenFrame* f : side) {
            start = std::min(start, alongStart(*f, axis));
            end = std::max(end, alongStart(*f, axis) + alongLength(*f, axis));
        }
        return std::pair{start, end};
    };
    const auto [aStart, aEnd] = range(leftOrTop);
    const auto [bStart, bEnd] = range(rightOrBottom);
    if (std::min(aEnd, bEnd) > std::max(aStart, bStart)) return {std::max(aStart, bStart), std::min(aEnd, bEnd)};
    return {std::min(aStart, bStart), std::max(aEnd, bEnd)};
}

std::optional<EdgeGroup> makeGroup(Axis axis, const std::string& displayUUID, const Cluster& cluster,
                                   double minDimension) {
    const bool vertical = axis == Axis::vertical;
    const WindowEdge nearEdge = vertical ? WindowEdge::right : WindowEdge::bottom;
    const WindowEdge farEdge = vertical ? WindowEdge::left : WindowEdge::top;
    std::vector<const EdgeSample*> leftOrTop, rightOrBottom;
    for (const auto& s : cluster) {
        if (s.member.edge == nearEdge) leftOrTop.push_back(&s);
        if (s.member.edge == farEdge) rightOrBottom.push_back(&s);
    }
    // Edges that only align (two left edges, say) are not shared.
    if (leftOrTop.empty() || rightOrBottom.empty()) return std::nullopt;

    // The application's known minimum, or the default; a larger one the window itself
    // reports wins.
    const auto minimum = [&](const EdgeSample& s) {
        const KnownApplication* row = KnownApplications::find(*s.bundleID);
        double m = row && row->minimumSize ? along(*row->minimumSize, axis) : minDimension;
        if (s.limits && s.limits->minimumSize && std::isfinite(along(*s.limits->minimumSize, axis)))
            m = std::max(m, along(*s.limits->minimumSize, axis));
        return m;
    };
    const auto low = [axis](const ScreenFrame& f) { return acrossStart(f, axis); };
    const auto size = [axis](const ScreenFrame& f) { return acrossLength(f, axis); };

    EdgeGroup group;
    group.id = Uuid::random();
    group.axis = axis;
    group.displayUUID = displayUUID;
    group.coordinate = meanOf(cluster);
    // The line may come no closer to a window's far edge than that window's minimum.
    group.minCoordinate = low(*leftOrTop.front()->frame) + minimum(*leftOrTop.front());
    for (const EdgeSample* s : leftOrTop)
        group.minCoordinate = std::max(group.minCoordinate, low(*s->frame) + minimum(*s));
    group.maxCoordinate =
        low(*rightOrBottom.front()->frame) + size(*rightOrBottom.front()->frame) - minimum(*rightOrBottom.front());
    for (const EdgeSample* s : rightOrBottom) {
        group.maxCoordinate = std::min(group.maxCoordinate, low(*s->frame) + size(*s->frame) - minimum(*s));
    }
    // Equal bounds keep the group: a line that cannot move is still shared.
    if (group.maxCoordinate < group.minCoordinate) return std::nullopt;

    const auto members = [](const std::vector<const EdgeSample*>& side) {
        std::vector<EdgeMember> out;
        for (const EdgeSample* s : side) out.push_back(s->member);
        // Byte order of a UUID is the order of its upper-case text.
        std::stable_sort(out.begin(), out.end(),
                         [](const EdgeMember& a, const EdgeMember& b) { return a.itemID < b.itemID; });
        return out;
    };
    group.leftOrTopItems = members(leftOrTop);
    group.rightOrBottomItems = members(rightOrBottom);

    const auto frames = [](const std::vector<const EdgeSample*>& side) {
        std::vector<const ScreenFrame*> out;
        for (const EdgeSample* s : side) out.push_back(s->frame);
        return out;
    };
    const auto [start, end] = parallelSpan(axis, frames(leftOrTop), frames(rightOrBottom));
    group.spanStart = start;
    group.spanEnd = end;
    return group;
}

}  // namespace

std::vector<EdgeGroup> EdgeGroupDetector::detectGroups(const std::vector<LayoutItem>& items, double snapThreshold,
                                                       double minDimension, const ItemWindowLimits& limits) {
    std::map<std::string, std::vector<const LayoutItem*>> byDisplay;
    for (const auto& item : items) byDisplay[item.targetFrame.displayUUID].push_back(&item);

    std::vector<EdgeGroup> groups;
    for (const auto& [displayUUID, displayItems] : byDisplay) {
        for (Axis axis : {Axis::vertical, Axis::horizontal}) {
            for (const auto& c : cluster(samplesOf(displayItems, axis, limits), snapThreshold)) {
                if (c.size() < 2) continue;
                if (auto group = makeGroup(axis, displayUUID, c, minDimension)) groups.push_back(std::move(*group));
            }
        }
    }
    std::stable_sort(groups.begin(), groups.end(), [](const EdgeGroup& a, const EdgeGroup& b) {
        if (a.displayUUID != b.displayUUID) return a.displayUUID < b.displayUUID;
        if (a.axis != b.axis) return a.axis == Axis::vertical;
        return a.coordinate < b.coordinate;
    });
    return groups;
}

void EdgeGroupDetector::snapItemsToGroups(std::vector<LayoutItem>& items, const std::vector<EdgeGroup>& groups) {
    const auto find = [&items](const Uuid& id) {
        auto it = std::find_if(items.begin(), items.end(), [&](const LayoutItem& i) { return i.id == id; });
        return it == items.end() ? nullptr : &it->targetFrame;
    };
    for (const auto& group : groups) {
        const double c = group.coordinate;
        const bool vertical = group.axis == Axis::vertical;
        for (const auto& m : group.leftOrTopItems) {
            ScreenFrame* f = find(m.itemID);
            if (!f) continue;
            // The far edge moves onto the line; the near edge stays.
            if (vertical) {
                f->width = c - f->x;
            } else {
                f->height = c - f->y;
            }
        }
        for (const auto& m : group.rightOrBottomItems) {
            ScreenFrame* f = find(m.itemID);
            if (!f) continue;
            // The near edge moves onto the line; the far edge stays.
            if (vertical) {
                const double right = f->x + f->width;
                f->x = c;
                f->width = right - c;
            } else {
                const double bottom = f->y + f->height;
                f->y = c;
                f->height = bottom - c;
            }
        }
    }
}

}  // namespace kestr
