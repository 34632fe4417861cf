#include "XvfbSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/uio.h>
#include <xcb/randr.h>
#include <xcb/xcbext.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Platform/X11/Support/WaitUntil.h"
#include "Platform/X11/Support/XReads.h"

namespace kestr::x11test {
namespace {

namespace fs = std::filesystem;

constexpr double kStartSeconds = 30;

// Openbox with no key bindings (the tests' hot keys must reach us), no edge resistance, new
// windows focused and placed on the primary monitor, four desktops; a press on a title bar
// or a window focuses and raises it, a title-bar drag moves it (a binding on the whole
// frame would take the press from the title bar and no drag would ever start).
constexpr const char* kOpenboxConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <resistance><strength>0</strength><screen_edge_strength>0</screen_edge_strength></resistance>
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center><monitor>Primary</monitor></placement>
  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout></theme>
  <desktops><number>4</number><firstdesk>1</firstdesk></desktops>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <keyboard></keyboard>
  <mouse>
    <dragThreshold>1</dragThreshold>
    <context name="Titlebar"><mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind></context>
    <context name="Client"><mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind></context>
  </mouse>
</openbox_config>
)";

std::runtime_error error(const std::string& what) { return std::runtime_error("X11 test session: " + what); }

// A test program killed by a signal leaves its folder behind; the next one removes it.
void removeFoldersOfEndedSessions() {
    std::error_code ec;
    for (fs::directory_iterator it(fs::temp_directory_path(), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().rfind("kestr-x11-", 0) != 0) continue;
        pid_t owner = 0;
        std::ifstream(it->path() / "owner") >> owner;
        std::error_code ignored;
        if (owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH) fs::remove_all(it->path(), ignored);
    }
}

std::string atomName(xcb_connection_t* connection, xcb_atom_t atom) {
    auto* reply = xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr);
    if (!reply) return {};
    std::string name(xcb_get_atom_name_name(reply), static_cast<size_t>(xcb_get_atom_name_name_length(reply)));
    std::free(reply);
    return name;
}

}  // namespace

XvfbSession& XvfbSession::shared() {
    static std::string failure;
    static std::unique_ptr<XvfbSession> session = [] {
        try {
            return std::make_unique<XvfbSession>();
        } catch (const std::exception& e) {
            failure = e.what();
            return std::unique_ptr<XvfbSession>();
        }
    }();
    if (!session) throw std::runtime_error(failure);
    return *session;
}

XvfbSession::XvfbSession(int width, int height) : width_(width), height_(height) {
    for (const char* program : {"Xvfb", "openbox"})
        if (!findProgram(program))
            throw error(std::string(program) +
                        " is not installed; the X11 tests need Xvfb and openbox (make bootstrap)");
    removeFoldersOfEndedSessions();
    folder_ = (fs::temp_directory_path() / "kestr-x11-XXXXXX").string();
    if (!::mkdtemp(folder_.data())) throw error("cannot make a temporary folder");
    std::ofstream(folder_ + "/owner") << ::getpid();
    fs::create_directories(folder_ + "/.config/openbox");
    std::ofstream(folder_ + "/.config/openbox/rc.xml") << kOpenboxConfig;
    try {
        startServer();
        startWindowManager();
    } catch (...) {
        windowManager_.reset();
        connection_.reset();
        server_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        throw;
    }
}

