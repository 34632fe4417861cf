// Applying kests to real windows on a private Xvfb with openbox, against the same moves
// made with one `wmctrl -i -r WINDOW -e 0,X,Y,W,H` call per window in the same run.
// (a) a 10-window kest of ten applications, alternating between two arrangements;
// (b) one application with N windows, each an item: round trips per placed window must
// not grow with N;
// (c) N programs of one window each, alternating: the CPU per placed window must not
// grow with N; once as N applications, once as N processes of one application (as each
// terminal window may be a program of its own);
// (d) 200 programs whose overlapping 240×180 frames leave no room on the display, so
// the window manager clamps the windows the re-flow puts past its edge; then the same
// with windows that also refuse the re-flow's smaller sizes (a smallest size of their
// own, as terminals have), whose size retry asks for what was already answered.
// Counters: round trips, requests, fences (requests only the window manager answers, sent
// behind a move it has not answered at once) and CPU milliseconds (of kestr's process) per
// placed window; for (d) also the first apply from the windows' starting places, in ms.
// (e) snaps on two monitors: the time from a key to the frame it asks for, for a half
// snapped alone, and for a half pressed 30 ms after a move to the other display.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Layout/LayoutApplier.h"
#include "Snap/SnapApplier.h"
#include "Window/WindowController.h"
#include "Platform/X11/X11Platform.h"
#include "Window/DisplayManager.h"
#include "Platform/X11/Support/ClientProcess.h"
#include "Platform/X11/Support/XvfbSession.h"

namespace kestr {
namespace {

using x11test::ClientOptions;
using x11test::ClientProcess;
using x11test::ClientSize;
using x11test::XvfbSession;

constexpr Size fullHD{1920, 1080};
// Room for 200 windows side by side at the smallest size a kest gives them.
constexpr Size ultraHD{3840, 2160};

// What one benchmark runs on: `apps` programs of `perApp` windows each.
struct Setup {
    int apps = 1;
    int perApp = 1;
    Size screen = fullHD;
    // Every apply puts the same over-full kest (d), the first one timed on its own; else
    // the applies alternate between two arrangements of a grid.
    bool crowd = false;
    std::optional<ClientSize> minSize = std::nullopt;
    // Every program is the same application (one window class).
    bool oneApplication = false;
    // Two 1920×1080 monitors side by side on the screen.
    bool twoMonitors = false;

    std::string application(int app) const {
        return oneApplication ? std::string("KestrBench") : "KestrBench" + std::to_string(app);
    }
    std::string title(int app) const { return "[bench " + std::to_string(app) + "]"; }
};

struct Desk {
    std::unique_ptr<XvfbSession> session;
    std::vector<std::unique_ptr<ClientProcess>> clients;
    RealTimeMainActor* loop = nullptr;
    std::unique_ptr<X11Platform> platform;
    std::vector<xcb_window_t> windows;
    std::uint64_t focusChanges = 0;

    explicit Desk(const Setup& setup) {
        session = std::make_unique<XvfbSession>(int(setup.screen.width), int(setup.screen.height));
        if (setup.twoMonitors) {
            session->addMonitor("LEFT", 0, 0, 1920, 1080, true);
            session->addMonitor("RIGHT", 1920, 0, 1920, 1080);
        }
        // Every program started first, then their windows awaited.
        for (int a = 0; a < setup.apps; ++a) {
            ClientOptions options;
            options.title = setup.title(a);
            options.wmClass = setup.application(a);
            options.windows = setup.perApp;
            options.minSize = setup.minSize;
            clients.push_back(std::make_unique<ClientProcess>(session->display(), options));
        }
        for (auto& client : clients) {
            for (xcb_window_t w : client->windows(60)) windows.push_back(w);
        }
        auto actor = std::make_unique<RealTimeMainActor>();
        loop = actor.get();
        X11PlatformOptions options;
        options.displayName = session->display();
        options.host.mainActor = std::move(actor);
        // The session's own home folder, removed with it.
        options.host.folders = UserFolders{session->folder(), session->folder(), session->folder()};
        options.configHome = session->folder() + "/config";
        platform = std::make_unique<X11Platform>(std::move(options));
        installPlatform(platform.get());
        // Until every window is managed and known.
        runTask(platform->model().waitFor(
            [this] {
                for (xcb_window_t w : windows) {
                    const X11Client* c = platform->model().client(w);
                    if (!c || c->extents.top == 0) return false;
                }
                return true;
            },
            60));
        // The window manager gives the focus to each fresh window in turn, long after it
        // has framed them all: the applies are timed once it is done.
        X11Connection& x = platform->connection();
        x.addListener([this, &x](const xcb_generic_event_t& event) {
            const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if ((event.response_type & 0x7F) == XCB_PROPERTY_NOTIFY && e.window == x.root() &&
                e.atom == x.ewmh()._NET_ACTIVE_WINDOW)
                ++focusChanges;
        });
        for (bool focusing = true; focusing;) {
            const std::uint64_t seen = focusChanges;
            bool changed = false;
            runTask([](X11WindowModel& model, const std::uint64_t& count, std::uint64_t before,
                       bool& out) -> Task<void> {
                out = co_await model.waitFor([&] { return count != before; }, 0.5);
            }(platform->model(), focusChanges, seen, changed));
            focusing = changed;
        }
    }
    ~Desk() {
        platform.reset();
        installPlatform(nullptr);
    }

