#include "Layout/ApplyFixture.h"

namespace kestr::test {

namespace {

// The bundle identifier a script addresses: tell application id "…".
std::optional<std::string> addressedBundle(const std::string& source) {
    const std::string marker = "tell application id \"";
    const auto start = source.find(marker);
    if (start == std::string::npos) return std::nullopt;
    const auto from = start + marker.size();
    const auto end = source.find('"', from);
    if (end == std::string::npos) return std::nullopt;
    return source.substr(from, end - from);
}

bool isGenericNewWindow(const std::string& source) {
    return source.find("to make new window") != std::string::npos;
}

}  // namespace

void ApplyFixture::SetUp() {
    DesktopTest::SetUp();
    addDisplay(leftID, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
    answerScripts();
}

void ApplyFixture::addRightDisplay() { addDisplay(rightID, Rect(1440, 0, 1920, 1080), Insets{25, 0, 0, 0}); }

SimApplication& ApplyFixture::install(const std::string& bundleID, const std::string& name,
                                      std::optional<double> firstWindowDelay) {
    SimApplication app;
    app.bundleID = bundleID;
    app.name = name;
    app.path = "/Applications/" + name + ".app";
    app.launchDelay = 0.1;
    app.firstWindowDelay = firstWindowDelay;
    app.windowTitle = name;
    app.windowFrame = Rect(300, 300, 500, 400);
    return sim->world().install(app);
}

std::int32_t ApplyFixture::run(const std::string& bundleID) { return sim->world().launch(bundleID).pid; }

AXElement ApplyFixture::addWindow(std::int32_t pid, const std::string& title, const Rect& frame) {
    return sim->world().addWindow(pid, window(title, frame)).element;
}

LayoutItem ApplyFixture::item(const std::string& bundleID, const std::string& name, const Rect& frame,
                              DisplayID display, WindowMatcher matcher) {
    LayoutItem item;
    item.id = Uuid::random();
    item.appBundleID = bundleID;
    item.appName = name;
    item.windowMatcher = std::move(matcher);
    item.targetFrame = frameOn(display, frame.x(), frame.y(), frame.width(), frame.height());
    item.launchIfMissing = true;
    return item;
}

Layout ApplyFixture::kest(std::vector<LayoutItem> items) {
    Layout layout;
    layout.id = Uuid::random();
    layout.name = "Work";
    layout.items = std::move(items);
    return layout;
}

StartedTask<LayoutApplier::ApplyReport> ApplyFixture::start(const Layout& layout, ApplyMode mode,
                                                            std::optional<DisplayID> anchor, FrameSource source) {
    auto task = test::start(LayoutApplier::apply(layout, mode, source, anchor));
    sim->virtualTime().runPending();
    return task;
}

LayoutApplier::ApplyReport ApplyFixture::applyToEnd(const Layout& layout, ApplyMode mode,
                                                    std::optional<DisplayID> anchor, FrameSource source) {
    auto task = start(layout, mode, anchor, source);
    sim->virtualTime().runUntilIdle(120);
    EXPECT_TRUE(task.done());
    task.rethrow();
    return task.done() ? task.value() : ApplyReport{};
}

Rect ApplyFixture::frameOf(AXElement window) {
    const SimWindow* w = sim->world().window(window);
    return w ? w->frame() : Rect::null();
}

AXElementList ApplyFixture::windowsOf(std::int32_t pid) {
    AXElementList out;
    if (SimProcess* p = sim->world().process(pid)) {
        for (const SimWindow& w : p->windows) out.push_back(w.element);
    }
    return out;
}

const std::vector<std::string>& ApplyFixture::lines() { return sim->simLog().lines(); }

std::vector<std::string> ApplyFixture::freshWindowScripts() const {
    std::vector<std::string> out;
    for (const std::string& source : sim->simScriptHost().sources()) {
        if (isGenericNewWindow(source)) out.push_back(addressedBundle(source).value_or(""));
    }
    return out;
}

void ApplyFixture::answerScripts() {
    sim->simScriptHost().handler = [this](const std::string& source) -> std::optional<ScriptOutcome> {
        const auto bundleID = addressedBundle(source);
        if (!bundleID || !isGenericNewWindow(source)) return std::nullopt;
        if (refusingScripts.contains(*bundleID)) return SimScriptHost::failure(-1708, "can't make new window");
        if (silentScripts.contains(*bundleID)) return std::nullopt;
        const auto running = sim->world().runningProcesses(*bundleID);
        if (running.empty()) return std::nullopt;
        const std::int32_t pid = running.front()->pid;
        sim->virtualTime().schedule(freshWindowDelay, [this, pid] {
            SimProcess* p = sim->world().process(pid);
            if (p && !p->terminated) sim->world().openNewWindow(pid);
        });
        return std::nullopt;
    };
}

}  // namespace kestr::test
