// The whole program on a private Xvfb with openbox, measured as a person meets it:
// (a) start-up with 1,000 kests (the file `store_bench` uses) until the status button
//     shows, wall clock, against nlohmann's parse of the same file in the same run;
// (b) the panel opened five times over those kests: resident memory after the first
//     opening and what four more add, and the CPU an opening takes until it is painted;
// (c) an active kest whose two windows share an edge, the pointer still and then moved
//     by XTest at 50 Hz away from the edge, across it and along it, with the kest's two
//     windows alone and with 460 other windows open in front of them, away from the edge
//     (a window at the pointer is looked for through them all): the program's CPU, the
//     main thread's wake-ups (context switches) per second and the threads it starts, and
//     at the edge its CPU against a program that only hears the pointer's raw motion, and
//     against a Qt Widgets program that does nothing with a window under the pointer.
// (d) `kestr --apply-kest` over 200 programs of one window each, as a script runs it: the
//     CPU (user and system) of the whole process, alternating between two arrangements.
// KESTR_PROGRAM names another build of the program to measure (an older one, say), and
// KESTR_BASELINE one that (b), (c) and (d) measure beside it in the same run, their
// counters starting with "baseline_".
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "Core/LayoutStore.h"
#include "Platform/Sim/SimDesktop.h"
#include "Support/SampleKests.h"
#include "Platform/X11/Support/ClientProcess.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/Subprocess.h"
#include "Platform/X11/Support/WaitUntil.h"
#include "Platform/X11/Support/XReads.h"
#include "Platform/X11/Support/XvfbSession.h"

namespace kestr {
namespace {

using namespace x11test;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// "layouts.json" holding these kests, as the store writes it.
std::string kestFile(std::vector<Layout> kests) {
    SimDesktop desktop;
    installPlatform(&desktop);
    LayoutStore store;
    store.layouts = std::move(kests);
    store.save();
    std::string out = desktop.files().read(LayoutStore::defaultFileURL());
    installPlatform(nullptr);
    return out;
}

// "layouts.json" with 1,000 kests of 10 items, as `store_bench` writes it.
const std::string& thousandKests() {
    static const std::string bytes = kestFile(test::sampleDocument(1000, 10).layouts);
    return bytes;
}

// The builds measured: this one (or KESTR_PROGRAM's), then KESTR_BASELINE's if named.
struct Build {
    std::string counterPrefix;
    std::string binary;
};
std::vector<Build> measuredBuilds() {
    const char* other = std::getenv("KESTR_PROGRAM");
    std::vector<Build> builds{{"", other && *other ? other : KESTR_BINARY}};
    if (const char* baseline = std::getenv("KESTR_BASELINE"); baseline && *baseline)
        builds.push_back({"baseline_", baseline});
    return builds;
}

// Counters of a running process from /proc.
struct ProcessSample {
    double cpuSeconds = 0;    // every thread
    double mainSwitches = 0;  // the main thread's context switches: its wake-ups
    int threads = 0;
    double residentMB = 0;

    static ProcessSample of(pid_t pid) {
        ProcessSample s;
        const std::string dir = "/proc/" + std::to_string(pid);
        for (const auto& task : std::filesystem::directory_iterator(dir + "/task")) {
            ++s.threads;
            std::istringstream in(readFile(task.path().string() + "/schedstat"));
            double ns = 0;
            in >> ns;
            s.cpuSeconds += ns / 1e9;
        }
        std::istringstream status(readFile(dir + "/status"));
        for (std::string line; std::getline(status, line);) {
            std::istringstream words(line);
            std::string key;
            double value = 0;
            words >> key >> value;
            if (key == "voluntary_ctxt_switches:" || key == "nonvoluntary_ctxt_switches:") s.mainSwitches += value;
            if (key == "VmRSS:") s.residentMB = value / 1024;
        }
        return s;
    }
};

// A fresh home folder with the kest file and the onboarding already done.
struct Home {
    std::string folder;

