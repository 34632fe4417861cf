#include "Platform/X11/X11WindowModel.h"

#include <xcb/res.h>
#include <xcb/xcb_icccm.h>

#include <unistd.h>

#include <algorithm>
#include <set>

#include "Platform/Observers.h"
#include "Platform/X11/X11Text.h"

namespace kestr {

namespace {

std::string text(const xcb_get_property_reply_t* r) {
    if (!r || r->format != 8) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(r)), xcb_get_property_value_length(r));
}

// WM_NAME is Latin-1 (STRING) by the old convention; programs that write anything else
// there say so.
std::string plainText(const xcb_get_property_reply_t* r, xcb_atom_t utf8String, xcb_atom_t compoundText) {
    if (!r || r->format != 8) return {};
    if (r->type == utf8String) return text(r);
    if (r->type == compoundText) return X11Text::fromCompoundText(text(r));
    return X11Text::fromLatin1(text(r));
}

// The host name as programs write it, fully qualified or not.
bool isThisMachine(const std::string& machine) {
    static const std::string host = [] {
        char name[256] = {};
        gethostname(name, sizeof name - 1);
        return std::string(name);
    }();
    const auto firstLabel = [](const std::string& name) { return name.substr(0, name.find('.')); };
    return machine == host || firstLabel(machine) == firstLabel(host);
}

std::vector<std::uint32_t> items(const xcb_get_property_reply_t* r) {
    if (!r || r->format != 32) return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(r));
    return std::vector<std::uint32_t>(data, data + xcb_get_property_value_length(r) / 4);
}

}  // namespace

// The requests that load one window, sent together and answered together.
struct X11WindowModel::Pending {
    xcb_window_t window = 0;
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t origin{};
    xcb_get_window_attributes_cookie_t attributes{};
    xcb_query_tree_cookie_t tree{};
    std::optional<xcb_res_query_client_ids_cookie_t> pid;
    std::map<xcb_atom_t, xcb_get_property_cookie_t> properties;
};

// ---- waiting on events ----

struct X11WindowModel::Waiter {
    std::function<bool()> condition;
    std::coroutine_handle<> handle;
    TimerID deadline = 0;
    bool done = false;
    bool abandoned = false;
    bool result = false;
};

class X11WindowModel::Wait {
public:
    Wait(X11WindowModel& model, std::function<bool()> condition, double seconds)
        : model_(model), waiter_(std::make_shared<Waiter>()), seconds_(seconds) {
        waiter_->condition = std::move(condition);
    }
    ~Wait() {
        // The awaiting task went away while it waited.
        if (waiter_->done) return;
        waiter_->abandoned = true;
        model_.finish(waiter_, false);
    }
    Wait(const Wait&) = delete;
    Wait& operator=(const Wait&) = delete;

    bool await_ready() {
        waiter_->result = waiter_->condition();
        waiter_->done = waiter_->result;
        return waiter_->result;
    }
    void await_suspend(std::coroutine_handle<> h) {
        waiter_->handle = h;
        model_.waiters_.push_back(waiter_);
        std::weak_ptr<Waiter> weak = waiter_;
        X11WindowModel* model = &model_;
        waiter_->deadline = model_.actor_.schedule(seconds_, [weak, model] {
            if (auto w = weak.lock()) {
                w->deadline = 0;
                model->finish(w, false);
            }
        });
    }
    bool await_resume() const { return waiter_->result; }

private:
    X11WindowModel& model_;
    std::shared_ptr<Waiter> waiter_;
    double seconds_;
};

Task<bool> X11WindowModel::waitFor(std::function<bool()> condition, double seconds) {
    co_return co_await Wait(*this, std::move(condition), seconds);
}

void X11WindowModel::finish(const std::shared_ptr<Waiter>& waiter, bool result) {
    if (waiter->done && !waiter->abandoned) return;
    waiter->done = true;
    waiter->result = result;
    if (waiter->deadline) actor_.cancel(waiter->deadline);
    waiter->deadline = 0;
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), waiter), waiters_.end());
    if (waiter->abandoned || !waiter->handle) return;
    // Resumed by the loop, never from inside the event dispatch.
    actor_.post([waiter] {
        if (!waiter->abandoned) waiter->handle.resume();
    });
}

void X11WindowModel::afterEvent() {
    checkWaiters();
    if (changes_ == toldChanges_) return;
    toldChanges_ = changes_;
    tellObservers(changeObservers_);
}

