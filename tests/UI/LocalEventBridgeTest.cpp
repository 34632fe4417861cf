#include "UI/LocalEventBridge.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "Support/SimTest.h"

namespace kestr::test {
namespace {

class LocalEventBridgeTest : public SimTest {};

TEST_F(LocalEventBridgeTest, OurWindowsKeysAndClicksPassThroughTheLocalMonitorsFirst) {
    LocalEventBridge bridge;
    qApp->installEventFilter(&bridge);
    QLineEdit field;
    field.show();
    field.setFocus();
    std::vector<std::uint16_t> heard;
    const auto token = sim->eventMonitors().addLocalMonitor(eventMask(EventType::keyDown),
                                                            [&heard](const Event& e) -> std::optional<Event> {
                                                                heard.push_back(e.keyCode);
                                                                // X is swallowed here.
                                                                if (e.keyCode == 7) return std::nullopt;
                                                                return e;
                                                            });
    QTest::keyClick(field.windowHandle(), Qt::Key_A);
    QTest::keyClick(field.windowHandle(), Qt::Key_X);
    QTest::keyClick(field.windowHandle(), Qt::Key_B);
    EXPECT_EQ(heard, (std::vector<std::uint16_t>{0, 7, 11}));
    EXPECT_EQ(field.text(), "ab");
    sim->eventMonitors().removeMonitor(*token);

    // A press in our window: the desktop knows the button is down and where the pointer is.
    const QPoint inside(5, 5);
    QTest::mousePress(field.windowHandle(), Qt::LeftButton, {}, inside);
    EXPECT_EQ(sim->eventMonitors().pressedMouseButtons(), 1u);
    const QPoint global = field.mapToGlobal(inside);
    EXPECT_EQ(sim->world().pointer, (Point{double(global.x()), double(global.y())}));
    QTest::mouseRelease(field.windowHandle(), Qt::LeftButton, {}, inside);
    EXPECT_EQ(sim->eventMonitors().pressedMouseButtons(), 0u);
    qApp->removeEventFilter(&bridge);
}

}  // namespace
}  // namespace kestr::test
