#include "Platform/X11/Support/QtOnSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

namespace kestr::x11test {

namespace {

std::unique_ptr<QApplication>& application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// The application goes when the tests end, with the fonts and caches it holds.
class QtOnSessionEnvironment : public ::testing::Environment {
public:
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

}  // namespace kestr::x11test