void X11WindowModel::checkWaiters() {
    const auto current = waiters_;
    for (const auto& waiter : current) {
        if (!waiter->done && waiter->condition()) finish(waiter, true);
    }
}

// ---- loading ----

X11WindowModel::X11WindowModel(X11Connection& connection, MainActor& actor)
    : x_(connection), actor_(actor), compoundText_(connection.atom("COMPOUND_TEXT")), frames_(connection) {
    auto& e = x_.ewmh();
    read_ = {e._NET_WM_PID,
             e._NET_WM_NAME,
             XCB_ATOM_WM_NAME,
             XCB_ATOM_WM_CLASS,
             e._NET_WM_WINDOW_TYPE,
             e._NET_WM_STATE,
             e._NET_WM_DESKTOP,
             XCB_ATOM_WM_TRANSIENT_FOR,
             XCB_ATOM_WM_NORMAL_HINTS,
             e._NET_FRAME_EXTENTS,
             e._NET_WM_STRUT_PARTIAL,
             XCB_ATOM_WM_CLIENT_MACHINE};
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x_.raw(), x_.root(), XCB_CW_EVENT_MASK, &mask);
    x_.addListener([this](const xcb_generic_event_t& event) { handle(event); });
    x_.addAfterEventListener([this] { afterEvent(); });
    reload();
}

X11WindowModel::~X11WindowModel() {
    // Tasks still waiting are destroyed after the model (with the loop that holds them):
    // their waits must find nothing left to undo here.
    for (const auto& waiter : waiters_) {
        waiter->done = true;
        waiter->abandoned = true;
        if (waiter->deadline) actor_.cancel(waiter->deadline);
    }
}

void X11WindowModel::reload() {
    ++changes_;
    // A window read again is taken for the same window: its handles stay good.
    std::map<xcb_window_t, std::uint32_t> known;
    for (const auto& [w, c] : clients_) known.emplace(w, c.generation);
    clients_.clear();
    strutWindows_.clear();
    readDesktops();
    readClientList();
    for (auto& [w, c] : clients_) {
        if (const auto found = known.find(w); found != known.end()) c.generation = found->second;
    }
    readActiveWindow();
}

std::optional<xcb_window_t> X11WindowModel::activeWindow() {
    if (activeChanged_) readActiveWindow();
    return active_;
}

void X11WindowModel::readActiveWindow() {
    activeChanged_ = false;
    const auto v = x_.cardinals(x_.root(), x_.ewmh()._NET_ACTIVE_WINDOW);
    active_ = v && !v->empty() && (*v)[0] ? std::optional<xcb_window_t>((*v)[0]) : std::nullopt;
}

const X11Client* X11WindowModel::client(xcb_window_t window) const {
    auto it = clients_.find(window);
    return it == clients_.end() ? nullptr : &it->second;
}

std::optional<Rect> X11WindowModel::workArea() const {
    const std::size_t at = static_cast<std::size_t>(currentDesktop_) * 4;
    if (workAreas_.size() < at + 4) {
        if (workAreas_.size() < 4) return std::nullopt;
        return Rect(workAreas_[0], workAreas_[1], workAreas_[2], workAreas_[3]);
    }
    return Rect(workAreas_[at], workAreas_[at + 1], workAreas_[at + 2], workAreas_[at + 3]);
}

Rect X11WindowModel::shownFrame(const X11Client& client) const {
    const Rect frame = client.frame();
    if (!client.maximized && !client.fullScreen) return frame;
    const Point middle{client.clientArea.midX(), client.clientArea.midY()};
    for (const Rect& monitor : monitors_) {
        if (!monitor.contains(middle)) continue;
        const Rect shown = frame.intersection(monitor);
        return shown.isEmpty() ? frame : shown;
    }
    return frame;
}

void X11WindowModel::readDesktops() {
    auto& e = x_.ewmh();
    if (auto v = x_.cardinals(x_.root(), e._NET_CURRENT_DESKTOP); v && !v->empty()) currentDesktop_ = (*v)[0];
    if (auto v = x_.cardinals(x_.root(), e._NET_NUMBER_OF_DESKTOPS); v && !v->empty()) desktopCount_ = (*v)[0];
    workAreas_ = x_.cardinals(x_.root(), e._NET_WORKAREA).value_or(std::vector<std::uint32_t>{});
}

