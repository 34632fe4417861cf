#include "TestClient.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb_icccm.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace kestr::x11test {
namespace {

// Plain colours, so that a screenshot tells the windows apart.
constexpr uint32_t kBackgrounds[] = {0x3465a4, 0x73d216, 0xf57900, 0xcc0000, 0x75507b, 0xc4a000};

using Clock = std::chrono::steady_clock;

}  // namespace

TestClient::TestClient(ClientOptions options) : options_(std::move(options)) {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_)) throw std::runtime_error("cannot connect to the X display");
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    screen_ = it.data;
    if (!xcb_ewmh_init_atoms_replies(&ewmh_, xcb_ewmh_init_atoms(connection_, &ewmh_), nullptr))
        throw std::runtime_error("cannot intern the EWMH atoms");
    deleteWindow_ = intern("WM_DELETE_WINDOW");
    wmState_ = intern("WM_STATE");
    for (int i = 0; i < options_.windows; ++i) create(i);
    xcb_flush(connection_);
    if (!options_.argumentsFile.empty()) {
        std::ofstream out(options_.argumentsFile);
        for (const std::string& a : options_.extra) out << a << '\n';
    }
}

TestClient::~TestClient() {
    xcb_ewmh_connection_wipe(&ewmh_);
    xcb_disconnect(connection_);
}