    explicit Home(const std::string& layouts) {
        char pattern[] = "/tmp/kestr-program-bench-XXXXXX";
        folder = ::mkdtemp(pattern);
        std::filesystem::create_directories(folder + "/.local/share/kestr");
        std::filesystem::create_directories(folder + "/.config/kestr");
        std::ofstream(folder + "/.config/kestr/settings.json") << "{\"kestr.didCompleteOnboarding\": true}\n";
        if (!layouts.empty()) std::ofstream(folder + "/.local/share/kestr/layouts.json") << layouts;
    }
    ~Home() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

Subprocess::Spec programSpec(XvfbSession& session, const Home& home, std::vector<std::string> arguments = {},
                             const std::string& binary = measuredBuilds().front().binary) {
    Subprocess::Spec spec;
    spec.arguments = {binary};
    spec.arguments.insert(spec.arguments.end(), arguments.begin(), arguments.end());
    spec.environment = {{"HOME", home.folder},
                        {"DISPLAY", session.display()},
                        {"XDG_DATA_HOME", std::nullopt},
                        {"XDG_STATE_HOME", std::nullopt},
                        {"XDG_CONFIG_HOME", std::nullopt},
                        {"KESTR_SIM_DESKTOP", std::nullopt},
                        {"KESTR_DESKTOP", std::nullopt},
                        {"KESTR_LOG_STDERR", std::nullopt},
                        {"QT_QPA_PLATFORM", std::nullopt}};
    spec.logFile = home.folder + "/stderr.txt";
    return spec;
}

// The window of `pid` the window manager lists (the status button, where there is no tray).
xcb_window_t managedWindowOf(XvfbSession& session, pid_t pid) {
    for (xcb_window_t w : clientList(session.connection())) {
        const auto owner = property32(session.connection(), w, "_NET_WM_PID");
        if (owner && !owner->empty() && pid_t((*owner)[0]) == pid && isViewable(session.connection(), w)) return w;
    }
    return XCB_NONE;
}

// The program until its status button shows; throws when it does not within the deadline.
struct Program {
    std::unique_ptr<Subprocess> process;
    xcb_window_t button = XCB_NONE;
    double readySeconds = 0;

    Program(XvfbSession& session, const Home& home, const std::string& binary = measuredBuilds().front().binary) {
        const Clock::time_point start = Clock::now();
        process = std::make_unique<Subprocess>(programSpec(session, home, {}, binary));
        waitUntil(
            session.connection(), [&] { return (button = managedWindowOf(session, process->pid())) != XCB_NONE; }, 30);
        readySeconds = secondsSince(start);
        if (!button) throw std::runtime_error("the status button never showed");
    }
    ~Program() { process->terminate(); }
    pid_t pid() const { return process->pid(); }
};

XvfbSession& session() {
    static XvfbSession s(1920, 1080);
    return s;
}

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// ---- (a) start-up ----

void BM_StartUpToStatusButton(benchmark::State& state) {
    const std::string& bytes = thousandKests();
    Home home(bytes);
    double ready = 0, parse = 0;
    for (auto _ : state) {
        const Clock::time_point before = Clock::now();
        benchmark::DoNotOptimize(nlohmann::json::parse(bytes));
        parse += secondsSince(before);
        Program program(session(), home);
        ready += program.readySeconds;
    }
    Home empty("");
    double emptyReady = 0;
    for (int i = 0; i < 3; ++i) emptyReady += Program(session(), empty).readySeconds / 3;
    const double runs = static_cast<double>(state.iterations());
    state.counters["ready_s"] = ready / runs;
    state.counters["parse_s"] = parse / runs;
    state.counters["ready_over_parse"] = ready / parse;
    state.counters["empty_file_ready_s"] = emptyReady;
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_StartUpToStatusButton)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ---- (b) the panel ----

std::vector<xcb_window_t> viewableTopLevels(xcb_connection_t* c, xcb_window_t root) {
    std::vector<xcb_window_t> out;
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr), &std::free);
    if (!tree) return out;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (isViewable(c, children[i])) out.push_back(children[i]);
    }
    return out;
}

// Five openings of the panel by a click on the status button, each closed by Escape.
struct Openings {
    std::vector<double> residentMB;  // after each opening
    std::vector<double> cpuMs;       // from the click until the panel is painted
};