void X11WindowModel::readClientList() {
    auto& e = x_.ewmh();
    auto list = x_.cardinals(x_.root(), e._NET_CLIENT_LIST_STACKING);
    if (!list) list = x_.cardinals(x_.root(), e._NET_CLIENT_LIST);
    // Each window once, where it stands highest; the root window and none are no clients
    // (any client may write these root properties).
    std::vector<xcb_window_t> bottomToTop;
    std::set<xcb_window_t> seen;
    const auto listed = list.value_or(std::vector<std::uint32_t>{});
    for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
        if (*it != XCB_NONE && *it != x_.root() && seen.insert(*it).second) bottomToTop.push_back(*it);
    }
    std::reverse(bottomToTop.begin(), bottomToTop.end());
    std::vector<xcb_window_t> fresh;
    for (xcb_window_t w : bottomToTop) {
        if (!clients_.count(w)) fresh.push_back(w);
    }
    bool changed = !fresh.empty();
    for (auto it = clients_.begin(); it != clients_.end();) {
        if (!seen.count(it->first)) {
            frames_.forget(it->first);
            if (strutWindows_.erase(it->first)) stripsChanged();
            it = clients_.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    loadClients(fresh);
    frontToBack_.clear();
    for (auto it = bottomToTop.rbegin(); it != bottomToTop.rend(); ++it) {
        if (clients_.count(*it)) frontToBack_.push_back(*it);
    }
    owners_.rebuild(frontToBack_, clients_);
    if (changed) tellObservers(clientListObservers_);
}

void X11WindowModel::loadClients(const std::vector<xcb_window_t>& windows) {
    // Every request first, then every reply: one round trip for the whole batch.
    std::vector<Pending> pending;
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    for (xcb_window_t w : windows) {
        xcb_change_window_attributes(x_.raw(), w, XCB_CW_EVENT_MASK, &mask);
        Pending p;
        p.window = w;
        p.geometry = xcb_get_geometry(x_.raw(), w);
        p.origin = xcb_translate_coordinates(x_.raw(), w, x_.root(), 0, 0);
        p.attributes = xcb_get_window_attributes(x_.raw(), w);
        p.tree = xcb_query_tree(x_.raw(), w);
        p.pid = requestServerPid(w);
        for (xcb_atom_t a : read_) p.properties[a] = x_.requestProperty(w, a);
        pending.push_back(std::move(p));
    }
    std::vector<std::pair<xcb_window_t, xcb_window_t>> parents;
    // Where each client starts in its parent, and on the root.
    std::vector<std::pair<Point, Point>> places;
    for (Pending& p : pending) {
        X11Client c;
        c.id = p.window;
        // Handles hold 24 bits of it; 0 is never given.
        nextGeneration_ = nextGeneration_ % 0xFFFFFF + 1;
        c.generation = nextGeneration_;
        auto geometry = x_.reply<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, p.geometry);
        auto origin = x_.reply<xcb_translate_coordinates_reply_t>(xcb_translate_coordinates_reply, p.origin);
        auto attributes = x_.reply<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes_reply, p.attributes);
        auto tree = x_.reply<xcb_query_tree_reply_t>(xcb_query_tree_reply, p.tree);
        c.serverPid = serverPid(p.pid);
        bool gone = !geometry || !origin || !attributes || !tree;
        if (!gone) {
            c.clientArea = Rect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
            c.mapped = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        }
        for (auto& [atom, cookie] : p.properties) {
            auto r = x_.property(cookie);
            if (!gone) applyProperty(c, atom, r.get());
        }
        if (gone) continue;
        parents.emplace_back(c.id, tree->parent);
        places.emplace_back(
            Point{double(geometry->x + geometry->border_width), double(geometry->y + geometry->border_width)},
            c.clientArea.origin);
        clients_.emplace(p.window, std::move(c));
    }
    frames_.followAll(parents);
    for (std::size_t i = 0; i < parents.size(); ++i) place(parents[i].first, places[i].first, places[i].second);
}

std::optional<std::int32_t> X11WindowModel::pidFromServer(xcb_window_t window) {
    return serverPid(requestServerPid(window));
}

std::optional<xcb_res_query_client_ids_cookie_t> X11WindowModel::requestServerPid(xcb_window_t window) {
    if (!x_.hasExtension(xcb_res_id)) return std::nullopt;
    xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    return xcb_res_query_client_ids(x_.raw(), 1, &spec);
}

