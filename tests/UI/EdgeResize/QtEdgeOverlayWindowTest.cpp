#include "UI/EdgeResize/QtEdgeOverlayWindow.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "Support/ActiveKestTest.h"

namespace kestr::test {
namespace {

class QtEdgeOverlayWindowTest : public ActiveKestTest {
protected:
    void SetUp() override {
        ActiveKestTest::SetUp();
        EdgeOverlayManager::shared().presenter = std::make_shared<QtEdgeOverlayPresenter>();
        EdgeProximityTracker::shared().setActiveLayout(kest);
        EdgeOverlayManager::shared().setActiveLayout(kest);
    }
    EdgeOverlay& overlay() { return *EdgeOverlayManager::shared().windows.at(uuidOf(1)); }
    QtEdgeOverlayWindow* window() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* edge = dynamic_cast<QtEdgeOverlayWindow*>(w); edge && edge->isVisible()) return edge;
        }
        return nullptr;
    }
    QImage render() {
        QImage image(window()->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        window()->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
};

TEST_F(QtEdgeOverlayWindowTest, TheHandleShowsTakesTheMouseAndDragsTheEdge) {
    ASSERT_TRUE(window());
    EXPECT_EQ(window()->geometry(), QRect(0, 0, 1440, 900));
    EXPECT_TRUE(window()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(qAlpha(render().pixel(720, 462)), 0) << "nothing drawn without a handle";

    EdgeOverlayManager::shared().updateProximity(
        EdgeProximityTracker::Hit{kest.edgeGroups[0].id, Axis::vertical, 2, 720});
    sim->virtualTime().advance(0.1);
    EXPECT_EQ(window()->windowOpacity(), 1.0);
    EXPECT_FALSE(window()->testAttribute(Qt::WA_TransparentForMouseEvents));
    const QImage rest = render();
    // The knob at the middle of the span (25..900): an almost opaque white pill.
    EXPECT_GT(qAlpha(rest.pixel(720, 462)), 240);
    EXPECT_EQ(qRed(rest.pixel(720, 462)), qBlue(rest.pixel(720, 462)));
    // The line above it, faint white; clear beside it.
    EXPECT_GT(qAlpha(rest.pixel(719, 200)) + qAlpha(rest.pixel(720, 200)), 30);
    EXPECT_EQ(qAlpha(rest.pixel(740, 200)), 0);

    sim->simEventMonitors().setPressedMouseButtons(1);
    QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(720, 462));
    EXPECT_TRUE(EdgeDragSession::shared().isActive);
    sim->virtualTime().advance(1);
    // Pressed: the knob turns to accent-tinted glass, the line to the accent.
    const QImage pressed = render();
    EXPECT_LT(qAlpha(pressed.pixel(720, 462)), 200);
    const QColor line = pressed.pixelColor(720, 200);
    EXPECT_GT(line.redF(), line.blueF());

    sim->simEventMonitors().setPressedMouseButtons(0);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(720, 462));
    EXPECT_FALSE(EdgeDragSession::shared().isActive);
}

// Counts the paintings of the widget it watches, and the area they cover.
struct PaintCounter : QObject {
    int paints = 0;
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        ++paints;
        painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

TEST_F(QtEdgeOverlayWindowTest, AHandleIsPaintedAgainOnlyWhenWhatItShowsChanges) {
    PaintCounter counter;
    window()->installEventFilter(&counter);
    const auto paintsAfter = [&](const std::function<void()>& change) {
        QCoreApplication::processEvents();
        counter.paints = 0;
        counter.painted = QRegion();
        change();
        QCoreApplication::processEvents();
        return counter.paints;
    };
    const Uuid id = kest.edgeGroups[0].id;
    EdgeOverlayManager& manager = EdgeOverlayManager::shared();
    EdgeDragSession& drag = EdgeDragSession::shared();
    EXPECT_GT(paintsAfter([&] {
        manager.updateProximity(EdgeProximityTracker::Hit{id, Axis::vertical, 2, 720});
        sim->virtualTime().advance(0.1);
    }),
              0);
    // The handle is painted, not the whole display the window covers.
    EXPECT_LT(counter.painted.boundingRect().width(), 100) << counter.painted.boundingRect().width();
    // The pointer moving across the edge changes the distance, not the handle.
    EXPECT_EQ(paintsAfter([&] {
        for (double d : {3.0, 1.0, 0.0}) manager.updateProximity(EdgeProximityTracker::Hit{id, Axis::vertical, d, 720});
    }),
              0);
    sim->simEventMonitors().setPressedMouseButtons(1);
    QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(720, 462));
    ASSERT_TRUE(drag.isActive);
    drag.update(725);
    sim->virtualTime().advance(1);
    // Drag updates that leave the edge where it stands, and one that moves it.
    EXPECT_EQ(paintsAfter([&] {
        for (int i = 0; i < 3; ++i) drag.update(725);
    }),
              0);
    EXPECT_GT(paintsAfter([&] { drag.update(730); }), 0);
    sim->simEventMonitors().setPressedMouseButtons(0);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(730, 462));
}

}  // namespace
}  // namespace kestr::test
