#include "Platform/X11/Support/QtOnSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "Support/QtTestSettings.h"

namespace kestr::x11test {

namespace {

std::unique_ptr<QApplication>& application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// The fonts and the scale are chosen before any test runs, for our own Qt and for the
// programs the tests start (kestr among them); the application goes when the tests end,
// with the fonts and caches it holds.
class QtOnSessionEnvironment : public ::testing::Environment {
public:
    void SetUp() override { test::chooseQtSettings(); }
    void TearDown() override { application().reset(); }
};
[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtOnSessionEnvironment);

}  // namespace

void ensureQtApplication(XvfbSession& session) {
    if (QApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("DISPLAY", session.display().c_str(), 1);
    // No session bus: Qt's D-Bus thread would otherwise look for one and keep what it
    // read.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent-kestr-test-bus", 1);
    setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "0", 1);
    static int argc = 1;
    static char name[] = "test_X11";
    static char* argv[] = {name, nullptr};
    application() = std::make_unique<QApplication>(argc, argv);
    ASSERT_TRUE(test::useTestFont()) << test::testFontMissing;
}

bool pumpQtUntil(const std::function<bool()>& condition, double seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > seconds * 1000) return false;
        // Handles what comes within a short slice, then looks again.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

bool runQtOnEventsUntil(xcb_connection_t* connection, const std::function<bool()>& condition, double seconds) {
    if (condition()) return true;
    bool held = false;
    QEventLoop loop;
    QSocketNotifier readable(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    QObject::connect(&readable, &QSocketNotifier::activated, &loop, [&] {
        // The condition's own round trips may bring events in with their replies, which
        // the descriptor will not announce again.
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) std::free(event);
            if ((held = condition())) return loop.quit();
            xcb_generic_event_t* queued = xcb_poll_for_queued_event(connection);
            if (!queued) return;
            std::free(queued);
        }
    });
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return held;
}

}  // namespace kestr::x11test
