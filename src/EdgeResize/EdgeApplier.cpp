#include "EdgeResize/EdgeApplier.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/EdgeGroupDetector.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Date.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

std::set<Uuid> idsOf(const std::vector<EdgeMember>& side) {
    std::set<Uuid> ids;
    for (const EdgeMember& m : side) ids.insert(m.itemID);
    return ids;
}

// The first item with that identifier.
const LayoutItem* itemWithID(const Layout& layout, const Uuid& id) {
    const auto it =
        std::find_if(layout.items.begin(), layout.items.end(), [&id](const LayoutItem& i) { return i.id == id; });
    return it == layout.items.end() ? nullptr : &*it;
}
LayoutItem* itemWithID(Layout& layout, const Uuid& id) {
    return const_cast<LayoutItem*>(itemWithID(std::as_const(layout), id));
}

const EdgeGroup* groupIn(const Layout& layout, const EdgeApplier::EdgeIdentity& edge) {
    for (const EdgeGroup& g : layout.edgeGroups) {
        if (g.id == edge.groupID) return &g;
    }
    for (const EdgeGroup& g : layout.edgeGroups) {
        if (edge.matches(g)) return &g;
    }
    return nullptr;
}

// The near edge (x or y) and the length (width or height) of a frame along the axis.
double& nearEdge(ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.x : f.y; }
double& length(ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.width : f.height; }
double nearEdge(const ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.x : f.y; }
double length(const ScreenFrame& f, Axis axis) { return axis == Axis::vertical ? f.width : f.height; }

// The moved frame as the stored kest keeps it. On the stored frame's own display it is
// the moved frame. An item the apply placed on another display (its own was missing) is
// mapped back: the moving axis is carried over by the linear map that takes the frame it
// stood at before the move onto the stored frame. None when that map does not exist.
std::optional<ScreenFrame> storedFrame(const ScreenFrame& stored, const ScreenFrame& start, const ScreenFrame& moved,
                                       Axis axis) {
    if (stored.displayUUID == moved.displayUUID) return moved;
    ScreenFrame from = start;
    ScreenFrame to = stored;
    ScreenFrame now = moved;
    const double scale = length(to, axis) / length(from, axis);
    if (!(length(from, axis) > 0) || !(length(to, axis) > 0) || !std::isfinite(scale) ||
        start.displayUUID != moved.displayUUID) {
        return std::nullopt;
    }
    const double nearEnd = nearEdge(to, axis) + (nearEdge(now, axis) - nearEdge(from, axis)) * scale;
    const double newLength = length(now, axis) * scale;
    if (!std::isfinite(nearEnd) || !std::isfinite(newLength)) return std::nullopt;
    nearEdge(to, axis) = nearEnd;
    length(to, axis) = newLength;
    return to;
}

// The members' frames in the kest, by item identifier.
std::map<Uuid, ScreenFrame> memberFrames(const Layout& working, const EdgeGroup& group) {
    std::map<Uuid, ScreenFrame> frames;
    for (const auto* side : {&group.leftOrTopItems, &group.rightOrBottomItems}) {
        for (const EdgeMember& m : *side) {
            if (const LayoutItem* item = itemWithID(working, m.itemID)) frames.emplace(m.itemID, item->targetFrame);
        }
    }
    return frames;
}

// Where the frames put the edge: the mean of the members' edges on it.
std::optional<double> edgeOf(const EdgeGroup& group, const std::map<Uuid, ScreenFrame>& frames) {
    double sum = 0;
    int count = 0;
    for (const auto* side : {&group.leftOrTopItems, &group.rightOrBottomItems}) {
        for (const EdgeMember& m : *side) {
            const auto f = frames.find(m.itemID);
            if (f == frames.end()) continue;
            sum +=
                nearEdge(f->second, group.axis) + (side == &group.leftOrTopItems ? length(f->second, group.axis) : 0);
            ++count;
        }
    }
    if (count == 0) return std::nullopt;
    return sum / count;
}

// Left or top windows end at the edge; right or bottom windows start there and keep
// the far end they have in `reference`.
void placeEdge(Layout& working, const EdgeGroup& group, double at, const std::map<Uuid, ScreenFrame>& reference) {
    const Axis axis = group.axis;
    for (const EdgeMember& m : group.leftOrTopItems) {
        if (LayoutItem* item = itemWithID(working, m.itemID))
            length(item->targetFrame, axis) = at - nearEdge(item->targetFrame, axis);
    }
    for (const EdgeMember& m : group.rightOrBottomItems) {
        LayoutItem* item = itemWithID(working, m.itemID);
        const auto from = reference.find(m.itemID);
        if (!item || from == reference.end()) continue;
        const double end = nearEdge(from->second, axis) + length(from->second, axis);
        nearEdge(item->targetFrame, axis) = at;
        length(item->targetFrame, axis) = end - at;
    }
}