Openings openPanelFiveTimes(XvfbSession& s, const Home& home, const std::string& binary) {
    xcb_connection_t* c = s.connection();
    Program program(s, home, binary);
    const auto frame = frameOf(c, program.button);
    pause(1);  // started up
    Openings out;
    for (int opening = 0; opening < 5; ++opening) {
        const auto before = viewableTopLevels(c, s.root());
        const double cpu = ProcessSample::of(program.pid()).cpuSeconds;
        fakeClick(c, s.root(), frame->x + frame->width / 2, frame->y + frame->height / 2);
        xcb_window_t panel = XCB_NONE;
        waitUntil(c, [&] {
            for (xcb_window_t w : viewableTopLevels(c, s.root()))
                if (std::find(before.begin(), before.end(), w) == before.end()) panel = w;
            return panel != XCB_NONE;
        });
        if (!panel) throw std::runtime_error("the panel never showed");
        pause(0.5);  // painted
        const ProcessSample shown = ProcessSample::of(program.pid());
        out.cpuMs.push_back(1000 * (shown.cpuSeconds - cpu));
        out.residentMB.push_back(shown.residentMB);
        const xcb_keycode_t escape = keycodeOf(c, 0xff1b);
        fakeInput(c, s.root(), XCB_KEY_PRESS, escape);
        fakeInput(c, s.root(), XCB_KEY_RELEASE, escape);
        waitUntil(c, [&] { return !isViewable(c, panel); });
        pause(0.3);
    }
    return out;
}

void BM_PanelOpenings(benchmark::State& state) {
    Home home(thousandKests());
    for (auto _ : state) {
        for (const Build& build : measuredBuilds()) {
            Openings run;
            try {
                run = openPanelFiveTimes(session(), home, build.binary);
            } catch (const std::exception& e) {
                state.SkipWithError(e.what());
                return;
            }
            const auto mean = [](auto first, auto last) {
                return std::accumulate(first, last, 0.0) / double(last - first);
            };
            state.counters[build.counterPrefix + "first_opening_MB"] = run.residentMB.front();
            state.counters[build.counterPrefix + "four_more_add_MB"] = run.residentMB.back() - run.residentMB.front();
            state.counters[build.counterPrefix + "first_opening_cpu_ms"] = run.cpuMs.front();
            state.counters[build.counterPrefix + "later_opening_cpu_ms"] = mean(run.cpuMs.begin() + 1, run.cpuMs.end());
        }
    }
}
BENCHMARK(BM_PanelOpenings)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// ---- (c) edge handles ----

// The display's UUID as the program's window dump names it.
std::string displayUUID(XvfbSession& s, const Home& home) {
    Subprocess::Spec spec = programSpec(s, home, {"--dump"});
    spec.pipeStdout = true;
    Subprocess dump(spec);
    std::string out;
    char buffer[4096];
    for (int i = 0; i < 400 && !dump.waitExit(0.05);) ++i;
    for (ssize_t n; (n = ::read(dump.stdoutFd(), buffer, sizeof buffer)) > 0;) out.append(buffer, std::size_t(n));
    const auto at = out.find("uuid=");
    return at == std::string::npos ? "" : out.substr(at + 5, 36);
}

std::string sideBySideKest(const std::string& uuid) {
    const auto item = [&](const std::string& id, const std::string& bundle, int x) {
        return "{\"appBundleID\":\"" + bundle + "\",\"appName\":\"x\",\"launchIfMissing\":false,\"id\":\"" + id +
               "\",\"targetFrame\":{\"displayUUID\":\"" + uuid + "\",\"x\":" + std::to_string(x) +
               ",\"y\":0,\"width\":960,\"height\":1080},\"windowMatcher\":{\"type\":\"firstWindow\"}}";
    };
    return "{\"version\":1,\"layouts\":[{\"createdAt\":\"2026-12-07T00:00:00Z\",\"updatedAt\":\"2026-12-07T00:00:00Z\","
           "\"edgeGroups\":[],\"id\":\"3B0F1C5E-2D4A-4C7B-9E61-5A8D2F0C7B11\",\"name\":\"Edge\",\"items\":[" +
           item("8C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D51", "KestrBenchLeft", 0) + "," +
           item("8C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D52", "KestrBenchRight", 960) + "]}]}\n";
}

struct Phase {
    double cpuPercent = 0;
    double wakeupsPerSecond = 0;
    int threadsAdded = 0;
};

// The pointer moved about (x, y) at 50 Hz for `seconds`, `swing` to either side across
// the x axis, or along the y axis when `along` (still when `swing` is 0); the counters of
// each process, in the order given.
std::vector<Phase> measure(XvfbSession& s, const std::vector<pid_t>& pids, int x, int y, int swing, bool along,
                           double seconds) {
    std::vector<ProcessSample> before;
    for (const pid_t pid : pids) before.push_back(ProcessSample::of(pid));
    const Clock::time_point start = Clock::now();
    for (int n = 1; secondsSince(start) < seconds; ++n) {
        if (swing) {
            const int offset = (n % (4 * swing)) < 2 * swing ? n % (2 * swing) : 2 * swing - n % (2 * swing);
            fakeInput(s.connection(), s.root(), XCB_MOTION_NOTIFY, 0, along ? x : x - swing + offset,
                      along ? y - swing + offset : y);
        }
        std::this_thread::sleep_until(start + std::chrono::milliseconds(20 * n));
    }
    const double elapsed = secondsSince(start);
    std::vector<Phase> phases;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const ProcessSample after = ProcessSample::of(pids[i]);
        phases.push_back({100 * (after.cpuSeconds - before[i].cpuSeconds) / elapsed,
                          (after.mainSwitches - before[i].mainSwitches) / elapsed, after.threads - before[i].threads});
    }
    return phases;
}

