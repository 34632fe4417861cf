#include "Platform/X11/X11Frames.h"

#include <algorithm>

namespace kestr {

namespace {

// A frame may be listed as a client itself, and a second selection of events on a window
// replaces the first: frames hear what client windows do.
constexpr std::uint32_t frameEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

}  // namespace

xcb_window_t X11Frames::topLevel(xcb_window_t parent) {
    // Most window managers put the client straight into its frame; some nest it deeper.
    for (int depth = 0; !isTopLevel(parent) && depth < 8; ++depth) {
        auto tree = x_.reply<xcb_query_tree_reply_t>(xcb_query_tree_reply, xcb_query_tree(x_.raw(), parent));
        if (!tree) return XCB_NONE;
        if (tree->parent == x_.root()) return parent;
        parent = tree->parent;
    }
    return XCB_NONE;
}

void X11Frames::follow(xcb_window_t client, xcb_window_t parent) { followAll({{client, parent}}); }

void X11Frames::followAll(const std::vector<std::pair<xcb_window_t, xcb_window_t>>& clientsAndParents) {
    // Every parent's own parent and place first, then the answers: one round trip for all
    // (a window manager nesting deeper costs more for those clients only). A parent tells
    // its moves from before its place is read, so none is missed.
    struct Asked {
        xcb_query_tree_cookie_t tree{};
        xcb_get_geometry_cookie_t geometry{};
    };
    std::vector<std::optional<Asked>> asked;
    for (const auto& [client, parent] : clientsAndParents) {
        if (isTopLevel(parent)) {
            asked.emplace_back();
            continue;
        }
        xcb_change_window_attributes(x_.raw(), parent, XCB_CW_EVENT_MASK, &frameEvents);
        asked.push_back(Asked{xcb_query_tree(x_.raw(), parent), xcb_get_geometry(x_.raw(), parent)});
    }
    for (std::size_t i = 0; i < clientsAndParents.size(); ++i) {
        const auto [client, parent] = clientsAndParents[i];
        if (!asked[i]) {
            attach(client, XCB_NONE, true);
            continue;
        }
        auto tree = x_.reply<xcb_query_tree_reply_t>(xcb_query_tree_reply, asked[i]->tree);
        auto geometry = x_.reply<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, asked[i]->geometry);
        xcb_window_t frame = tree && geometry && tree->parent == x_.root() ? parent : XCB_NONE;
        if (tree && geometry && !frame) {
            frame = topLevel(tree->parent);
            if (frame) {
                xcb_change_window_attributes(x_.raw(), frame, XCB_CW_EVENT_MASK, &frameEvents);
                geometry =
                    x_.reply<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, xcb_get_geometry(x_.raw(), frame));
            }
        }
        if (!frame || !geometry) {
            forget(client);  // gone, or in a window that is: its destroy event follows
            continue;
        }
        attach(client, frame, frame == parent);
        Frame& f = frames_[frame];
        f.area = Rect(geometry->x, geometry->y, geometry->width, geometry->height);
        f.border = geometry->border_width;
    }
}

void X11Frames::attach(xcb_window_t client, xcb_window_t frame, bool direct) {
    forget(client);
    seats_[client] = Seat{frame, direct, std::nullopt};
    if (frame != XCB_NONE) frames_[frame].clients.push_back(client);
}

void X11Frames::forget(xcb_window_t client) {
    const auto seat = seats_.find(client);
    if (seat == seats_.end()) return;
    // The frame stays followed for the clients still in it.
    const auto frame = frames_.find(seat->second.frame);
    if (frame != frames_.end()) {
        auto& clients = frame->second.clients;
        clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
        if (clients.empty()) frames_.erase(frame);
    }
    seats_.erase(seat);
}

bool X11Frames::placeInParent(xcb_window_t client, Point inParent) {
    const auto seat = seats_.find(client);
    if (seat == seats_.end() || !seat->second.direct) return false;
    seat->second.inFrame = inParent;
    return true;
}

void X11Frames::placeOnRoot(xcb_window_t client, Point origin) {
    const auto seat = seats_.find(client);
    if (seat == seats_.end()) return;
    if (const auto corner = inner(seat->second.frame))
        seat->second.inFrame = Point{origin.x - corner->x, origin.y - corner->y};
}

std::optional<Point> X11Frames::inner(xcb_window_t frame) const {
    if (frame == XCB_NONE) return Point{0, 0};
    const auto it = frames_.find(frame);
    if (it == frames_.end() || !it->second.area) return std::nullopt;
    return Point{it->second.area->x() + it->second.border, it->second.area->y() + it->second.border};
}

std::optional<Point> X11Frames::origin(xcb_window_t client) const {
    const auto seat = seats_.find(client);
    if (seat == seats_.end() || !seat->second.inFrame) return std::nullopt;
    const auto corner = inner(seat->second.frame);
    if (!corner) return std::nullopt;
    return Point{corner->x + seat->second.inFrame->x, corner->y + seat->second.inFrame->y};
}

std::optional<std::vector<xcb_window_t>> X11Frames::configured(const xcb_configure_notify_event_t& event,
                                                               std::uint32_t sequence) {
    const auto it = frames_.find(event.window);
    if (it == frames_.end()) return std::nullopt;
    it->second.area = Rect(event.x, event.y, event.width, event.height);
    it->second.border = event.border_width;
    it->second.configuredAt = sequence;
    return it->second.clients;
}

std::uint32_t X11Frames::frameConfiguredAt(xcb_window_t client, std::uint32_t topLevel) const {
    const auto seat = seats_.find(client);
    if (seat == seats_.end()) return 0;
    if (seat->second.frame == XCB_NONE) return topLevel;
    const auto frame = frames_.find(seat->second.frame);
    return frame == frames_.end() ? 0 : frame->second.configuredAt;
}

void X11Frames::destroyed(xcb_window_t window) {
    const auto it = frames_.find(window);
    if (it == frames_.end()) return;
    for (const xcb_window_t client : it->second.clients) seats_.erase(client);
    frames_.erase(it);
}

}  // namespace kestr
