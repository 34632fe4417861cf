// A simulated desktop for whole applies: one or two displays, applications that can be
// launched and answer the generic fresh-window script, kests built from frames, and
// applies run to their end in virtual time.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Layout/LayoutApplier.h"
#include "Support/StartedTask.h"
#include "Support/DesktopTest.h"

namespace kestr::test {

// The application a script addresses, from its "tell application id" line.
inline std::string scriptAddressee(const std::string& source) {
    const std::string marker = "tell application id \"";
    const auto at = source.find(marker);
    if (at == std::string::npos) return "";
    const auto from = at + marker.size();
    return source.substr(from, source.find('"', from) - from);
}

class ApplyFixture : public DesktopTest {
protected:
    using ApplyMode = LayoutApplier::ApplyMode;
    using FrameSource = LayoutApplier::FrameSource;
    using ApplyReport = LayoutApplier::ApplyReport;

    static constexpr DisplayID leftID = 1;
    // The two halves of the first display's visible area.
    static inline const Rect leftHalf{0, 25, 720, 875};
    static inline const Rect rightHalf{720, 25, 720, 875};

    // One 1440 x 900 display with a 25-point menu bar.
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(leftID, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
        sim->simScriptHost().handler = [this](const std::string& source) { return answerScript(source); };
    }
    // A 1920 x 1080 display to the right of the first.
    void addRightDisplay() { addDisplay(2, Rect(1440, 0, 1920, 1080), Insets{25, 0, 0, 0}); }

    SimApplication& install(const std::string& bundleID, const std::string& name,
                            std::optional<double> firstWindowDelay = 0.5) {
        SimApplication app;
        app.bundleID = bundleID;
        app.name = app.windowTitle = name;
        app.path = "/Applications/" + name + ".app";
        app.launchDelay = 0.1;
        app.firstWindowDelay = firstWindowDelay;
        app.windowFrame = Rect(300, 300, 500, 400);
        return sim->world().install(app);
    }
    // Starts an installed application with no windows.
    std::int32_t run(const std::string& bundleID) { return sim->world().launch(bundleID).pid; }
    AXElement addWindow(std::int32_t pid, const std::string& title, const Rect& frame) {
        return sim->world().addWindow(pid, window(title, frame)).element;
    }

    static LayoutItem item(const std::string& bundleID, const std::string& name, const Rect& frame,
                           DisplayID display = leftID, WindowMatcher matcher = WindowMatcher::firstWindow()) {
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = bundleID;
        item.appName = name;
        item.windowMatcher = std::move(matcher);
        item.targetFrame = frameOn(display, frame.x(), frame.y(), frame.width(), frame.height());
        item.launchIfMissing = true;
        return item;
    }
    static Layout kest(std::vector<LayoutItem> items) {
        Layout layout;
        layout.id = Uuid::random();
        layout.name = "Work";
        layout.items = std::move(items);
        return layout;
    }

    StartedTask<ApplyReport> start(const Layout& layout, ApplyMode mode, std::optional<DisplayID> anchor = std::nullopt,
                                   FrameSource source = FrameSource::captured) {
        auto task = test::start(LayoutApplier::apply(layout, mode, source, anchor));
        sim->virtualTime().runPending();
        return task;
    }
    // Runs the apply and everything it leaves behind (late windows) to the end.
    ApplyReport applyToEnd(const Layout& layout, ApplyMode mode, std::optional<DisplayID> anchor = std::nullopt,
                           FrameSource source = FrameSource::captured) {
        auto task = start(layout, mode, anchor, source);
        sim->virtualTime().runUntilIdle(120);
        EXPECT_TRUE(task.done());
        task.rethrow();
        return task.done() ? task.value() : ApplyReport{};
    }

    Rect frameOf(AXElement window) { return sim->world().window(window)->frame(); }
    AXElementList windowsOf(std::int32_t pid) {
        AXElementList out;
        for (const SimWindow& w : sim->world().process(pid)->windows) out.push_back(w.element);
        return out;
    }
    const std::vector<std::string>& lines() { return sim->simLog().lines(); }
    // The fresh-window scripts that ran, by bundle identifier.
    std::vector<std::string> freshWindowScripts() const {
        std::vector<std::string> out;
        for (const std::string& source : sim->simScriptHost().sources()) {
            if (isGenericNewWindow(source)) out.push_back(scriptAddressee(source));
        }
        return out;
    }

    // Bundle identifiers whose fresh-window script fails with -1708.
    std::set<std::string> refusingScripts;

private:
    static bool isGenericNewWindow(const std::string& source) {
        return source.find("to make new window") != std::string::npos;
    }
    // The generic fresh-window script opens a window 0.2 s after it runs.
    std::optional<ScriptOutcome> answerScript(const std::string& source) {
        const std::string bundleID = scriptAddressee(source);
        if (!isGenericNewWindow(source)) return std::nullopt;
        if (refusingScripts.contains(bundleID)) return SimScriptHost::failure(-1708, "can't make new window");
        const auto running = sim->world().runningProcesses(bundleID);
        if (running.empty()) return std::nullopt;
        const std::int32_t pid = running.front()->pid;
        sim->virtualTime().schedule(0.2, [this, pid] {
            SimProcess* p = sim->world().process(pid);
            if (p && !p->terminated) sim->world().openNewWindow(pid);
        });
        return std::nullopt;
    }
};

}  // namespace kestr::test