// The server knows the process of a client on this machine; none for a remote one.
std::optional<std::int32_t> X11WindowModel::serverPid(std::optional<xcb_res_query_client_ids_cookie_t> cookie) {
    if (!cookie) return std::nullopt;
    auto r = x_.reply<xcb_res_query_client_ids_reply_t>(xcb_res_query_client_ids_reply, *cookie);
    if (!r) return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(r.get()); it.rem; xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(it.data) >= 1) {
            const auto pid = static_cast<std::int32_t>(*xcb_res_client_id_value_value(it.data));
            if (pid > 0) return pid;
        }
    }
    return std::nullopt;
}

void X11WindowModel::applyProperty(X11Client& c, xcb_atom_t atom, const xcb_get_property_reply_t* r) {
    auto& e = x_.ewmh();
    if (atom == e._NET_WM_PID) {
        // Only a process that can be: 0 and what reads as negative (-1 would be every
        // process to kill()) say nothing.
        const auto v = items(r);
        const auto declared = v.empty() ? 0 : static_cast<std::int32_t>(v[0]);
        c.declaredPid = declared > 0 ? std::optional<std::int32_t>(declared) : std::nullopt;
    } else if (atom == XCB_ATOM_WM_CLIENT_MACHINE) {
        const std::string machine = text(r);
        c.otherMachine = !machine.empty() && !isThisMachine(machine);
    } else if (atom == e._NET_WM_NAME) {
        // A name that is no text (another format) is as good as none: WM_NAME stands.
        c.netTitle = r && r->format == 8 ? std::optional<std::string>(text(r)) : std::nullopt;
    } else if (atom == XCB_ATOM_WM_NAME) {
        c.plainTitle = plainText(r, e.UTF8_STRING, compoundText_);
    } else if (atom == XCB_ATOM_WM_CLASS) {
        // Instance and class, each ended by a NUL; anything after the class is no part of it.
        const std::string both = text(r);
        const auto split = both.find('\0');
        c.wmInstance = both.substr(0, split);
        c.wmClass = split == std::string::npos ? std::string() : both.substr(split + 1);
        c.wmClass = c.wmClass.substr(0, c.wmClass.find('\0'));
    } else if (atom == e._NET_WM_WINDOW_TYPE) {
        c.declaredType = std::nullopt;
        const std::pair<xcb_atom_t, X11WindowType> known[] = {
            {e._NET_WM_WINDOW_TYPE_NORMAL, X11WindowType::normal},
            {e._NET_WM_WINDOW_TYPE_DIALOG, X11WindowType::dialog},
            {e._NET_WM_WINDOW_TYPE_UTILITY, X11WindowType::utility},
            {e._NET_WM_WINDOW_TYPE_DOCK, X11WindowType::dock},
            {e._NET_WM_WINDOW_TYPE_DESKTOP, X11WindowType::desktop},
            {e._NET_WM_WINDOW_TYPE_SPLASH, X11WindowType::splash},
            {e._NET_WM_WINDOW_TYPE_TOOLBAR, X11WindowType::toolbar},
            {e._NET_WM_WINDOW_TYPE_MENU, X11WindowType::menu},
            {e._NET_WM_WINDOW_TYPE_NOTIFICATION, X11WindowType::notification}};
        // The first type this program knows wins, as the list is in order of preference.
        for (std::uint32_t a : items(r)) {
            for (const auto& [knownAtom, type] : known) {
                if (a == knownAtom) c.declaredType = type;
            }
            if (c.declaredType) break;
        }
    } else if (atom == e._NET_WM_STATE) {
        c.hidden = c.fullScreen = c.maximizedAcross = c.maximizedUpDown = c.above = false;
        for (std::uint32_t a : items(r)) {
            if (a == e._NET_WM_STATE_HIDDEN) c.hidden = true;
            if (a == e._NET_WM_STATE_FULLSCREEN) c.fullScreen = true;
            if (a == e._NET_WM_STATE_MAXIMIZED_HORZ) c.maximizedAcross = true;
            if (a == e._NET_WM_STATE_MAXIMIZED_VERT) c.maximizedUpDown = true;
            if (a == e._NET_WM_STATE_ABOVE) c.above = true;
        }
        c.maximized = c.maximizedAcross || c.maximizedUpDown;
    } else if (atom == e._NET_WM_DESKTOP) {
        const auto v = items(r);
        c.desktop = v.empty() ? std::nullopt : std::optional<std::uint32_t>(v[0]);
    } else if (atom == XCB_ATOM_WM_TRANSIENT_FOR) {
        const auto v = items(r);
        c.transient = !v.empty() && v[0] != 0;
    } else if (atom == XCB_ATOM_WM_NORMAL_HINTS) {
        xcb_size_hints_t hints{};
        c.minSize = c.sizeIncrement = c.baseSize = std::nullopt;
        if (r && xcb_icccm_get_wm_size_hints_from_reply(&hints, const_cast<xcb_get_property_reply_t*>(r))) {
            if (hints.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE)
                c.minSize = Size{double(hints.min_width), double(hints.min_height)};
            // A step as large as the screen is none: it would excuse any size as "within a step".
            const bool plausible =
                hints.width_inc < x_.screen().width_in_pixels && hints.height_inc < x_.screen().height_in_pixels;
            if ((hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) && plausible &&
                (hints.width_inc > 1 || hints.height_inc > 1)) {
                c.sizeIncrement = Size{double(std::max(1, hints.width_inc)), double(std::max(1, hints.height_inc))};
            }
            if (hints.flags & XCB_ICCCM_SIZE_HINT_BASE_SIZE)
                c.baseSize = Size{double(hints.base_width), double(hints.base_height)};
        }
    } else if (atom == e._NET_FRAME_EXTENTS) {
        // Decorations wider or taller than the whole screen are no decorations (any client
        // may write this property): the window is taken as it is, rather than moved and
        // sized by them.
        const auto v = items(r);
        const bool fits = v.size() >= 4 && std::uint64_t{v[0]} + v[1] < x_.screen().width_in_pixels &&
                          std::uint64_t{v[2]} + v[3] < x_.screen().height_in_pixels;
        c.extents = fits ? X11Extents{double(v[0]), double(v[1]), double(v[2]), double(v[3])} : X11Extents{};
        frameChanged(c);
    } else if (atom == e._NET_WM_STRUT_PARTIAL) {
        const auto v = items(r);
        const std::optional<X11Strut> before = c.strut;
        if (v.size() >= 12) {
            c.strut = X11Strut{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11]};
            strutWindows_.insert(c.id);
        } else {
            c.strut = std::nullopt;
            strutWindows_.erase(c.id);
        }
        if (c.strut != before) stripsChanged();
    }
    c.resolve();
}