XvfbSession::~XvfbSession() {
    compositor_.reset();
    if (windowManager_) windowManager_->terminate();
    windowManager_.reset();
    windowManagerBus_.reset();
    connection_.reset();
    if (server_) server_->terminate();
    server_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string XvfbSession::logTail(const std::string& file) const {
    std::ifstream in(folder_ + "/" + file);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    if (all.size() > 2000) all = "…" + all.substr(all.size() - 2000);
    return all.empty() ? " (" + file + " is empty)" : "\n--- " + file + ":\n" + all;
}

void XvfbSession::startServer() {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) throw error("cannot make a pipe");
    Subprocess::Spec spec;
    const std::string screen = std::to_string(width_) + "x" + std::to_string(height_) + "x24";
    spec.arguments = {"Xvfb", "-displayfd", "3", "-noreset", "-screen", "0", screen, "-nolisten", "tcp"};
    spec.logFile = folder_ + "/xvfb.log";
    // Xvfb writes the display it took to descriptor 3; a pipe end that already is 3 would
    // keep its close-on-exec flag through the dup, so it moves first.
    int writeEnd = pipe[1] == 3 ? ::fcntl(pipe[1], F_DUPFD_CLOEXEC, 10) : pipe[1];
    spec.passedFds = {{writeEnd, 3}};
    try {
        server_ = std::make_unique<Subprocess>(spec);
    } catch (...) {
        for (int fd : {pipe[0], pipe[1], writeEnd}) ::close(fd);
        throw;
    }
    ::close(pipe[1]);
    if (writeEnd != pipe[1]) ::close(writeEnd);

    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(static_cast<int>(kStartSeconds));
    while (number.find('\n') == std::string::npos) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd fd{pipe[0], POLLIN, 0};
        char buffer[32];
        ssize_t n = 0;
        if (left <= 0 || ::poll(&fd, 1, static_cast<int>(left)) <= 0 ||
            (n = ::read(pipe[0], buffer, sizeof buffer)) <= 0)
            break;
        number.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipe[0]);
    if (number.find('\n') == std::string::npos) throw error("Xvfb did not start" + logTail("xvfb.log"));
    display_ = ":" + number.substr(0, number.find('\n'));

    connection_ = std::make_unique<XConnection>(display_);
    connection_->select(
        root(), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
    auto* resources = xcb_randr_get_screen_resources_current_reply(
        connection(), xcb_randr_get_screen_resources_current(connection(), root()), nullptr);
    if (resources && xcb_randr_get_screen_resources_current_outputs_length(resources) > 0)
        output_ = xcb_randr_get_screen_resources_current_outputs(resources)[0];
    std::free(resources);
    if (!output_) throw error("Xvfb on " + display_ + " has no RandR output");
}

bool XvfbSession::windowManagerRunning() {
    auto check = property32(connection(), root(), "_NET_SUPPORTING_WM_CHECK");
    if (!check || check->empty()) return false;
    auto own = property32(connection(), check->front(), "_NET_SUPPORTING_WM_CHECK");
    return own && !own->empty() && own->front() == check->front();
}

pid_t XvfbSession::windowManagerPid() const { return windowManager_ ? windowManager_->pid() : -1; }

const char* nameOf(WindowManager which) { return which == WindowManager::openbox ? "openbox" : "xfwm4"; }

void XvfbSession::startWindowManager(WindowManager which) {
    if (windowManager_ && windowManager_->running() && running_ != which) stopWindowManager();
    const char* name = nameOf(which);
    if (windowManager_ && windowManager_->running()) {
        windowManager_->signal(SIGCONT);
    } else {
        Subprocess::Spec spec;
        spec.environment = {{"DISPLAY", display_},
                            {"HOME", folder_},
                            {"XDG_CONFIG_HOME", folder_ + "/.config"},
                            {"XDG_CACHE_HOME", folder_ + "/.cache"},
                            {"XDG_DATA_HOME", folder_ + "/.local/share"},
                            {"SESSION_MANAGER", std::nullopt},
                            {"DESKTOP_STARTUP_ID", std::nullopt}};
        if (which == WindowManager::openbox) {
            spec.arguments = {"openbox", "--sm-disable", "--config-file", folder_ + "/.config/openbox/rc.xml"};
        } else {
            if (!findProgram("xfwm4")) throw error("xfwm4 is not installed (make bootstrap)");
            windowManagerBus_ = std::make_unique<SessionBus>();
            spec.arguments = {"xfwm4", "--compositor=off", "--sm-client-disable"};
            spec.environment["DBUS_SESSION_BUS_ADDRESS"] = windowManagerBus_->address();
            // No accessibility bus of its own, which would outlive it.
            spec.environment["NO_AT_BRIDGE"] = "1";
        }
        spec.logFile = folder_ + "/" + name + ".log";
        windowManager_ = std::make_unique<Subprocess>(spec);
        running_ = which;
    }
    bool announced = waitUntil(
        connection(), [&] { return windowManagerRunning() || !windowManager_->running(); }, kStartSeconds);
    if (!announced || !windowManager_->running() || !managesNewWindows())
        throw error(std::string(name) + " did not take " + display_ + logTail(std::string(name) + ".log"));
}