xcb_atom_t TestClient::intern(const char* name) {
    auto* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

void TestClient::create(int index, xcb_window_t reuse) {
    const ClientOptions& c = options_;
    ClientGeometry g = c.geometry.value_or(ClientGeometry{0, 0, 400, 300});
    const xcb_window_t id = reuse != XCB_NONE ? reuse : xcb_generate_id(connection_);
    uint32_t values[] = {kBackgrounds[index % std::size(kBackgrounds)],
                         XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, id, screen_->root, static_cast<int16_t>(g.x),
                      static_cast<int16_t>(g.y), static_cast<uint16_t>(g.width), static_cast<uint16_t>(g.height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    if (reuse != XCB_NONE) {
        windows_[static_cast<size_t>(index)] = {id};
    } else {
        windows_.push_back({id});
    }

    setTitle(id, c.windows > 1 ? c.title + " " + std::to_string(index + 1) : c.title);
    std::string wmClass = c.instance + '\0' + c.wmClass + '\0';
    xcb_icccm_set_wm_class(connection_, id, static_cast<uint32_t>(wmClass.size()), wmClass.data());
    xcb_icccm_set_wm_protocols(connection_, id, ewmh_.WM_PROTOCOLS, 1, &deleteWindow_);
    if (c.pid) {
        // A pid means something only together with the machine it runs on.
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        xcb_icccm_set_wm_client_machine(connection_, id, XCB_ATOM_STRING, 8, static_cast<uint32_t>(std::strlen(host)),
                                        host);
        xcb_ewmh_set_wm_pid(&ewmh_, id, static_cast<uint32_t>(getpid()));
    }

    xcb_size_hints_t size{};
    if (c.geometry) {
        xcb_icccm_size_hints_set_position(&size, 1, g.x, g.y);
        xcb_icccm_size_hints_set_size(&size, 1, g.width, g.height);
    }
    if (c.minSize) xcb_icccm_size_hints_set_min_size(&size, c.minSize->width, c.minSize->height);
    if (c.increment) xcb_icccm_size_hints_set_resize_inc(&size, c.increment->width, c.increment->height);
    if (c.baseSize) xcb_icccm_size_hints_set_base_size(&size, c.baseSize->width, c.baseSize->height);
    xcb_icccm_set_wm_normal_hints(connection_, id, &size);

    xcb_icccm_wm_hints_t hints{};
    xcb_icccm_wm_hints_set_input(&hints, 1);
    if (c.state == "hidden")
        xcb_icccm_wm_hints_set_iconic(&hints);
    else
        xcb_icccm_wm_hints_set_normal(&hints);
    xcb_icccm_set_wm_hints(connection_, id, &hints);

    xcb_atom_t type = c.type == "dialog"    ? ewmh_._NET_WM_WINDOW_TYPE_DIALOG
                      : c.type == "utility" ? ewmh_._NET_WM_WINDOW_TYPE_UTILITY
                      : c.type == "dock"    ? ewmh_._NET_WM_WINDOW_TYPE_DOCK
                      : c.type == "desktop" ? ewmh_._NET_WM_WINDOW_TYPE_DESKTOP
                                            : ewmh_._NET_WM_WINDOW_TYPE_NORMAL;
    xcb_ewmh_set_wm_window_type(&ewmh_, id, 1, &type);
    if (c.state == "fullscreen") xcb_ewmh_set_wm_state(&ewmh_, id, 1, &ewmh_._NET_WM_STATE_FULLSCREEN);
    if (c.icon) {
        const auto w = static_cast<uint32_t>(c.icon->width);
        const auto h = static_cast<uint32_t>(c.icon->height);
        std::vector<uint32_t> data{w, h};
        data.resize(2 + static_cast<size_t>(w) * h, 0xff000000u | kBackgrounds[index % std::size(kBackgrounds)]);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, ewmh_._NET_WM_ICON, XCB_ATOM_CARDINAL, 32,
                            static_cast<uint32_t>(data.size()), data.data());
    }
    if (c.transientForFirst && index > 0) xcb_icccm_set_wm_transient_for(connection_, id, windows_.front().id);
    if (c.strutTop > 0) {
        auto top = static_cast<uint32_t>(c.strutTop);
        xcb_ewmh_wm_strut_partial_t strut{};
        strut.top = top;
        strut.top_start_x = static_cast<uint32_t>(g.x);
        strut.top_end_x = static_cast<uint32_t>(g.x + g.width - 1);
        xcb_ewmh_set_wm_strut_partial(&ewmh_, id, strut);
        xcb_ewmh_set_wm_strut(&ewmh_, id, 0, 0, top, 0);
    }
}

void TestClient::setTitle(xcb_window_t window, const std::string& title) {
    auto length = static_cast<uint32_t>(title.size());
    xcb_icccm_set_wm_name(connection_, window, XCB_ATOM_STRING, 8, length, title.data());
    xcb_ewmh_set_wm_name(&ewmh_, window, length, title.data());
}

TestClient::Window* TestClient::find(xcb_window_t id) {
    for (Window& w : windows_)
        if (w.id == id) return &w;
    return nullptr;
}

bool TestClient::anyAlive() const {
    for (const Window& w : windows_)
        if (w.alive) return true;
    return false;
}

void TestClient::handle(xcb_generic_event_t* event) {
    switch (event->response_type & ~0x80) {
        case XCB_MAP_NOTIFY:
            if (Window* w = find(reinterpret_cast<xcb_map_notify_event_t*>(event)->window)) w->shown = true;
            break;
        case XCB_PROPERTY_NOTIFY: {
            // A window that starts minimised is never mapped; the window manager's WM_STATE
            // says it has taken it.
            auto* e = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (options_.state == "hidden" && e->atom == wmState_ && e->state == XCB_PROPERTY_NEW_VALUE)
                if (Window* w = find(e->window)) w->shown = true;
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            auto* e = reinterpret_cast<xcb_configure_notify_event_t*>(event);
            if (options_.keepWidth && e->width < *options_.keepWidth && find(e->window)) {
                const std::uint32_t width = static_cast<std::uint32_t>(*options_.keepWidth);
                xcb_configure_window(connection_, e->window, XCB_CONFIG_WINDOW_WIDTH, &width);
            }
            break;
        }
        case XCB_CLIENT_MESSAGE: {
            auto* e = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (e->type == ewmh_.WM_PROTOCOLS && e->data.data32[0] == deleteWindow_ && !options_.ignoreDelete)
                if (Window* w = find(e->window); w && w->alive) xcb_destroy_window(connection_, w->id);
            break;
        }
        case XCB_DESTROY_NOTIFY:
            if (Window* w = find(reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window)) w->alive = false;
            break;
        default:
            break;
    }
}

// Announces windows in the order they were made, so that line i names window i.
void TestClient::announceShown() {
    for (Window& w : windows_) {
        if (!w.shown) return;
        if (w.announced) continue;
        w.announced = true;
        std::printf("window 0x%x\n", w.id);
        std::fflush(stdout);
    }
}

bool TestClient::command(const std::string& line) {
    if (line == "quit") return false;
    char verb[16] = {};
    int index = -1;
    int used = 0;
    if (std::sscanf(line.c_str(), "%15s %d%n", verb, &index, &used) < 2 || index < 0 ||
        index >= static_cast<int>(windows_.size())) {
        std::fprintf(stderr, "kestr_test_client: cannot read the command \"%s\"\n", line.c_str());
        return true;
    }
    Window& w = windows_[static_cast<size_t>(index)];
    if (std::strcmp(verb, "title") == 0) {
        std::string text = line.substr(static_cast<size_t>(used));
        if (!text.empty() && text.front() == ' ') text.erase(0, 1);
        setTitle(w.id, text);
    } else if (std::strcmp(verb, "close") == 0) {
        if (w.alive) xcb_destroy_window(connection_, w.id);
    } else if (std::strcmp(verb, "reopen") == 0) {
        // The server frees a closed window's id for the next one to take, as it gives a
        // closed client's ids to the next client: a fresh window under the same id, made
        // once the old one is gone.
        if (w.alive) xcb_destroy_window(connection_, w.id);
        xcb_flush(connection_);
        while (w.alive) {
            xcb_generic_event_t* event = xcb_wait_for_event(connection_);
            if (!event) return true;
            handle(event);
            std::free(event);
        }
        create(index, w.id);
        xcb_map_window(connection_, w.id);
    } else {
        std::fprintf(stderr, "kestr_test_client: unknown command \"%s\"\n", line.c_str());
    }
    xcb_flush(connection_);
    return true;
}

int TestClient::run() {
    const auto mapAt = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(options_.delaySeconds));
    bool mapped = false;
    std::string input;
    for (;;) {
        if (!mapped && Clock::now() >= mapAt) {
            for (const Window& w : windows_) xcb_map_window(connection_, w.id);
            xcb_flush(connection_);
            mapped = true;
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            handle(event);
            std::free(event);
        }
        xcb_flush(connection_);
        if (xcb_connection_has_error(connection_)) return 1;
        announceShown();
        if (!anyAlive()) return 0;

        int timeout = -1;
        if (!mapped) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(mapAt - Clock::now()).count();
            timeout = static_cast<int>(std::max<long long>(left, 0) + 1);
        }
        pollfd fds[] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(fds, options_.detached ? 1 : 2, timeout) < 0) continue;
        if (fds[1].revents) {
            char buffer[4096];
            ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) return 0;
            input.append(buffer, static_cast<size_t>(n));
            for (size_t end; (end = input.find('\n')) != std::string::npos;) {
                std::string line = input.substr(0, end);
                input.erase(0, end + 1);
                if (!command(line)) return 0;
            }
        }
    }
}

}  // namespace kestr::x11test