// Asks the window manager to put the window elsewhere (_NET_MOVERESIZE_WINDOW, position only).
void moveAside(xcb_connection_t* c, xcb_window_t root, xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(c, "_NET_MOVERESIZE_WINDOW");
    message.data.data32[0] = XCB_GRAVITY_NORTH_WEST | 1 << 8 | 1 << 9 | 2 << 12;
    message.data.data32[1] = 100;
    message.data.data32[2] = 100;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

// The kest applied by its hot key, then the pointer still, away from the edge, across it
// and along it; the counters named with the build's prefix. The raw-motion listener is
// measured over the same stretches.
void measureEdgeHandles(benchmark::State& state, XvfbSession& s, const Home& home, const Build& build,
                        xcb_window_t left, pid_t listener) {
    xcb_connection_t* c = s.connection();
    Program program(s, home, build.binary);
    // Its hot key, Ctrl+Alt+Super+1, makes the kest active; the left window is moved aside
    // first, so that its place tells the kest was applied, and the key is pressed again
    // while the program has not taken it yet.
    const auto applied = [&] {
        const auto f = frameOf(c, left);
        return f && f->x == 0 && f->width == 960;
    };
    moveAside(c, s.root(), left);
    waitUntil(c, [&] { return !applied(); });
    const xcb_keycode_t keys[] = {keycodeOf(c, 0xffe3), keycodeOf(c, 0xffe9), keycodeOf(c, 0xffeb), keycodeOf(c, 0x31)};
    bool active = false;
    for (int attempt = 0; attempt < 5 && !active; ++attempt) {
        for (xcb_keycode_t k : keys) fakeInput(c, s.root(), XCB_KEY_PRESS, k);
        for (xcb_keycode_t k : keys) fakeInput(c, s.root(), XCB_KEY_RELEASE, k);
        active = waitUntil(c, applied, 2);
    }
    if (!active) state.SkipWithError("the kest was not applied");
    fakeInput(c, s.root(), XCB_MOTION_NOTIFY, 0, 400, 500);
    pause(2);  // settled, and the poll slowed down
    const int threads = ProcessSample::of(program.pid()).threads;
    const std::vector<pid_t> pids{program.pid(), listener};
    const Phase still = measure(s, pids, 400, 500, 0, false, 10)[0];
    const Phase away = measure(s, pids, 400, 500, 150, false, 10)[0];
    const std::vector<Phase> across = measure(s, pids, 960, 500, 5, false, 10);
    const std::vector<Phase> along = measure(s, pids, 961, 500, 150, true, 10);
    const std::string& p = build.counterPrefix;
    state.counters[p + "threads"] = threads;
    state.counters[p + "still_wakeups_per_s"] = still.wakeupsPerSecond;
    state.counters[p + "still_cpu_percent"] = still.cpuPercent;
    state.counters[p + "moving_wakeups_per_s"] = away.wakeupsPerSecond;
    state.counters[p + "moving_cpu_percent"] = away.cpuPercent;
    state.counters[p + "at_edge_wakeups_per_s"] = across[0].wakeupsPerSecond;
    state.counters[p + "at_edge_cpu_percent"] = across[0].cpuPercent;
    state.counters[p + "along_edge_wakeups_per_s"] = along[0].wakeupsPerSecond;
    state.counters[p + "along_edge_cpu_percent"] = along[0].cpuPercent;
    state.counters[p + "listener_at_edge_cpu_percent"] = across[1].cpuPercent;
    state.counters[p + "listener_along_edge_cpu_percent"] = along[1].cpuPercent;
    state.counters[p + "at_edge_over_listener"] = across[0].cpuPercent / across[1].cpuPercent;
    state.counters[p + "along_edge_over_listener"] = along[0].cpuPercent / along[1].cpuPercent;
    state.counters[p + "threads_started"] =
        still.threadsAdded + away.threadsAdded + across[0].threadsAdded + along[0].threadsAdded;
}

// A window of the toolkit that does nothing, under the pointer moved as at the edge: the
// least a handle drawn with it can cost, beside the raw-motion listener.
void measureQtWindow(benchmark::State& state, XvfbSession& s, pid_t listener) {
    xcb_connection_t* c = s.connection();
    const auto before = viewableTopLevels(c, s.root());
    Subprocess::Spec spec;
    spec.arguments = {KESTR_QT_WINDOW_LISTENER, "150", "0", "20", "1080"};
    spec.environment = {{"DISPLAY", s.display()}, {"QT_QPA_PLATFORM", std::nullopt}};
    spec.logFile = "/dev/null";  // the toolkit's remarks on the session
    Subprocess window(spec);
    const bool shown = waitUntil(c, [&] { return viewableTopLevels(c, s.root()).size() > before.size(); });
    if (!shown) return state.SkipWithError("the toolkit's window never showed");
    fakeInput(c, s.root(), XCB_MOTION_NOTIFY, 0, 160, 500);
    pause(1);
    const std::vector<pid_t> pids{window.pid(), listener};
    const std::vector<Phase> across = measure(s, pids, 160, 500, 5, false, 10);
    const std::vector<Phase> along = measure(s, pids, 160, 500, 150, true, 10);
    state.counters["qt_window_at_edge_cpu_percent"] = across[0].cpuPercent;
    state.counters["qt_window_along_edge_cpu_percent"] = along[0].cpuPercent;
    state.counters["qt_window_at_edge_over_listener"] = across[0].cpuPercent / across[1].cpuPercent;
    state.counters["qt_window_along_edge_over_listener"] = along[0].cpuPercent / along[1].cpuPercent;
    window.terminate();
}

// The arguments: how many other windows are open, in front of the kest's two, and whether
// a compositing manager runs (the handle is then drawn translucent).
void BM_EdgeHandlesWhilePointerMoves(benchmark::State& state) {
    XvfbSession& s = session();
    if (state.range(1)) s.startCompositingManager();
    const std::shared_ptr<void> stopCompositing(nullptr, [&s](void*) { s.stopCompositingManager(); });
    ClientOptions left, right;
    left.wmClass = "KestrBenchLeft";
    left.title = "left";
    left.geometry = ClientGeometry{100, 100, 400, 300};
    right.wmClass = "KestrBenchRight";
    right.title = "right";
    right.geometry = ClientGeometry{1000, 100, 400, 300};
    ClientProcess leftClient(s.display(), left), rightClient(s.display(), right);
    ClientOptions others;
    others.wmClass = "KestrBenchOther";
    others.title = "other";
    others.windows = int(state.range(0));
    others.geometry = ClientGeometry{1200, 600, 200, 150};
    std::unique_ptr<ClientProcess> otherClient;
    if (others.windows) {
        otherClient = std::make_unique<ClientProcess>(s.display(), others);
        if (int(otherClient->windows(60).size()) != others.windows) {
            state.SkipWithError("the other windows did not all show");
            return;
        }
    }
    Home home("");
    std::ofstream(home.folder + "/.local/share/kestr/layouts.json") << sideBySideKest(displayUUID(s, home));
    Subprocess::Spec listenerSpec;
    listenerSpec.arguments = {KESTR_RAW_MOTION_LISTENER};
    listenerSpec.environment = {{"DISPLAY", s.display()}};
    Subprocess listener(listenerSpec);
    for (auto _ : state) {
        // The builds take turns to go first.
        const std::vector<Build> builds = measuredBuilds();
        for (int round = 0; round < 2; ++round) {
            for (std::size_t b = 0; b < builds.size(); ++b) {
                Build build = builds[round % 2 ? builds.size() - 1 - b : b];
                build.counterPrefix += "run" + std::to_string(round + 1) + "_";
                measureEdgeHandles(state, s, home, build, leftClient.window(), listener.pid());
            }
        }
        measureQtWindow(state, s, listener.pid());
    }
}
BENCHMARK(BM_EdgeHandlesWhilePointerMoves)
    ->ArgsProduct({{0, 460}, {0, 1}})
    ->ArgNames({"others", "compositing"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// ---- (d) --apply-kest over 200 programs ----

// Two arrangements of `count` windows in a grid of 20 columns filling the display: the
// second puts each window in the cell of its mirror image.
std::vector<Layout> gridKests(const std::string& uuid, int count) {
    std::vector<Layout> kests;
    for (const char* name : {"Here", "There"}) {
        Layout kest;
        kest.id = Uuid::random();
        kest.name = name;
        for (int i = 0; i < count; ++i) {
            const int cell = kests.empty() ? i : count - 1 - i;
            LayoutItem item;
            item.id = Uuid::random();
            item.appBundleID = "KestrApply" + std::to_string(i);
            item.appName = item.appBundleID;
            item.launchIfMissing = false;
            item.windowMatcher = WindowMatcher::firstWindow();
            item.targetFrame =
                ScreenFrame{uuid, double(cell % 20 * 96), double(cell / 20 * 108), 96, 108, {}, {}, {}, {}};
            kest.items.push_back(item);
        }
        kests.push_back(kest);
    }
    return kests;
}

// The CPU (user and system) of one `kestr --apply-kest NAME` process, in ms, from the
// rusage of the children this process reaped while it ran: kestr is the only one.
double applyProcessCpuMs(XvfbSession& s, const Home& home, const std::string& binary, const std::string& name,
                         int windows) {
    rusage before{}, after{};
    ::getrusage(RUSAGE_CHILDREN, &before);
    Subprocess::Spec spec = programSpec(s, home, {"--apply-kest", name}, binary);
    spec.pipeStdout = true;
    Subprocess apply(spec);
    std::string out;
    char buffer[4096];
    for (int i = 0; i < 2400 && !apply.waitExit(0.05); ++i) {
        for (ssize_t n; (n = ::read(apply.stdoutFd(), buffer, sizeof buffer)) > 0;) out.append(buffer, std::size_t(n));
    }
    for (ssize_t n; (n = ::read(apply.stdoutFd(), buffer, sizeof buffer)) > 0;) out.append(buffer, std::size_t(n));
    ::getrusage(RUSAGE_CHILDREN, &after);
    if (out.find("applied=" + std::to_string(windows) + " skipped=0") == std::string::npos)
        throw std::runtime_error("the apply said: " + out + readFile(home.folder + "/stderr.txt"));
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000 + double(t.tv_usec) / 1000; };
    return ms(after.ru_utime) - ms(before.ru_utime) + ms(after.ru_stime) - ms(before.ru_stime);
}

void BM_ApplyKestProcessOver200Programs(benchmark::State& state) {
    constexpr int programs = 200;
    XvfbSession& s = session();
    Home home("");
    const auto kests = gridKests(displayUUID(s, home), programs);
    std::ofstream(home.folder + "/.local/share/kestr/layouts.json") << kestFile(kests);
    std::vector<std::unique_ptr<ClientProcess>> clients;
    for (int i = 0; i < programs; ++i) {
        ClientOptions options;
        options.wmClass = kests[0].items[std::size_t(i)].appBundleID;
        options.title = options.wmClass;
        const ScreenFrame& f = kests[1].items[std::size_t(i)].targetFrame;
        options.geometry = ClientGeometry{int(f.x), int(f.y), 80, 80};
        clients.push_back(std::make_unique<ClientProcess>(s.display(), options));
    }
    for (auto& client : clients) {
        if (client->window() == XCB_NONE) {
            state.SkipWithError("a client showed no window");
            return;
        }
    }
    const std::vector<Build> builds = measuredBuilds();
    std::map<std::string, std::vector<double>> cpu;
    for (auto _ : state) {
        // Each run moves every window: the arrangements alternate from one run to the next,
        // and the builds take turns to go first.
        int run = 0;
        for (int round = 0; round < 4; ++round) {
            for (std::size_t b = 0; b < builds.size(); ++b) {
                const Build& build = builds[round % 2 ? builds.size() - 1 - b : b];
                try {
                    cpu[build.counterPrefix].push_back(
                        applyProcessCpuMs(s, home, build.binary, run++ % 2 ? "There" : "Here", programs));
                } catch (const std::exception& e) {
                    state.SkipWithError(e.what());
                    return;
                }
            }
        }
    }
    for (const auto& [prefix, runs] : cpu) {
        state.counters[prefix + "apply_process_cpu_ms"] =
            std::accumulate(runs.begin(), runs.end(), 0.0) / double(runs.size());
        state.counters[prefix + "apply_process_cpu_min_ms"] = *std::min_element(runs.begin(), runs.end());
    }
}
BENCHMARK(BM_ApplyKestProcessOver200Programs)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace kestr