// A window that would not shrink as asked: the edge goes only as far as it lets. A
// far-side window still ends where `reference` ends it; a near-side one keeps its near
// edge, so the edge stops at its far edge instead of running under it.
double fittingCoordinate(const Layout& working, const EdgeGroup& group, double c,
                         const std::map<Uuid, ScreenFrame>& reference, const std::map<Uuid, AXElement>& windows) {
    const Axis axis = group.axis;
    const auto refused = [&](const EdgeMember& m) -> std::optional<double> {
        const LayoutItem* item = itemWithID(working, m.itemID);
        const auto window = windows.find(m.itemID);
        if (!item || !reference.count(m.itemID) || window == windows.end()) return std::nullopt;
        const auto size = WindowController::readSize(window->second);
        if (!size) return std::nullopt;
        const double actual = axis == Axis::vertical ? size->width : size->height;
        if (!(actual > length(item->targetFrame, axis) + EdgeApplier::sizeTolerance)) return std::nullopt;
        return actual;
    };
    double corrected = c;
    for (const EdgeMember& m : group.leftOrTopItems) {
        const auto actual = refused(m);
        if (actual) corrected = std::max(corrected, nearEdge(reference.at(m.itemID), axis) + *actual);
    }
    for (const EdgeMember& m : group.rightOrBottomItems) {
        const auto actual = refused(m);
        if (!actual) continue;
        const ScreenFrame& from = reference.at(m.itemID);
        corrected = std::min(corrected, nearEdge(from, axis) + length(from, axis) - *actual);
    }
    return corrected;
}

// Some windows answer a size they do not want by setting their own back, after the window
// manager's answer has ended the move: the sizes are read once every window has been still
// for a moment, waiting no longer than a bound in all.
Task<double> fittingCoordinateOnceStill(const Layout& working, const EdgeGroup& group, double c,
                                        const std::map<Uuid, ScreenFrame>& reference,
                                        const std::map<Uuid, AXElement>& windows) {
    MainActor& actor = platform().mainActor();
    const double end = actor.now() + WindowController::stillLimit;
    for (const auto& [id, window] : windows)
        co_await platform().accessibility().quiet(window, WindowController::stillPeriod,
                                                  std::max(0.0, end - actor.now()));
    co_return fittingCoordinate(working, group, c, reference, windows);
}

}  // namespace

bool EdgeApplier::EdgeIdentity::matches(const EdgeGroup& g) const {
    return g.displayUUID == displayUUID && g.axis == axis && idsOf(g.leftOrTopItems) == leftOrTop &&
           idsOf(g.rightOrBottomItems) == rightOrBottom;
}

void EdgeApplier::Queue::done() {
    if (waiting_.empty()) {
        busy_ = false;
        return;
    }
    // The line stays taken until the next operation runs, so none can slip in between.
    const std::coroutine_handle<> next = waiting_.front();
    waiting_.pop_front();
    platform().mainActor().post([next] { next.resume(); });
}

EdgeApplier::Queue& EdgeApplier::queue() { return platform().shared<Queue>(); }

std::optional<EdgeApplier::EdgeIdentity> EdgeApplier::identify(const Uuid& groupID) {
    auto layout = EdgeProximityTracker::shared().heldLayout(groupID);
    if (!layout) {
        for (const Layout& stored : LayoutStore::shared().layouts) {
            if (std::any_of(stored.edgeGroups.begin(), stored.edgeGroups.end(),
                            [&groupID](const EdgeGroup& g) { return g.id == groupID; })) {
                layout = stored;
                break;
            }
        }
    }
    if (!layout) return std::nullopt;
    for (const EdgeGroup& g : layout->edgeGroups) {
        if (g.id == groupID) {
            return EdgeIdentity{g.id, g.displayUUID, g.axis, idsOf(g.leftOrTopItems), idsOf(g.rightOrBottomItems)};
        }
    }
    return std::nullopt;
}