    template <class T>
    void runTask(Task<T> task) {
        spawn(then(std::move(task), *loop));
        loop->run();
    }
    template <class T>
    static Task<void> then(Task<T> task, RealTimeMainActor& actor) {
        co_await std::move(task);
        actor.stop();
    }
};

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

Rect slot(int k, int count, bool flipped, Size screen = fullHD) {
    // Five across up to twenty windows, a square-ish grid beyond.
    int across = 5;
    while (count > 20 && across * across < count) ++across;
    const double w = screen.width / across;
    const double h = screen.height / ((count + across - 1) / across);
    const int index = flipped ? count - 1 - k : k;
    return Rect((index % across) * w, (index / across) * h, w, h);
}

// Overlapping 240×180 frames spread over the display: more than it can hold side by side.
Rect crowded(int k) { return Rect((k * 97) % (1920 - 240), (k * 53) % (1080 - 180), 240, 180); }

Layout kestFor(const Setup& setup, std::function<Rect(int k, int count)> frame) {
    const int perApp = setup.perApp;
    const std::string uuid = *platform().displays().displayUUIDString(platform().displays().mainDisplayID());
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Bench";
    const int count = setup.apps * perApp;
    for (int k = 0; k < count; ++k) {
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = setup.application(k / perApp);
        item.appName = item.appBundleID;
        item.windowMatcher = perApp == 1 ? WindowMatcher::firstWindow() : WindowMatcher::windowIndex(k % perApp);
        // One application's windows are told apart by their titles, so each one moves.
        if (setup.oneApplication) item.windowMatcher = WindowMatcher::titleContains(setup.title(k / perApp));
        const Rect r = frame(k, count);
        item.targetFrame = ScreenFrame{uuid, r.x(), r.y(), r.width(), r.height(), {}, {}, {}, {}};
        kest.items.push_back(item);
    }
    return kest;
}

int applyOnce(Desk& desk, Layout kest) {
    int applied = 0;
    desk.runTask([](Layout k, int& out) -> Task<void> {
        const auto report = co_await LayoutApplier::apply(std::move(k), LayoutApplier::ApplyMode::reuseExisting,
                                                          LayoutApplier::FrameSource::target, std::nullopt);
        out = report.applied;
    }(std::move(kest), applied));
    return applied;
}

void applyBench(benchmark::State& state, const Setup& setup) {
    Desk desk(setup);
    X11Connection& x = desk.platform->connection();
    const X11Accessibility& ax = desk.platform->x11Accessibility();
    const auto frame = [&setup](bool flipped) {
        return [=](int k, int count) { return setup.crowd ? crowded(k) : slot(k, count, flipped, setup.screen); };
    };
    if (setup.crowd) {
        const auto started = std::chrono::steady_clock::now();
        applyOnce(desk, kestFor(setup, frame(false)));
        state.counters["first_apply_ms"] =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    }
    bool flipped = false;
    std::uint64_t trips = 0, requests = 0, fences = 0, placed = 0;
    double cpu = 0;
    for (auto _ : state) {
        Layout kest = kestFor(setup, frame(flipped));
        flipped = !flipped;
        const auto trips0 = x.roundTrips();
        const auto requests0 = x.requestsSent();
        const auto fences0 = ax.fencesSent();
        const double cpu0 = cpuSeconds();
        placed += static_cast<std::uint64_t>(applyOnce(desk, std::move(kest)));
        cpu += cpuSeconds() - cpu0;
        trips += x.roundTrips() - trips0;
        requests += x.requestsSent() - requests0;
        fences += ax.fencesSent() - fences0;
    }
    state.counters["round_trips_per_window"] = placed ? double(trips) / double(placed) : 0;
    state.counters["requests_per_window"] = placed ? double(requests) / double(placed) : 0;
    state.counters["fences_per_window"] = placed ? double(fences) / double(placed) : 0;
    state.counters["cpu_ms_per_window"] = placed ? cpu * 1000 / double(placed) : 0;
    state.counters["windows"] = setup.apps * setup.perApp;
}

void BM_ApplyTenWindowKest(benchmark::State& state) { applyBench(state, Setup{.apps = 10}); }
BENCHMARK(BM_ApplyTenWindowKest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyOneApplicationWindows(benchmark::State& state) {
    applyBench(state, Setup{.apps = 1, .perApp = static_cast<int>(state.range(0))});
}
BENCHMARK(BM_ApplyOneApplicationWindows)->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyProgramsOfOneWindow(benchmark::State& state) {
    applyBench(state, Setup{.apps = static_cast<int>(state.range(0)), .screen = ultraHD});
}
BENCHMARK(BM_ApplyProgramsOfOneWindow)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyProcessesOfOneApplication(benchmark::State& state) {
    applyBench(state, Setup{.apps = static_cast<int>(state.range(0)), .screen = ultraHD, .oneApplication = true});
}
BENCHMARK(BM_ApplyProcessesOfOneApplication)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyOverfullKest(benchmark::State& state) { applyBench(state, Setup{.apps = 200, .crowd = true}); }
BENCHMARK(BM_ApplyOverfullKest)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyOverfullKestOfWindowsWithASmallestSize(benchmark::State& state) {
    applyBench(state, Setup{.apps = 200, .crowd = true, .minSize = ClientSize{200, 150}});
}
BENCHMARK(BM_ApplyOverfullKestOfWindowsWithASmallestSize)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A snap that fails ends the loop all the same, its failure kept.
Task<void> failureKept(Task<void> snap, std::string& failure) {
    try {
        co_await std::move(snap);
    } catch (const std::exception& e) {
        failure = e.what();
    }
}

// One window on two monitors. Each round puts it back where it started (on the left
// monitor when `first` moves it, else on the right one), presses `first`, lets 30 ms
// pass, then times the key that snaps it to the left half of the right monitor until
// that key's task has placed it there; a key that did not place it fails the run.
void snapBench(benchmark::State& state, std::optional<SnapAction> first, SnapAction key) {
    Desk desk(Setup{.apps = 1, .screen = Size{3840, 1080}, .twoMonitors = true});
    desk.platform->x11Displays().refresh();
    const xcb_window_t w = desk.windows.front();
    const AXElement element = X11Accessibility::windowElement(*desk.platform->model().client(w));
    const Rect start = first ? Rect(300, 200, 800, 600) : Rect(2220, 200, 800, 600), there(1920, 0, 960, 1080);
    std::string failure;
    for (auto _ : state) {
        desk.runTask(WindowController::applyFrame(element, start.origin, start.size));
        const TaskHandle before = first ? spawn(SnapApplier::apply(*first)) : TaskHandle();
        desk.runTask(sleepUnlessCancelled(0.03));
        const auto pressed = std::chrono::steady_clock::now();
        desk.runTask(failureKept(SnapApplier::apply(key), failure));
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count());
        if (!failure.empty() || desk.platform->model().client(w)->frame() != there) {
            state.SkipWithError(failure.empty() ? "the key was not carried out" : failure.c_str());
            break;
        }
        // The move's task ends once the window has been still on the other display.
        if (first) {
            desk.runTask([](TaskHandle task) -> Task<void> {
                while (!task.isDone()) co_await sleepUnlessCancelled(0.01);
            }(before));
        }
    }
}

void BM_SnapHalfAlone(benchmark::State& state) { snapBench(state, std::nullopt, SnapAction::leftHalf); }
BENCHMARK(BM_SnapHalfAlone)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// Moved onto the right monitor first, the window is snapped where it stands.
void BM_SnapHalfAfterDisplayMove(benchmark::State& state) {
    snapBench(state, SnapAction::nextDisplay, SnapAction::leftHalf);
}
BENCHMARK(BM_SnapHalfAfterDisplayMove)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// The same ten moves, one wmctrl process each, as a person's script would make them.
void BM_WmctrlTenWindows(benchmark::State& state) {
    Desk desk(Setup{.apps = 10});
    bool flipped = false;
    for (auto _ : state) {
        for (std::size_t k = 0; k < desk.windows.size(); ++k) {
            const Rect r = slot(static_cast<int>(k), 10, flipped);
            char geometry[96];
            std::snprintf(geometry, sizeof geometry, "0,%d,%d,%d,%d", int(r.x()), int(r.y()), int(r.width()),
                          int(r.height()));
            char id[32];
            std::snprintf(id, sizeof id, "0x%x", desk.windows[k]);
            const pid_t pid = fork();
            if (pid == 0) {
                setenv("DISPLAY", desk.session->display().c_str(), 1);
                execlp("wmctrl", "wmctrl", "-i", "-r", id, "-e", geometry, static_cast<char*>(nullptr));
                _exit(127);
            }
            int status = 0;
            waitpid(pid, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("wmctrl failed");
        }
        flipped = !flipped;
    }
}
BENCHMARK(BM_WmctrlTenWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestr
