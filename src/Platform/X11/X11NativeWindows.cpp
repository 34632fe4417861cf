#include "Platform/X11/X11NativeWindows.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11Displays.h"

namespace kestr {

namespace {

xcb_connection_t* connectionOf(const NativeWindow& window) {
    auto* c = static_cast<xcb_connection_t*>(window.connection);
    return c && window.id != 0 && !xcb_connection_has_error(c) ? c : nullptr;
}

// The atoms of these names, asked for together so that one wait answers them all; none
// for a name the server does not answer.
std::vector<xcb_atom_t> atomsNamed(xcb_connection_t* c, const std::vector<const char*>& names) {
    std::vector<xcb_intern_atom_cookie_t> asked;
    for (const char* name : names)
        asked.push_back(xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
    std::vector<xcb_atom_t> atoms;
    for (const xcb_intern_atom_cookie_t cookie : asked) {
        auto* reply = xcb_intern_atom_reply(c, cookie, nullptr);
        atoms.push_back(reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE));
        std::free(reply);
    }
    return atoms;
}

// Sets a CARDINAL property of the window.
void setCardinals(const NativeWindow& window, const char* name, const std::uint32_t* values, std::uint32_t count) {
    xcb_connection_t* c = connectionOf(window);
    if (!c) return;
    const xcb_atom_t atom = atomsNamed(c, {name})[0];
    if (atom == XCB_ATOM_NONE) return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.id), atom, XCB_ATOM_CARDINAL, 32,
                        count, values);
    xcb_flush(c);
}

// Sets one of the window's shapes in place.
void setShape(const NativeWindow& window, xcb_shape_kind_t kind, const std::vector<Rect>& region) {
    xcb_connection_t* c = connectionOf(window);
    if (!c) return;
    // A request of an extension the server lacks would close the toolkit's connection.
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    if (!shape || !shape->present) return;
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(region.size());
    for (const Rect& r : region) {
        rects.push_back(xcb_rectangle_t{
            static_cast<std::int16_t>(std::lround(r.x())), static_cast<std::int16_t>(std::lround(r.y())),
            static_cast<std::uint16_t>(std::lround(r.width())), static_cast<std::uint16_t>(std::lround(r.height()))});
    }
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED, static_cast<xcb_window_t>(window.id), 0,
                         0, static_cast<std::uint32_t>(rects.size()), rects.data());
    xcb_flush(c);
}

// Adds the states to the window: to the `_NET_WM_STATE` it will be mapped with (Qt adds
// its own states to what it finds there), and by asking the window manager, which is
// how the states of a window it manages change. The window manager forgets a window's
// states when it hears that the window was hidden; shown again at once, the window may be
// mapped after that with none, so the request is made again once it is mapped.
void addStates(const NativeWindow& window, std::initializer_list<const char*> names) {
    xcb_connection_t* c = connectionOf(window);
    if (!c) return;
    std::vector<const char*> all{"_NET_WM_STATE"};
    all.insert(all.end(), names.begin(), names.end());
    const std::vector<xcb_atom_t> atoms = atomsNamed(c, all);
    const xcb_atom_t property = atoms[0];
    if (property == XCB_ATOM_NONE) return;
    const auto id = static_cast<xcb_window_t>(window.id);
    std::vector<xcb_atom_t> states;
    if (auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, id, property, XCB_ATOM_ATOM, 0, 1024), nullptr)) {
        if (r->format == 32) {
            const auto* items = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
            states.assign(items, items + xcb_get_property_value_length(r) / 4);
        }
        std::free(r);
    }
    std::vector<xcb_atom_t> missing;
    for (auto state = atoms.begin() + 1; state != atoms.end(); ++state) {
        if (*state != XCB_ATOM_NONE && std::find(states.begin(), states.end(), *state) == states.end())
            missing.push_back(*state);
    }
    if (!missing.empty())
        xcb_change_property(c, XCB_PROP_MODE_APPEND, id, property, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(missing.size()), missing.data());
    // A window manager ignores the request for a window it does not manage (yet).
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t add = 1;
    const std::uint32_t askedByAnApplication = 1;
    for (std::size_t i = 1; i < atoms.size(); i += 2) {
        const xcb_atom_t second = i + 1 < atoms.size() ? atoms[i + 1] : xcb_atom_t(XCB_ATOM_NONE);
        sendClientMessage(c, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, id,
                          property, {add, atoms[i], second, askedByAnApplication, 0});
    }
    xcb_flush(c);
}

}  // namespace

void X11NativeWindows::showOnEveryDesktop(const NativeWindow& window) {
    // The desktop "all" of the window manager conventions, read when the window is mapped.
    const std::uint32_t everyDesktop = 0xFFFFFFFF;
    setCardinals(window, "_NET_WM_DESKTOP", &everyDesktop, 1);
    // Some window managers read that number as any other, modulo their desktops, and put
    // the window on the last one; all of them take the sticky state.
    addStates(window, {"_NET_WM_STATE_STICKY"});
}

void X11NativeWindows::keepOffTaskbars(const NativeWindow& window) {
    addStates(window, {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
}

void X11NativeWindows::showAsPanel(const NativeWindow& window) {
    xcb_connection_t* c = connectionOf(window);
    if (!c) return;
    // In place of the types the toolkit wrote when it made the window; read when it is mapped.
    const std::vector<xcb_atom_t> atoms = atomsNamed(c, {"_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK"});
    if (atoms[0] == XCB_ATOM_NONE || atoms[1] == XCB_ATOM_NONE) return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.id), atoms[0], XCB_ATOM_ATOM, 32, 1,
                        &atoms[1]);
    xcb_flush(c);
}

void X11NativeWindows::reserveTopEdge(const NativeWindow& window, const Rect& area) {
    // left, right, top, bottom, then the start and end of each along its edge.
    std::uint32_t strut[12] = {};
    if (area.minY() == 0 && !area.isEmpty()) {
        strut[2] = static_cast<std::uint32_t>(std::lround(area.maxY()));
        strut[8] = static_cast<std::uint32_t>(std::lround(area.minX()));
        strut[9] = static_cast<std::uint32_t>(std::lround(area.maxX()) - 1);
    }
    setCardinals(window, "_NET_WM_STRUT_PARTIAL", strut, 12);
    setCardinals(window, "_NET_WM_STRUT", strut, 4);
}

void X11NativeWindows::setInputShape(const NativeWindow& window, const std::vector<Rect>& region) {
    setShape(window, XCB_SHAPE_SK_INPUT, region);
}

void X11NativeWindows::setVisibleShape(const NativeWindow& window, const std::vector<Rect>& region) {
    setShape(window, XCB_SHAPE_SK_BOUNDING, region);
}

std::optional<Rect> X11NativeWindows::roomBeside(const NativeWindow& window, DisplayID display) {
    if (!displays_ || window.id == 0) return std::nullopt;
    return displays_->roomBeside(display, static_cast<xcb_window_t>(window.id));
}

}  // namespace kestr