// ---- events ----

void X11WindowModel::handle(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7F;
    if (type == XCB_PROPERTY_NOTIFY || type == XCB_CONFIGURE_NOTIFY || type == XCB_REPARENT_NOTIFY ||
        type == XCB_MAP_NOTIFY || type == XCB_UNMAP_NOTIFY || type == XCB_DESTROY_NOTIFY) {
        ++changes_;
    }
    switch (type) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (e.window == x_.root()) {
                handleRootProperty(e.atom);
            } else if (auto it = clients_.find(e.window); it != clients_.end() && read_.count(e.atom)) {
                // Only what the model reads costs a round trip: a window may change others
                // at any rate.
                auto r = x_.property(x_.requestProperty(e.window, e.atom));
                owners_.remove(it->second);
                applyProperty(it->second, e.atom, r.get());
                owners_.add(it->second);
            }
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            // Sent by a client (the window manager, or anyone) rather than by the server.
            const bool sent = (event.response_type & 0x80) != 0;
            if (auto it = clients_.find(e.window); it != clients_.end()) {
                clientConfigured(it->second, e, sent);
                it->second.toldAt = event.full_sequence;
                it->second.frameToldAt = frames_.frameConfiguredAt(e.window, event.full_sequence);
            }
            // A frame listed as a client itself still carries its clients along; only the
            // server's word moves a frame.
            if (!sent) {
                if (const auto clients = frames_.configured(e, event.full_sequence)) frameConfigured(*clients);
            }
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
            if (auto it = clients_.find(e.window); it != clients_.end()) {
                frames_.follow(e.window, e.parent);
                readGeometry(it->second);
            }
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
            if (auto it = clients_.find(e.window); it != clients_.end()) {
                it->second.mapped = true;
                readGeometry(it->second);
            }
            break;
        }
        case XCB_UNMAP_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_unmap_notify_event_t&>(event);
            if (auto it = clients_.find(e.window); it != clients_.end()) it->second.mapped = false;
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            frames_.destroyed(e.window);
            if (const auto it = clients_.find(e.window); it != clients_.end()) {
                owners_.remove(it->second);
                if (strutWindows_.erase(it->first)) stripsChanged();
                clients_.erase(it);
                frames_.forget(e.window);
                frontToBack_.erase(std::remove(frontToBack_.begin(), frontToBack_.end(), e.window), frontToBack_.end());
                tellObservers(clientListObservers_);
            }
            break;
        }
        default:
            break;
    }
}