// Openbox announces itself before it has finished starting, and a window mapped in between
// can stay unmanaged for good. A probe window that it takes says it is ready: a dock, so that
// it takes no focus, mapped again should a request go unanswered.
bool XvfbSession::managesNewWindows() {
    xcb_connection_t* c = connection();
    xcb_window_t probe = xcb_generate_id(c);
    uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root(), -10, -10, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    xcb_ewmh_set_wm_window_type(&ewmh(), probe, 1, &ewmh()._NET_WM_WINDOW_TYPE_DOCK);
    auto listed = [&] {
        auto list = clientList(c);
        return std::find(list.begin(), list.end(), probe) != list.end();
    };
    bool managed = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(static_cast<int>(kStartSeconds));
    while (!managed && std::chrono::steady_clock::now() < deadline && windowManager_->running()) {
        xcb_unmap_window(c, probe);
        xcb_map_window(c, probe);
        managed = waitUntil(c, listed, 0.25);
    }
    xcb_destroy_window(c, probe);
    return managed && waitUntil(c, [&] { return !listed(); });
}

void XvfbSession::stopWindowManager() {
    if (windowManager_) windowManager_->terminate();
    windowManager_.reset();
    windowManagerBus_.reset();
    // The server drops the announcement when it has closed the manager's connection.
    if (!waitUntil(connection(), [&] { return !windowManagerRunning(); }))
        throw error("the window manager's announcement outlived it");
}

void XvfbSession::pauseWindowManager() {
    if (!windowManager_ || !windowManager_->running()) return;
    // Stopped while it holds the server grabbed, it would stall every client, the tests'
    // own connection too: then it goes on for a moment and is stopped again.
    for (int attempt = 0; attempt < 20; ++attempt) {
        windowManager_->signal(SIGSTOP);
        siginfo_t info{};  // stopped for certain before the test goes on; the stop stays unreaped
        ::waitid(P_PID, static_cast<id_t>(windowManager_->pid()), &info, WSTOPPED | WEXITED | WNOWAIT);
        if (serverAnswers(0.5)) return;
        windowManager_->signal(SIGCONT);
        serverAnswers(kStartSeconds);
    }
    throw error("the window manager could not be stopped outside a server grab");
}

bool XvfbSession::serverAnswers(double seconds) {
    xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(connection());
    xcb_flush(connection());
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                           std::chrono::duration<double>(seconds));
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* e = nullptr;
        if (xcb_poll_for_reply(connection(), cookie.sequence, &reply, &e)) {
            std::free(reply);
            std::free(e);
            return true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection())) {
            xcb_discard_reply(connection(), cookie.sequence);
            return false;
        }
        pollfd fd{xcb_get_file_descriptor(connection()), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(left.count()));
    }
}

void XvfbSession::resumeWindowManager() {
    if (windowManager_) windowManager_->signal(SIGCONT);
}

bool XvfbSession::compositingManagerRunning() {
    auto* reply = xcb_get_selection_owner_reply(
        connection(), xcb_get_selection_owner(connection(), atom(connection(), "_NET_WM_CM_S0")), nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

void XvfbSession::startCompositingManager() {
    if (compositor_ && compositor_->running()) return;
    if (!findProgram("picom")) throw error("picom is not installed; the compositing tests need it (make bootstrap)");
    std::ofstream(folder_ + "/picom.conf") << "";  // its defaults: no shadows, no fading
    Subprocess::Spec spec;
    spec.arguments = {"picom", "--backend", "xrender", "--config", folder_ + "/picom.conf"};
    spec.environment = {{"DISPLAY", display_}, {"HOME", folder_}, {"XDG_CONFIG_HOME", folder_ + "/.config"}};
    spec.logFile = folder_ + "/picom.log";
    compositor_ = std::make_unique<Subprocess>(spec);
    if (!waitUntil(
            connection(), [&] { return compositingManagerRunning() || !compositor_->running(); }, kStartSeconds) ||
        !compositor_->running())
        throw error("picom did not take " + display_ + logTail("picom.log"));
}

void XvfbSession::stopCompositingManager() {
    if (!compositor_) return;
    compositor_->terminate();
    compositor_.reset();
    if (!waitUntil(connection(), [&] { return !compositingManagerRunning(); }))
        throw error("the compositing manager's selection outlived it");
}

std::vector<XvfbSession::RawMonitor> XvfbSession::rawMonitors() {
    std::vector<RawMonitor> result;
    auto* reply = xcb_randr_get_monitors_reply(connection(), xcb_randr_get_monitors(connection(), root(), 1), nullptr);
    if (!reply) throw error("RandR lists no monitors");
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply); it.rem; xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t* m = it.data;
        bool holdsOutput = false;
        const uint32_t* outputs = xcb_randr_monitor_info_outputs(m);
        for (int i = 0; i < xcb_randr_monitor_info_outputs_length(m); ++i) holdsOutput |= outputs[i] == output_;
        result.push_back({m->name, m->primary != 0, m->automatic != 0, holdsOutput, m->x, m->y, m->width, m->height});
    }
    std::free(reply);
    return result;
}

