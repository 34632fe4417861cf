#include "Platform/X11/X11Displays.h"

#include <xcb/randr.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>

#include "Platform/AXAttributes.h"
#include "Platform/Observers.h"

namespace kestr {

namespace {

std::uint64_t fnv1a(const std::string& text, std::uint64_t seed) {
    std::uint64_t h = seed;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    return h;
}

// Whether a UUID string names the monitor's UUID (upper case), whatever its letters' case.
bool names(const std::string& uuid, const std::string& upper) {
    if (uuid.size() != upper.size()) return false;
    for (std::size_t i = 0; i < uuid.size(); ++i) {
        const char c = uuid[i];
        if ((c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c) != upper[i]) return false;
    }
    return true;
}

}  // namespace

std::string X11Displays::uuidFromName(const std::string& name) {
    std::uint8_t bytes[16];
    const std::uint64_t a = fnv1a(name, 0xcbf29ce484222325ULL);
    const std::uint64_t b = fnv1a(name + "\x01kestr", 0x84222325cbf29ce4ULL);
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<std::uint8_t>(a >> (56 - 8 * i));
        bytes[8 + i] = static_cast<std::uint8_t>(b >> (56 - 8 * i));
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x80);  // version 8: made by its owner's rule
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // the RFC variant
    char text[37];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9], bytes[10],
                  bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text;
}

X11Displays::X11Displays(X11Connection& connection, X11WindowModel& model, X11Pointer& pointer)
    : x_(connection), model_(model), pointer_(pointer) {
    auto version = x_.hasExtension(xcb_randr_id)
                       ? x_.reply<xcb_randr_query_version_reply_t>(xcb_randr_query_version_reply,
                                                                   xcb_randr_query_version(x_.raw(), 1, 5))
                       : nullptr;
    randr_ = version && (version->major_version > 1 || version->minor_version >= 5);
    if (randr_) {
        xcb_randr_select_input(x_.raw(), x_.root(),
                               XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
                                   XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_PROPERTY);
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(x_.raw(), &xcb_randr_id);
        const std::uint8_t base = extension ? extension->first_event : 0;
        x_.addListener([this, base](const xcb_generic_event_t& event) {
            const std::uint8_t type = event.response_type & 0x7F;
            if (base && (type == base + XCB_RANDR_SCREEN_CHANGE_NOTIFY || type == base + XCB_RANDR_NOTIFY)) refresh();
        });
    }
    refresh();
}

void X11Displays::refresh() {
    // A screen that shrank may have moved the pointer.
    pointer_.forget();
    auto rootGeometry =
        x_.reply<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, xcb_get_geometry(x_.raw(), x_.root()));
    rootSize_ = rootGeometry ? Size{double(rootGeometry->width), double(rootGeometry->height)}
                             : Size{double(x_.screen().width_in_pixels), double(x_.screen().height_in_pixels)};
    std::vector<X11Monitor> found;
    if (randr_) {
        auto r = x_.reply<xcb_randr_get_monitors_reply_t>(xcb_randr_get_monitors_reply,
                                                          xcb_randr_get_monitors(x_.raw(), x_.root(), 1));
        if (r) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem;
                 xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t& info = *it.data;
                X11Monitor m;
                m.id = info.name;
                m.name = x_.atomName(info.name);
                m.bounds = Rect(info.x, info.y, info.width, info.height);
                m.primary = info.primary != 0;
                m.uuid = uuidFromName(identityOf(info, m.name));
                if (m.bounds.width() > 0 && m.bounds.height() > 0 && m.id != 0) found.push_back(std::move(m));
            }
        }
    }
    if (found.empty()) {
        // No RandR: the whole screen is one display.
        X11Monitor m;
        m.id = x_.atom("kestr-screen-" + std::to_string(x_.screenNumber()));
        m.name = "screen";
        m.bounds = Rect(0, 0, rootSize_.width, rootSize_.height);
        m.primary = true;
        m.uuid = uuidFromName("output:screen");
        found.push_back(std::move(m));
    }
    // The primary monitor first, the others in the server's order.
    std::stable_partition(found.begin(), found.end(), [](const X11Monitor& m) { return m.primary; });
    const bool changed = found.size() != monitors_.size() ||
                         !std::equal(found.begin(), found.end(), monitors_.begin(), [](const auto& a, const auto& b) {
                             return a.id == b.id && a.bounds == b.bounds && a.primary == b.primary && a.uuid == b.uuid;
                         });
    monitors_ = std::move(found);
    std::vector<Rect> bounds;
    for (const X11Monitor& m : monitors_) bounds.push_back(m.bounds);
    model_.setMonitors(std::move(bounds));
    if (changed) tellObservers(observers_);
}

// The EDID's maker, product and serial number where the monitor has one, always with
// the connector's name, so two identical monitors on two connectors differ; a monitor
// that is only part of an output (one screen split in two) adds its own name.
std::string X11Displays::identityOf(const xcb_randr_monitor_info_t& monitor, const std::string& name) {
    if (xcb_randr_monitor_info_outputs_length(&monitor) <= 0) return "output:" + name;
    const xcb_randr_output_t output = xcb_randr_monitor_info_outputs(&monitor)[0];
    std::string connector = name;
    auto info = x_.reply<xcb_randr_get_output_info_reply_t>(xcb_randr_get_output_info_reply,
                                                            xcb_randr_get_output_info(x_.raw(), output, 0));
    if (info) {
        connector = std::string(reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get())),
                                xcb_randr_get_output_info_name_length(info.get()));
    }
    const std::string part = connector == name ? "" : "/" + name;
    const xcb_atom_t edidAtom = x_.atom("EDID");
    auto edid = x_.reply<xcb_randr_get_output_property_reply_t>(
        xcb_randr_get_output_property_reply,
        xcb_randr_get_output_property(x_.raw(), output, edidAtom, XCB_ATOM_ANY, 0, 64, 0, 0));
    if (!edid || edid->format != 8 || xcb_randr_get_output_property_data_length(edid.get()) < 16) {
        return "output:" + connector + part;
    }
    const std::uint8_t* d = xcb_randr_get_output_property_data(edid.get());
    char identity[64];
    std::snprintf(identity, sizeof identity, "edid:%02x%02x:%02x%02x:%02x%02x%02x%02x:", d[8], d[9], d[10], d[11],
                  d[12], d[13], d[14], d[15]);
    return identity + connector + part;
}

double X11Displays::flipHeight() const { return monitors_.empty() ? 0 : monitors_.front().bounds.height(); }

const X11Monitor* X11Displays::monitorOf(DisplayID display) const {
    const auto found =
        std::find_if(monitors_.begin(), monitors_.end(), [display](const X11Monitor& m) { return m.id == display; });
    return found == monitors_.end() ? nullptr : &*found;
}

std::optional<Rect> X11Displays::roomBeside(DisplayID display, xcb_window_t own) const {
    const X11Monitor* m = monitorOf(display);
    return m ? std::optional(visibleArea(*m, own)) : std::nullopt;
}

Rect X11Displays::visibleArea(const X11Monitor& monitor, xcb_window_t leftOut) const {
    const Rect& m = monitor.bounds;
    double left = m.minX(), top = m.minY(), right = m.maxX(), bottom = m.maxY();
    const auto overlaps = [](double a0, double a1, double b0, double b1) { return a0 < b1 && b0 < a1; };
    // The deepest strip along each edge of the screen, on any monitor.
    double deepestTop = 0, deepestBottom = 0, deepestLeft = 0, deepestRight = 0;
    for (xcb_window_t w : model_.strutWindows()) {
        const X11Client* c = model_.client(w);
        if (w == leftOut || !c || !c->strut || !model_.onCurrentDesktop(*c)) continue;
        const X11Strut& s = *c->strut;
        deepestTop = std::max(deepestTop, double(s.top));
        deepestBottom = std::max(deepestBottom, double(s.bottom));
        deepestLeft = std::max(deepestLeft, double(s.left));
        deepestRight = std::max(deepestRight, double(s.right));
        // A strip that would leave the monitor no room is no dock's: it is passed over.
        const double topEdge = s.top, bottomEdge = rootSize_.height - s.bottom;
        const double leftEdge = s.left, rightEdge = rootSize_.width - s.right;
        if (s.top && topEdge < m.maxY() && overlaps(s.topStartX, s.topEndX + 1.0, m.minX(), m.maxX())) {
            top = std::max(top, topEdge);
        }
        if (s.bottom && bottomEdge > m.minY() && overlaps(s.bottomStartX, s.bottomEndX + 1.0, m.minX(), m.maxX())) {
            bottom = std::min(bottom, bottomEdge);
        }
        if (s.left && leftEdge < m.maxX() && overlaps(s.leftStartY, s.leftEndY + 1.0, m.minY(), m.maxY())) {
            left = std::max(left, leftEdge);
        }
        if (s.right && rightEdge > m.minX() && overlaps(s.rightStartY, s.rightEndY + 1.0, m.minY(), m.maxY())) {
            right = std::min(right, rightEdge);
        }
    }
    // Strips that together leave nothing: the whole monitor, rather than no room at all.
    Rect visible = right > left && bottom > top ? Rect(left, top, right - left, bottom - top) : m;
    // The window manager's own work area has the last word where it covers the monitor. It
    // is one rectangle for the whole screen, so a strip kept on one monitor cuts the others
    // along that edge too: an edge the strips account for was taken monitor by monitor above.
    // It counts the strip of the window left out, though, and it is written after the
    // strips it comes from: that room goes by the strips alone.
    if (const auto area = leftOut == XCB_NONE ? model_.workArea() : std::nullopt) {
        const double areaTop = area->minY() <= deepestTop ? 0 : area->minY();
        const double areaLeft = area->minX() <= deepestLeft ? 0 : area->minX();
        const double areaBottom = rootSize_.height - area->maxY() <= deepestBottom ? rootSize_.height : area->maxY();
        const double areaRight = rootSize_.width - area->maxX() <= deepestRight ? rootSize_.width : area->maxX();
        const Rect within = visible.intersection(Rect(areaLeft, areaTop, areaRight - areaLeft, areaBottom - areaTop));
        if (!within.isNull() && within.width() > 0 && within.height() > 0) visible = within;
    }
    return visible;
}