std::optional<EdgeApplier::Resolved> EdgeApplier::resolve(const EdgeIdentity& edge) {
    // The held kest (frames as last applied) wins over the stored one. An earlier edge
    // operation may have replaced it, and with it the group's identifier.
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    std::optional<Layout> layout = tracker.heldLayout(edge.groupID);
    if (!layout) {
        const auto held = tracker.heldEdgesByDisplay.find(edge.displayUUID);
        if (held != tracker.heldEdgesByDisplay.end() && groupIn(held->second.layout, edge))
            layout = held->second.layout;
    }
    const std::vector<Layout>& stored = LayoutStore::shared().layouts;
    if (!layout) {
        for (const Layout& k : stored) {
            if (groupIn(k, edge)) {
                layout = k;
                break;
            }
        }
    }
    if (!layout) return std::nullopt;
    const EdgeGroup* group = groupIn(*layout, edge);
    if (!group) return std::nullopt;
    const bool persist =
        std::any_of(stored.begin(), stored.end(), [&layout](const Layout& k) { return k.id == layout->id; });
    const EdgeGroup found = *group;
    return Resolved{std::move(*layout), persist, found};
}

Task<void> EdgeApplier::applyMove(Uuid groupID, double newLocalCoordinate) {
    // The edge is named now, while its identifier is current; it is looked up again
    // when its turn comes.
    const auto edge = identify(groupID);
    if (!edge) co_return;
    Queue& line = queue();
    co_await line.next();
    try {
        co_await move(*edge, newLocalCoordinate);
    } catch (...) {
        line.done();
        throw;
    }
    line.done();
}

Task<void> EdgeApplier::applyRevertToBaseline(Uuid groupID) {
    const auto edge = identify(groupID);
    if (!edge) co_return;
    Queue& line = queue();
    co_await line.next();
    try {
        co_await revert(*edge);
    } catch (...) {
        line.done();
        throw;
    }
    line.done();
}

Task<void> EdgeApplier::move(EdgeIdentity edge, double c) {
    auto resolved = resolve(edge);
    if (!resolved) co_return;
    const Layout before = resolved->layout;
    Layout working = std::move(resolved->layout);
    const EdgeGroup group = resolved->group;

    const std::map<Uuid, ScreenFrame> starting = memberFrames(working, group);
    placeEdge(working, group, c, starting);
    // The windows the engine placed, as it found them: looking for them again would cost
    // every window of their applications.
    const std::map<Uuid, AXElement> windows = co_await applyPartial(working, group, "edge-move");
    // None of the edge's windows is open here (they are on another desktop, or closed):
    // the kest keeps the edge where its windows still have it.
    if (windows.empty()) co_return;
    double corrected = co_await fittingCoordinateOnceStill(working, group, c, starting, windows);
    // A window larger than the whole room would put the edge behind where it started,
    // or off the display: the edge never goes back past its start or out of its range.
    corrected = std::clamp(corrected, std::min(group.coordinate, c), std::max(group.coordinate, c));
    corrected = std::max(group.minCoordinate, std::min(corrected, group.maxCoordinate));
    if (corrected != c) {
        placeEdge(working, group, corrected, starting);
        co_await applyPartial(working, group, "edge-move-retry");
    }
    finish(std::move(working), before, resolved->persist, group, WindowController::limits(windows));
}

Task<void> EdgeApplier::revert(EdgeIdentity edge) {
    auto resolved = resolve(edge);
    if (!resolved) co_return;
    const Layout before = resolved->layout;
    Layout working = std::move(resolved->layout);
    const EdgeGroup group = resolved->group;
    for (const auto* side : {&group.leftOrTopItems, &group.rightOrBottomItems}) {
        for (const EdgeMember& m : *side) {
            LayoutItem* item = itemWithID(working, m.itemID);
            if (!item || !item->capturedFrame) continue;
            ScreenFrame captured = *item->capturedFrame;
            nearEdge(item->targetFrame, group.axis) = nearEdge(captured, group.axis);
            length(item->targetFrame, group.axis) = length(captured, group.axis);
        }
    }
    const std::map<Uuid, ScreenFrame> reverted = memberFrames(working, group);
    const double c = edgeOf(group, reverted).value_or(group.coordinate);
    const auto windows = co_await applyPartial(working, group, "edge-revert");
    if (windows.empty()) co_return;
    // As a move does: where a window no longer takes its captured size (its minimum grew
    // since), the edge stops where the windows fit, between where it stood and its
    // captured place, and the kest keeps what they took.
    const double fitting = co_await fittingCoordinateOnceStill(working, group, c, reverted, windows);
    const double corrected = std::clamp(fitting, std::min(group.coordinate, c), std::max(group.coordinate, c));
    if (corrected != c) {
        placeEdge(working, group, corrected, reverted);
        co_await applyPartial(working, group, "edge-revert-retry");
    }
    finish(std::move(working), before, resolved->persist, group, WindowController::limits(windows));
}

