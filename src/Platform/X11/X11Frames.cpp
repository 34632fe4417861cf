#include "Platform/X11/X11Frames.h"

#include <algorithm>

namespace kestr {

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

void X11Frames::follow(xcb_window_t client, xcb_window_t parent) { attach(client, topLevel(parent)); }

void X11Frames::followAll(const std::vector<std::pair<xcb_window_t, xcb_window_t>>& clientsAndParents) {
    // Every parent's own parent first, then the answers: one round trip for all (a
    // window manager nesting deeper costs more for those clients only).
    std::vector<std::optional<xcb_query_tree_cookie_t>> trees;
    for (const auto& [client, parent] : clientsAndParents) {
        trees.push_back(isTopLevel(parent) ? std::nullopt
                                           : std::optional(xcb_query_tree(x_.raw(), parent)));
    }
    for (std::size_t i = 0; i < clientsAndParents.size(); ++i) {
        const xcb_window_t parent = clientsAndParents[i].second;
        xcb_window_t frame = XCB_NONE;
        if (trees[i]) {
            auto tree = x_.reply<xcb_query_tree_reply_t>(xcb_query_tree_reply, *trees[i]);
            if (tree) frame = tree->parent == x_.root() ? parent : topLevel(tree->parent);
        }
        attach(clientsAndParents[i].first, frame);
    }
}

void X11Frames::attach(xcb_window_t client, xcb_window_t frame) {
    const auto known = frameOfClient_.find(client);
    if (known != frameOfClient_.end() && known->second == frame) return;
    forget(client);
    if (frame == XCB_NONE) return;
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x_.raw(), frame, XCB_CW_EVENT_MASK, &mask);
    frames_[frame].clients.push_back(client);
    frameOfClient_[client] = frame;
}

void X11Frames::forget(xcb_window_t client) {
    const auto known = frameOfClient_.find(client);
    if (known == frameOfClient_.end()) return;
    // The frame stays followed for the clients still in it.
    const auto frame = frames_.find(known->second);
    if (frame != frames_.end()) {
        auto& clients = frame->second.clients;
        clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
        if (clients.empty()) frames_.erase(frame);
    }
    frameOfClient_.erase(known);
}

std::optional<X11Frames::Change> X11Frames::configured(const xcb_configure_notify_event_t& event) {
    const auto it = frames_.find(event.window);
    if (it == frames_.end()) return std::nullopt;
    const Rect area(event.x, event.y, event.width, event.height);
    Change change{it->second.clients, std::nullopt};
    const std::optional<Rect>& before = it->second.area;
    if (before && before->size == area.size) change.moved = Point{area.x() - before->x(), area.y() - before->y()};
    it->second.area = area;
    return change;
}

void X11Frames::destroyed(xcb_window_t window) {
    const auto it = frames_.find(window);
    if (it == frames_.end()) return;
    for (const xcb_window_t client : it->second.clients) frameOfClient_.erase(client);
    frames_.erase(it);
}

}  // namespace kestr