std::vector<Screen> X11Displays::screens() {
    std::vector<Screen> out;
    const double h = flipHeight();
    for (const X11Monitor& m : monitors_) {
        Screen s;
        s.deviceDescription[ax::screenNumberKey] = PlistValue(std::int64_t{m.id});
        const Rect& b = m.bounds;
        s.frame = Rect(b.x(), h - b.maxY(), b.width(), b.height());
        const Rect v = visibleArea(m);
        s.visibleFrame = Rect(v.x(), h - v.maxY(), v.width(), v.height());
        out.push_back(std::move(s));
    }
    return out;
}

std::optional<Screen> X11Displays::mainScreen() {
    auto all = screens();
    if (all.empty()) return std::nullopt;
    return all.front();
}

Rect X11Displays::displayBounds(DisplayID display) {
    const X11Monitor* m = monitorOf(display);
    return m ? m->bounds : Rect();
}

DisplayID X11Displays::mainDisplayID() { return monitors_.empty() ? 0 : monitors_.front().id; }

std::optional<std::string> X11Displays::displayUUIDString(DisplayID display) {
    const X11Monitor* m = monitorOf(display);
    return m ? std::optional(m->uuid) : std::nullopt;
}

DisplayID X11Displays::displayIDFromUUIDString(const std::string& uuid) {
    // Asked for every frame of every kest at start-up: compared in place, not copied.
    for (const X11Monitor& m : monitors_) {
        if (names(uuid, m.uuid)) return m.id;
    }
    return 0;
}

Point X11Displays::mouseLocation() {
    const auto p = pointer_.position();
    if (!p) return Point{};
    return Point{double(p->x), flipHeight() - p->y};
}

void X11Displays::warpMouseCursor(Point global) {
    xcb_warp_pointer(x_.raw(), XCB_NONE, x_.root(), 0, 0, 0, 0, static_cast<std::int16_t>(global.x),
                     static_cast<std::int16_t>(global.y));
    x_.countRequest();
    x_.flush();
    // A warp makes no raw motion.
    pointer_.forget();
}

bool X11Displays::createEventSource() { return x_.hasExtension(xcb_test_id); }

void X11Displays::postMouseEvent(EventType type, Point global) {
    std::uint8_t kind = XCB_MOTION_NOTIFY;
    std::uint8_t button = 0;
    switch (type) {
        case EventType::leftMouseDown:
            kind = XCB_BUTTON_PRESS;
            button = 1;
            break;
        case EventType::leftMouseUp:
            kind = XCB_BUTTON_RELEASE;
            button = 1;
            break;
        case EventType::rightMouseDown:
            kind = XCB_BUTTON_PRESS;
            button = 3;
            break;
        case EventType::rightMouseUp:
            kind = XCB_BUTTON_RELEASE;
            button = 3;
            break;
        default:
            break;
    }
    warpMouseCursor(global);
    if (button && createEventSource()) xcb_test_fake_input(x_.raw(), kind, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    x_.countRequest();
    x_.flush();
}

}  // namespace kestr
