#include "App/MenuBarApplication.h"

#include <QApplication>
#include <QThreadPool>

#include "App/AppDelegate.h"
#include "App/InstanceLock.h"
#include "App/DesktopBackend.h"
#include "App/ProcessEntry.h"
#include "App/ServiceWiring.h"
#include "Core/LegacyMigration.h"
#include "Platform/Platform.h"
#include "Platform/QuitSignals.h"
#include "Platform/Sim/SimDesktop.h"
#include "UI/LocalEventBridge.h"
#include "UI/QtCursors.h"
#include "UI/QtMainActor.h"
#include "UI/Shell/MessageBoxAlerts.h"
#include "UI/Shell/ToastPresenter.h"
#include "UI/Shell/TrayStatusItem.h"
#include "UI/Shell/WindowStatusItem.h"

namespace kestr {

namespace {

// Qt's raster painting spreads each large fill over the global thread pool, whose
// threads end after half a minute of rest and start again at the next large fill: an
// edge handle shown while the pointer moves would start threads each time. One thread,
// started now and kept for the whole run, does that share of the painting.
void keepOnePaintingThread() {
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(1);
    pool->setExpiryTimeout(-1);
    pool->start([] {});
}

std::unique_ptr<StatusItem> makeStatusItem() {
    if (TrayStatusItem::isAvailable()) return std::make_unique<TrayStatusItem>();
    platform().log().line("kestr: this desktop has no system tray; the status button shows in a window of its own");
    return std::make_unique<WindowStatusItem>();
}

}  // namespace

bool MenuBarApplication::hasDisplay(const SimBackendPaths::Environment& environment) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const auto value = environment(name);
        if (value && !value->empty()) return true;
    }
    return false;
}

int MenuBarApplication::run(const SimBackendPaths::Environment& environment, ConsoleOutput& output,
                            QuitSignals& quitSignals) {
    // Two applications on one data folder would each save their own picture of it.
    std::unique_ptr<FileLock> instance;
    try {
        const SimBackendPaths paths = SimBackendPaths::fromEnvironment(environment);
        PosixFiles files(paths.folders);
        // The lock lives in our data folder, and the earlier version's folder only
        // becomes ours while ours does not exist yet: it moves first.
        SystemLog log(paths.logToStderr);
        LegacyMigration::migrateAppSupportDirectory(files, log);
        instance = InstanceLock::acquire(files);
    } catch (const FileLockedError&) {
        output.err("kestr is already running\n");
        return 1;
    } catch (const FileError& e) {
        output.err(std::string("kestr: ") + e.what() + "\n");
    } catch (const Error& e) {  // no usable environment
        output.err(std::string(e.what()) + "\n");
        return 1;
    }

    // On the real desktop our own windows are X windows too, in X pixels (scale 1), so
    // their coordinates are the ones the desktop's services speak in.
    std::optional<DesktopBackend::Choice> desktopChoice;
    try {
        desktopChoice = DesktopBackend::choose(environment);
    } catch (const Error& e) {
        output.err(std::string(e.what()) + "\n");
        return 1;
    }
    if (desktopChoice->note) output.err(*desktopChoice->note + "\n");
    if (desktopChoice->kind == DesktopBackend::Kind::x11) {
        if (!environment("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    }
    // QApplication keeps references to these for its whole life.
    static int argc = 1;
    static char program[] = "kestr";
    static char* argv[] = {program, nullptr};
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    keepOnePaintingThread();
    // Asked from any thread (the quit signals have their own); runs on the loop.
    const auto quit = [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); };

    try {
        // The status button's own window, when there is no tray; it follows the main display.
        WindowStatusItem* buttonWindow = nullptr;
        // Everything that draws goes with the backend, before the QApplication.
        DesktopBackend backend(*desktopChoice, environment, std::make_unique<QtMainActor>());
        backend.onConnectionLost([&output, name = desktopChoice->displayName] { connectionLost(output, name); });
        backend.onDisplaysChanged([&buttonWindow] {
            if (buttonWindow) buttonWindow->followMainDisplay();
        });
        SimDesktop& desktop = backend.services();
        MessageBoxAlerts alerts;
        desktop.simAlerts().forwardTo = &alerts;
        desktop.simToasts().forwardTo = &ToastPresenter::shared();
        QtCursors cursors;
        desktop.simCursors().forwardTo = &cursors;
        // Our windows' keys and clicks pass the local monitors first: Escape ends an edge
        // drag, and a dragged handle follows the pointer.
        LocalEventBridge localEvents;
        application.installEventFilter(&localEvents);
        desktop.simApplication().onBeep = [] { QApplication::beep(); };
        desktop.simApplication().onTerminate = quit;
        desktop.simApplication().setActivationPolicy(ActivationPolicy::accessory);
        ServiceWiring::connect();
        {
            AppDelegate delegate;
            delegate.makeStatusItem = [&buttonWindow] {
                std::unique_ptr<StatusItem> item = makeStatusItem();
                buttonWindow = dynamic_cast<WindowStatusItem*>(item.get());
                return item;
            };
            delegate.console = &output;
            platform().mainActor().post([&delegate] { delegate.applicationDidFinishLaunching(); });
            quitSignals.onQuit(quit);
            application.exec();
            quitSignals.onQuit({});
            buttonWindow = nullptr;
        }
        desktop.simAlerts().forwardTo = nullptr;
        desktop.simToasts().forwardTo = nullptr;
        desktop.simCursors().forwardTo = nullptr;
        backend.save();
        return 0;
    } catch (const Error& e) {  // no usable environment, or a desktop that cannot be loaded or kept
        output.err(std::string(e.what()) + "\n");
        return 1;
    }
}

}  // namespace kestr