void XvfbSession::setMonitor(const RawMonitor& m) {
    // Some servers refuse a monitor whose name exists instead of replacing it, as RandR says.
    std::free(xcb_request_check(connection(), xcb_randr_delete_monitor_checked(connection(), root(), m.name)));
    // The request carries its outputs right after the fixed part.
    uint32_t buffer[sizeof(xcb_randr_monitor_info_t) / 4 + 1] = {};
    auto* info = reinterpret_cast<xcb_randr_monitor_info_t*>(buffer);
    info->name = m.name;
    info->primary = m.primary;
    info->nOutput = m.holdsOutput ? 1 : 0;
    info->x = static_cast<int16_t>(m.x);
    info->y = static_cast<int16_t>(m.y);
    info->width = static_cast<uint16_t>(m.width);
    info->height = static_cast<uint16_t>(m.height);
    info->width_in_millimeters = static_cast<uint32_t>(m.width * 254 / 960);  // 96 dots per inch
    info->height_in_millimeters = static_cast<uint32_t>(m.height * 254 / 960);
    if (m.holdsOutput) xcb_randr_monitor_info_outputs(info)[0] = output_;
    // Sent by hand: libxcb 1.15 miscounts this request's length and aborts.
    xcb_randr_set_monitor_request_t header{};
    header.window = root();
    iovec parts[4] = {{}, {}, {&header, sizeof header}, {info, sizeof(xcb_randr_monitor_info_t) + 4u * info->nOutput}};
    xcb_protocol_request_t request{2, &xcb_randr_id, XCB_RANDR_SET_MONITOR, 1};
    xcb_void_cookie_t cookie{xcb_send_request(connection(), XCB_REQUEST_CHECKED, parts + 2, &request)};
    if (auto* e = xcb_request_check(connection(), cookie)) {
        int code = e->error_code;
        std::free(e);
        throw error("RandR refused the monitor " + atomName(connection(), m.name) + " (X error " +
                    std::to_string(code) + ")");
    }
}

void XvfbSession::addMonitor(const std::string& name, int x, int y, int width, int height, bool primary) {
    bool outputTaken = false;
    xcb_atom_t nameAtom = atom(connection(), name);
    for (const RawMonitor& m : rawMonitors()) outputTaken |= !m.automatic && m.holdsOutput && m.name != nameAtom;
    setMonitor({nameAtom, primary, false, !outputTaken, x, y, width, height});
}

void XvfbSession::removeMonitor(const std::string& name) {
    xcb_atom_t nameAtom = atom(connection(), name);
    if (auto* e = xcb_request_check(connection(), xcb_randr_delete_monitor_checked(connection(), root(), nameAtom))) {
        std::free(e);
        throw error("RandR has no monitor " + name + " to remove");
    }
    // The output goes to a monitor that is left, lest RandR bring back its own over the screen.
    std::vector<RawMonitor> left;
    for (const RawMonitor& m : rawMonitors())
        if (!m.automatic) left.push_back(m);
    bool outputHeld = false;
    for (const RawMonitor& m : left) outputHeld |= m.holdsOutput;
    if (!left.empty() && !outputHeld) {
        left.front().holdsOutput = true;
        setMonitor(left.front());
    }
}

void XvfbSession::removeAllMonitors() {
    for (const RawMonitor& m : rawMonitors())
        if (!m.automatic) xcb_randr_delete_monitor(connection(), root(), m.name);
    // A round trip, so the deletions are done when this returns.
    std::free(xcb_get_input_focus_reply(connection(), xcb_get_input_focus(connection()), nullptr));
}

std::vector<RandrMonitor> XvfbSession::monitors() {
    std::vector<RandrMonitor> result;
    for (const RawMonitor& m : rawMonitors())
        result.push_back({atomName(connection(), m.name), m.x, m.y, m.width, m.height, m.primary});
    return result;
}

}  // namespace kestr::x11test