void X11WindowModel::handleRootProperty(xcb_atom_t atom) {
    auto& e = x_.ewmh();
    if (atom == e._NET_CLIENT_LIST_STACKING || atom == e._NET_CLIENT_LIST) {
        readClientList();
    } else if (atom == e._NET_ACTIVE_WINDOW) {
        activeChanged_ = true;
    } else if (atom == e._NET_CURRENT_DESKTOP || atom == e._NET_NUMBER_OF_DESKTOPS || atom == e._NET_WORKAREA) {
        readDesktops();
        stripsChanged();
    }
}

void X11WindowModel::stripsChanged() { tellObservers(stripObservers_); }

bool X11WindowModel::answeredSince(xcb_window_t window, std::uint32_t sequence) const {
    const X11Client* c = client(window);
    return c && atOrAfter(c->toldAt, sequence) && atOrAfter(c->frameToldAt, sequence);
}

void X11WindowModel::clientConfigured(X11Client& c, const xcb_configure_notify_event_t& e, bool sent) {
    const double border = e.border_width;
    const Size size{double(e.width), double(e.height)};
    if (sent) {
        // The window manager's word to the client, in root coordinates; any client may send
        // one, so it stands only where the frames cannot tell.
        if (frames_.origin(c.id)) return;
        const Point origin{e.x + border, e.y + border};
        frames_.placeOnRoot(c.id, origin);
        setArea(c, Rect(origin, size));
        return;
    }
    if (frames_.placeInParent(c.id, Point{e.x + border, e.y + border})) {
        if (const auto origin = frames_.origin(c.id)) return setArea(c, Rect(*origin, size));
    }
    readGeometry(c);  // nested deeper in its frame, or its frame's place not known yet
}

void X11WindowModel::frameConfigured(const std::vector<xcb_window_t>& clients) {
    for (const xcb_window_t client : clients) {
        const auto it = clients_.find(client);
        if (it == clients_.end()) continue;
        X11Client& c = it->second;
        if (const auto origin = frames_.origin(client)) {
            setArea(c, Rect(*origin, c.clientArea.size));
        } else {
            readGeometry(c);
        }
    }
}

void X11WindowModel::place(xcb_window_t client, Point inParent, Point onRoot) {
    if (!frames_.placeInParent(client, inParent)) frames_.placeOnRoot(client, onRoot);
}

void X11WindowModel::readGeometry(X11Client& c) {
    const auto geometryCookie = xcb_get_geometry(x_.raw(), c.id);
    const auto originCookie = xcb_translate_coordinates(x_.raw(), c.id, x_.root(), 0, 0);
    auto geometry = x_.reply<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, geometryCookie);
    auto origin = x_.reply<xcb_translate_coordinates_reply_t>(xcb_translate_coordinates_reply, originCookie);
    if (!geometry || !origin) return;  // gone; its destroy event follows
    const Point onRoot{double(origin->dst_x), double(origin->dst_y)};
    place(c.id, Point{double(geometry->x + geometry->border_width), double(geometry->y + geometry->border_width)},
          onRoot);
    setArea(c, Rect(onRoot, Size{double(geometry->width), double(geometry->height)}));
}

void X11WindowModel::frameChanged(X11Client& c) {
    ++c.frameChanges;
    c.frameChangedAt = actor_.now();
}

Task<void> X11WindowModel::waitForQuiet(xcb_window_t window, double quietPeriod, double seconds) {
    const double end = actor_.now() + seconds;
    for (;;) {
        const X11Client* c = client(window);
        const double now = actor_.now();
        if (!c || c->frameChangedAt + quietPeriod <= now || now >= end) co_return;
        const std::uint64_t seen = c->frameChanges;
        co_await waitFor(
            [this, window, seen] {
                const X11Client* current = client(window);
                return !current || current->frameChanges != seen;
            },
            std::min(c->frameChangedAt + quietPeriod, end) - now);
    }
}

void X11WindowModel::setArea(X11Client& c, const Rect& area) {
    if (area == c.clientArea) return;
    c.clientArea = area;
    frameChanged(c);
}

}  // namespace kestr
