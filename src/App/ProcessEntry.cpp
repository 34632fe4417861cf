#include "App/ProcessEntry.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "App/AppInfo.h"
#include "App/CommandLine.h"
#include "App/DesktopBackend.h"
#include "App/DiagnosticModes.h"
#include "App/MenuBarApplication.h"
#include "App/OffscreenApplication.h"
#include "Platform/Platform.h"
#include "Platform/Posix/QuitSignals.h"
#include "Tools/DragProbe.h"
#include "UI/Manager/AppVersionText.h"

namespace kestr {

namespace {

using Mode = CommandLine::Mode;

// Options whose modes draw with the user interface, which this build does not have yet.
const std::vector<Mode> unavailableModes = {};

Task<void> runThenStop(Task<int> body, int& status, RealTimeMainActor& loop, ConsoleOutput& output) {
    try {
        status = co_await std::move(body);
    } catch (const std::exception& e) {
        output.err(std::string("kestr: ") + e.what() + "\n");
        status = 1;
    }
    // The requests the mode made reach the system before the process ends with it.
    platform().accessibility().deliverWrites();
    // Work the mode left posted (the completion of a request it made, which logs how
    // that went) runs before the loop ends.
    loop.post([&loop] { loop.stop(); });
}

}  // namespace

// A run without its display cannot go on, and must not hang waiting for it.
[[noreturn]] void connectionLost(ConsoleOutput& output, const std::string& display) {
    output.err("kestr: lost the connection to the X display " + display + "\n");
    std::fflush(nullptr);
    std::_Exit(1);
}

namespace {

// Runs one mode body as a task on the loop; the loop ends when the body does.
int runOnLoop(DesktopBackend& backend, Task<int> body, ConsoleOutput& output) {
    int status = 1;
    spawn(runThenStop(std::move(body), status, backend.loop(), output));
    backend.loop().run();
    return status;
}

// The drag probe logs until a quit signal stops the loop (at once when one came while
// the desktop was loading); the desktop is then saved and the status is 0.
int runDragProbe(DesktopBackend& backend, ConsoleOutput& output, QuitSignals& quitSignals) {
    RealTimeMainActor& loop = backend.loop();
    quitSignals.onQuit([&loop] { loop.stop(); });
    {
        DragProbe probe([&output](const std::string& text) { output.out(text); });
        probe.start();
        loop.run();
    }
    quitSignals.onQuit(nullptr);
    return 0;
}

int runMode(const CommandLine::Choice& choice, const std::vector<std::string>& arguments, DesktopBackend& backend,
            ConsoleOutput& output, std::optional<QuitSignals>& quitSignals) {
    switch (choice.mode) {
        case Mode::dump:
            return DiagnosticModes::windowDump(output);
        case Mode::applyKest:
            return runOnLoop(backend, DiagnosticModes::applyByName(output, arguments, choice.value, choice.position),
                             output);
        case Mode::testNewSpace:
            output.out("Triggering SpaceController.createNewSpaceAndSwitch()…\n");
            return runOnLoop(backend, DiagnosticModes::testNewSpace(output), output);
        case Mode::probeDrag:
            return runDragProbe(backend, output, *quitSignals);
        case Mode::dumpContent:
            return runOnLoop(backend, DiagnosticModes::contentDump(output), output);
        case Mode::dumpDisplays:
            return runOnLoop(backend, DiagnosticModes::displayDump(output), output);
        case Mode::probeMinSize:
            // Its waits go through the loop.
            return runOnLoop(backend, DiagnosticModes::minSizeProbe(output), output);
        case Mode::writeSampleLayout:
            return DiagnosticModes::writeSampleLayout(output, choice.value, std::filesystem::current_path().string());
        case Mode::renderPanel: {
            OffscreenApplication application;
            return DiagnosticModes::renderPanel(output, arguments, choice.value);
        }
        case Mode::renderEditor: {
            OffscreenApplication application;
            return DiagnosticModes::renderEditor(output, choice.value);
        }
        case Mode::renderMenuBarIcons: {
            OffscreenApplication application;
            platform().application().setActivationPolicy(ActivationPolicy::accessory);
            return DiagnosticModes::renderMenuBarIcons(output, choice.value, std::filesystem::current_path().string());
        }
        case Mode::help:
        case Mode::mistake:
        case Mode::menuBarApplication:
            break;
    }
    return 2;
}

}  // namespace

int ProcessEntry::run(const std::vector<std::string>& arguments, const UserEnvironment::Variables& variables,
                      ConsoleOutput& output) {
    setAppVersion(AppInfo::version(), AppInfo::build());
    const CommandLine::Choice choice = CommandLine::choose(arguments, unavailableModes);
    // Answered before anything loads: no desktop, no shortcuts taken.
    if (choice.mode == Mode::help) {
        output.out(CommandLine::helpText());
        return 0;
    }
    if (choice.mode == Mode::mistake) {
        output.err(choice.value + "\n");
        return 2;
    }
    // Without a display Qt would abort; one clear line instead.
    if (choice.mode == Mode::menuBarApplication && !MenuBarApplication::hasDisplay(variables)) {
        output.err(
            "kestr: no display to show the menu-bar item on (set DISPLAY, or QT_QPA_PLATFORM=offscreen "
            "to run without one)\n");
        return 1;
    }
    // The menu-bar application and the probe run until they are told to quit; the
    // signals that tell them are taken from here on, before the desktop loads, and
    // until it is saved.
    std::optional<QuitSignals> quitSignals;
    if (choice.mode == Mode::menuBarApplication || choice.mode == Mode::probeDrag) quitSignals.emplace();
    try {
        const UserEnvironment user = UserEnvironment::read(variables);
        if (choice.mode == Mode::menuBarApplication)
            return MenuBarApplication::run(user, variables, output, *quitSignals);
        const DesktopBackend::Choice desktop = DesktopBackend::choose(variables);
        if (desktop.note) output.err(*desktop.note + "\n");
        DesktopBackend backend(desktop, user, variables);
        backend.onConnectionLost([&output, name = desktop.displayName] { connectionLost(output, name); });
        int status = 1;
        try {
            status = runMode(choice, arguments, backend, output, quitSignals);
        } catch (const std::exception& e) {
            output.err(std::string("kestr: ") + e.what() + "\n");
        }
        try {
            backend.save();
        } catch (const SimBackendError& e) {
            output.err(std::string(e.what()) + "\n");
            if (status == 0) status = 1;
        }
        return status;
    } catch (const Error& e) {  // no usable environment, or no desktop to load
        output.err(std::string(e.what()) + "\n");
        return 1;
    }
}

}  // namespace kestr