Task<std::map<Uuid, AXElement>> EdgeApplier::applyPartial(const Layout& working, const EdgeGroup& group,
                                                          const std::string& name) {
    const std::set<Uuid> members = [&group] {
        std::set<Uuid> ids = idsOf(group.leftOrTopItems);
        ids.merge(idsOf(group.rightOrBottomItems));
        return ids;
    }();
    Layout partial;
    partial.id = Uuid::random();
    partial.name = name;
    for (const LayoutItem& item : working.items) {
        if (members.count(item.id)) partial.items.push_back(item);
    }
    partial.createdAt = partial.updatedAt = Date::now();
    // Only open windows move.
    auto report = co_await LayoutApplier::apply(std::move(partial), LayoutApplier::ApplyMode::reuseExisting,
                                                LayoutApplier::FrameSource::target, std::nullopt);
    co_return std::move(report.windows);
}

void EdgeApplier::finish(Layout working, const Layout& before, bool persistIt, const EdgeGroup& group,
                         const ItemWindowLimits& limits) {
    working.edgeGroups = EdgeGroupDetector::detectGroups(working.items, snapThreshold, minDimension, limits);
    keepBoundsOfUnmovedEdges(working.edgeGroups, before.edgeGroups, group);
    working.updatedAt = Date::now();
    if (persistIt) persist(working, before, group, limits);
    EdgeProximityTracker::shared().setActiveLayout(working);
    EdgeOverlayManager::shared().setActiveLayout(working);
}

// Only the moved windows' limits are read again; an edge none of them lies on keeps the
// bounds it was detected with, which may have come from its own windows' limits.
void EdgeApplier::keepBoundsOfUnmovedEdges(std::vector<EdgeGroup>& groups, const std::vector<EdgeGroup>& earlier,
                                           const EdgeGroup& moved) {
    std::set<Uuid> members = idsOf(moved.leftOrTopItems);
    members.merge(idsOf(moved.rightOrBottomItems));
    const auto touchesMoved = [&members](const EdgeGroup& g) {
        const auto in = [&members](const EdgeMember& m) { return members.count(m.itemID) > 0; };
        return std::any_of(g.leftOrTopItems.begin(), g.leftOrTopItems.end(), in) ||
               std::any_of(g.rightOrBottomItems.begin(), g.rightOrBottomItems.end(), in);
    };
    for (EdgeGroup& g : groups) {
        if (touchesMoved(g)) continue;
        const EdgeIdentity same{g.id, g.displayUUID, g.axis, idsOf(g.leftOrTopItems), idsOf(g.rightOrBottomItems)};
        for (const EdgeGroup& old : earlier) {
            if (!same.matches(old) || old.coordinate != g.coordinate) continue;
            g.minCoordinate = old.minCoordinate;
            g.maxCoordinate = old.maxCoordinate;
        }
    }
}

void EdgeApplier::persist(const Layout& working, const Layout& before, const EdgeGroup& group,
                          const ItemWindowLimits& limits) {
    LayoutStore& store = LayoutStore::shared();
    const auto found = std::find_if(store.layouts.begin(), store.layouts.end(),
                                    [&working](const Layout& k) { return k.id == working.id; });
    if (found == store.layouts.end()) return;
    // Only the moved frames go into the stored kest: the held kest lacks skipped items
    // and may predate a rename or a new hot key.
    Layout stored = *found;
    for (const auto* side : {&group.leftOrTopItems, &group.rightOrBottomItems}) {
        for (const EdgeMember& m : *side) {
            const LayoutItem* moved = itemWithID(working, m.itemID);
            const LayoutItem* start = itemWithID(before, m.itemID);
            LayoutItem* target = itemWithID(stored, m.itemID);
            if (!moved || !start || !target) continue;
            const auto frame = storedFrame(target->targetFrame, start->targetFrame, moved->targetFrame, group.axis);
            if (!frame) {
                // A half-stored move would tear the kest's edge apart: store none of it.
                platform().log().line("kestr: edge move of \"" + stored.name + "\" not stored: " + target->appName +
                                      " stands on another display than the kest's, and its frame there cannot be "
                                      "mapped back");
                return;
            }
            target->targetFrame = *frame;
        }
    }
    stored.edgeGroups = EdgeGroupDetector::detectGroups(stored.items, snapThreshold, minDimension, limits);
    keepBoundsOfUnmovedEdges(stored.edgeGroups, found->edgeGroups, group);
    stored.updatedAt = Date::now();
    store.update(stored);
    try {
        store.save();
    } catch (const std::exception& e) {
        platform().log().line(std::string("kestr: edge-move save failed: ") + e.what());
    }
}

}  // namespace kestr
