// Base of the tests of kestr's X11 desktop: the real backend installed on the private
// session, on a real-time loop (or on Qt's, as the program runs it), with a private
// folder of desktop files. Tasks run on the loop until they finish or a deadline passes;
// nothing sleeps for a fixed time.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Platform/Sim/SimAlerts.h"
#include "Platform/Sim/SimLog.h"
#include "Platform/Runtime/Task.h"
#include "Platform/X11/X11Platform.h"
#include "Support/StartedTask.h"
#include "Platform/X11/Support/X11Test.h"

namespace kestr::x11test {

class BackendTest : public X11Test {
protected:
    // Set before SetUp: the backend runs on Qt's event loop as in the program, so one
    // loop serves it and the windows kestr shows; run() and settle() then pump Qt, and
    // loop() is not there.
    bool onQtLoop = false;

    void SetUp() override;
    void TearDown() override;

    // The display the backend connects to: the session's, unless a test puts another in
    // front of it.
    virtual std::string platformDisplay() { return session().display(); }

    X11Platform& x11() { return *platform_; }
    // Every log line of the backend, and every alert it asked for (answered by the first
    // button unless the test scripts answers).
    SimLog& recordedLog() { return log_; }
    SimAlerts& recordedAlerts() { return alerts_; }
    RealTimeMainActor& loop() { return *loop_; }
    // Where the test's desktop files go ("<id>.desktop" under "applications").
    const std::string& dataFolder() const { return dataFolder_; }
    void writeDesktopFile(const std::string& id, const std::string& name, const std::string& startupWMClass);
    // A desktop file of that text, "[Desktop Entry]" and "Type=Application" put first;
    // gives its path. Programs launched from these files end with the test.
    std::string writeDesktopEntry(const std::string& id, const std::string& lines);
    // The client-window program's path, for Exec lines.
    static std::string clientProgram();

    // Starts a client-window program and waits until the window manager has framed its
    // window (and, when asked, made it the active one).
    xcb_window_t openFramed(ClientOptions options, bool active = false);
    // The window's frame as the X server has it; null when it has none.
    Rect serverFrame(xcb_window_t w);
    // The window's element as the backend hands it out; none for a window it does not know.
    AXElement element(xcb_window_t w);
    // The client window of that title, front first; none when none shows it.
    std::optional<xcb_window_t> windowTitled(const std::string& title);

    // Runs the loop until the task finishes; a task still running after `seconds` fails
    // the test (and is left unfinished).
    template <class T>
    test::StartedTask<T> run(Task<T> task, double seconds = 10) {
        test::StartedTask<T> started;
        started.handle = kestr::spawn(keepThenStop<T>(std::move(task), started.outcome, loop_));
        runFor(seconds, [&] { return started.done(); });
        return started;
    }
    // Runs the loop, handing X events to the backend, until the condition holds after an
    // event or the deadline passes; gives whether it held.
    bool settle(std::function<bool()> condition, double seconds = kDeadlineSeconds);
    // Runs the loop until the condition holds, looking again every 10 ms, for what the
    // loop's own timers change (a poll, a fade); gives whether it held in time.
    bool runUntil(std::function<bool()> condition, double seconds = kDeadlineSeconds);

private:
    template <class T>
    static Task<void> keepThenStop(Task<T> task, std::shared_ptr<typename test::StartedTask<T>::Outcome> outcome,
                                   RealTimeMainActor* actor) {
        co_await test::keepOutcome<T>(std::move(task), outcome);
        if (actor) actor->stop();
    }
    void runFor(double seconds, const std::function<bool()>& done);
    void endLaunchedPrograms();

    std::string dataFolder_;
    SimLog log_;
    SimAlerts alerts_;
    RealTimeMainActor* loop_ = nullptr;
    std::unique_ptr<X11Platform> platform_;
};

}  // namespace kestr::x11test
