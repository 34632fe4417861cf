#include "App/MenuBarApplication.h"

#include <QApplication>
#include <QThreadPool>
#include <optional>
#include <utility>
#include <vector>

#include "App/AppDelegate.h"
#include "App/InstanceLock.h"
#include "App/DesktopBackend.h"
#include "App/ProcessEntry.h"
#include "App/ServiceWiring.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Platform/Posix/QuitSignals.h"
#include "UI/AppIcons.h"
#include "UI/LocalEventBridge.h"
#include "UI/QtCursors.h"
#include "UI/QtMainActor.h"
#include "UI/Shell/MessageBoxAlerts.h"
#include "UI/Shell/ToastPresenter.h"
#include "UI/Shell/DockingStatusItem.h"

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

// Variables our own Qt reads when the application object is made, put back as they were
// once it is made (Qt reads them only then): the programs kestr launches get the
// environment kestr was started with, not kestr's own Qt settings.
class QtStartVariables {
public:
    // No value unsets the variable.
    void set(const char* name, const std::optional<QByteArray>& value) {
        kept_.push_back({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        value ? qputenv(name, *value) : qunsetenv(name);
    }
    void putBack() {
        for (const auto& [name, value] : kept_) value ? qputenv(name, *value) : qunsetenv(name);
        kept_.clear();
    }

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> kept_;
};

}  // namespace

bool MenuBarApplication::hasDisplay(const UserEnvironment::Variables& variables) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const auto value = variables(name);
        if (value && !value->empty()) return true;
    }
    return false;
}

int MenuBarApplication::run(const UserEnvironment& user, const UserEnvironment::Variables& variables,
                            ConsoleOutput& output, QuitSignals& quitSignals) {
    // Two applications on one data folder would each save their own picture of it, and
    // the second would find every shortcut taken.
    std::unique_ptr<FileLock> instance;
    try {
        PosixFiles files(user.folders);
        instance = InstanceLock::acquire(files);
    } catch (const FileLockedError&) {
        output.err("kestr is already running\n");
        return 1;
    } catch (const FileError& e) {
        output.err(PrintableText::of(std::string("kestr: cannot make sure no other kestr runs: ") + e.what()) + "\n");
        return 1;
    }

    // On the real desktop our own windows are X windows too, in X pixels (scale 1), so
    // their coordinates are the ones the desktop's services speak in. Qt would still
    // scale by a factor the session sets for all Qt programs, and put the panel and the
    // overlays where the desktop's coordinates do not point; a HiDPI session's font DPI
    // (QT_FONT_DPI, Xft.dpi) still makes the text larger.
    std::optional<DesktopBackend::Choice> desktopChoice;
    try {
        desktopChoice = DesktopBackend::choose(variables);
    } catch (const Error& e) {
        output.err(std::string(e.what()) + "\n");
        return 1;
    }
    if (desktopChoice->note) output.err(*desktopChoice->note + "\n");
    QtStartVariables qtStart;
    if (desktopChoice->kind == DesktopBackend::Kind::x11) {
        if (!variables("QT_QPA_PLATFORM")) qtStart.set("QT_QPA_PLATFORM", "xcb");
        qtStart.set("QT_ENABLE_HIGHDPI_SCALING", "0");
        for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"}) qtStart.set(name, std::nullopt);
    }
    // QApplication keeps references to these for its whole life.
    static int argc = 1;
    static char program[] = "kestr";
    static char* argv[] = {program, nullptr};
    QApplication application(argc, argv);
    qtStart.putBack();
    application.setQuitOnLastWindowClosed(false);
    // Every window of kestr's shows its icon, the manager, the onboarding and alerts in
    // task lists too.
    application.setWindowIcon(AppIcons::own());
    keepOnePaintingThread();
    // Asked from any thread (the quit signals have their own); runs on the loop.
    const auto quit = [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); };

    try {
        // The status button; in its own window, when there is no tray, it follows the main display.
        DockingStatusItem* button = nullptr;
        // The application while it runs, told when the room for windows changes.
        AppDelegate* running = nullptr;
        // Everything that draws goes with the backend, before the QApplication.
        DesktopBackend backend(*desktopChoice, user, variables, std::make_unique<QtMainActor>());
        backend.onConnectionLost([&output, name = desktopChoice->displayName] { connectionLost(output, name); });
        backend.onDisplaysChanged([&button] {
            if (button) button->followMainDisplay();
        });
        backend.onVisibleAreasChanged([&button, &running] {
            // A panel came, went or changed: the button stays clear of them.
            if (button) button->followMainDisplay();
            if (running) running->visibleAreasChanged();
        });
        MessageBoxAlerts alerts;
        QtCursors cursors;
        backend.plugUserInterface({&alerts, &ToastPresenter::shared(), &cursors, [] { QApplication::beep(); }, quit});
        // Our windows' keys and clicks pass the local monitors first: Escape ends an edge
        // drag, and a dragged handle follows the pointer.
        LocalEventBridge localEvents;
        application.installEventFilter(&localEvents);
        platform().application().setActivationPolicy(ActivationPolicy::accessory);
        ServiceWiring::connect();
        {
            AppDelegate delegate;
            running = &delegate;
            delegate.makeStatusItem = [&button]() -> std::unique_ptr<StatusItem> {
                auto item = std::make_unique<DockingStatusItem>();
                button = item.get();
                return item;
            };
            delegate.console = &output;
            platform().mainActor().post([&delegate] { delegate.applicationDidFinishLaunching(); });
            quitSignals.onQuit(quit);
            application.exec();
            quitSignals.onQuit({});
            button = nullptr;
            running = nullptr;
        }
        backend.plugUserInterface({});
        backend.save();
        return 0;
    } catch (const Error& e) {  // no usable environment, or a desktop that cannot be loaded or kept
        output.err(std::string(e.what()) + "\n");
        return 1;
    }
}

}  // namespace kestr
