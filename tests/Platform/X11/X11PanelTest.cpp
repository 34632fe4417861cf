// The panel on the private display: a pop-up under the status button, within the
// display, holding the pointer and the keyboard while it shows (so the window manager's
// Alt-drag and the hot keys wait, as under any open menu), closed by a click elsewhere.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <QToolTip>
#include <cmath>
#include <cstring>

#include "UI/DragSnap/SnapZoneOverlayWindow.h"
#include "UI/Panel/KestPanelController.h"
#include "UI/Panel/KeyablePanel.h"
#include "UI/Shell/MessageBoxAlerts.h"
#include "UI/Shell/SaveDialog.h"
#include "UI/Shell/ToastPresenter.h"
#include "UI/NativeWindow.h"
#include "UI/Shell/WindowStatusItem.h"
#include "Window/DisplayManager.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/QtOnSession.h"
#include "Platform/X11/Support/XReads.h"

namespace kestr::x11test {
namespace {

class X11PanelTest : public BackendTest {
protected:
    // As in the program: the toasts' timers and Qt's events on one loop.
    X11PanelTest() { onQtLoop = true; }
    void SetUp() override {
        BackendTest::SetUp();
        ensureQtApplication(session());
    }
    bool pointerHeld() { return x11test::pointerHeld(connection(), session().root()); }
    bool keyboardHeld() { return x11test::keyboardHeld(connection(), session().root()); }
    void click(int x, int y) { fakeClick(connection(), session().root(), x, y); }
    static void showButton(WindowStatusItem& item) {
        QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::red);
        picture.setDevicePixelRatio(2);
        item.setImage({picture, false, "test"}, 0);
    }
    // The colour on the screen at that point.
    std::uint32_t pixel(int x, int y) {
        auto* r = xcb_get_image_reply(
            connection(), xcb_get_image(connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, session().root(), x, y, 1, 1, ~0u),
            nullptr);
        std::uint32_t value = 0;
        if (r && xcb_get_image_data_length(r) >= 4) std::memcpy(&value, xcb_get_image_data(r), 4);
        std::free(r);
        return value & 0xFFFFFF;
    }
};

TEST_F(X11PanelTest, ThePanelIsAPopUpUnderTheButtonHoldingPointerAndKeysUntilAClickElsewhere) {
    const Rect button(1800, 0, 24, 22);
    KestPanelController panel({});
    panel.show([button] { return std::optional<Rect>(button); }, true, {}, {});
    ASSERT_TRUE(pumpQtUntil([&] { return pointerHeld() && keyboardHeld(); })) << "the panel grabbed nothing";
    const QRect frame = panel.panel()->geometry();
    EXPECT_GE(frame.top(), button.maxY()) << "the panel covers the status button";
    EXPECT_LE(frame.bottom(), session().height());

    click(300, 700);
    EXPECT_TRUE(pumpQtUntil([&] { return !panel.isVisible(); }));
    EXPECT_TRUE(pumpQtUntil([&] { return !pointerHeld() && !keyboardHeld(); })) << "a grab outlived the panel";
}

// Without a compositing manager transparent pixels show black, so the rounded windows
// are cut to their outlines instead: at a corner the window below shows.
TEST_F(X11PanelTest, WithoutACompositingManagerThePanelAndTheToastShowTheWindowBelowAtTheirCorners) {
    ASSERT_FALSE(x11().capabilities().compositingManager);
    constexpr std::uint32_t below = 0x336699;
    const xcb_window_t backdrop = xcb_generate_id(connection());
    const std::uint32_t values[] = {below, 1};
    xcb_create_window(connection(), XCB_COPY_FROM_PARENT, backdrop, session().root(), 0, 0, session().width(),
                      session().height(), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    // At the bottom, under the window manager's windows (the toast is one of them).
    const std::uint32_t bottom = XCB_STACK_MODE_BELOW;
    xcb_configure_window(connection(), backdrop, XCB_CONFIG_WINDOW_STACK_MODE, &bottom);
    xcb_map_window(connection(), backdrop);
    ASSERT_TRUE(waitUntil([&] { return pixel(10, 10) == below; }));

    KestPanelController panel({});
    // The panel hangs at the left, clear of the toast in the middle.
    panel.show([] { return std::optional<Rect>(Rect(300, 0, 24, 22)); }, true, {}, {});
    ToastPresenter::shared().show("Saved", ToastFeel::plain, 60);
    for (QWidget* window : {static_cast<QWidget*>(panel.panel()), ToastPresenter::shared().panel()}) {
        ASSERT_NE(window, nullptr);
        const QRect frame = window->geometry();
        ASSERT_TRUE(pumpQtUntil([&] { return pixel(frame.center().x(), frame.center().y()) != below; }))
            << "the window never showed";
        EXPECT_EQ(pixel(frame.left(), frame.top()), below);
        EXPECT_EQ(pixel(frame.right(), frame.bottom()), below);
        // Inside the outline, by the corner: the window's own colour.
        EXPECT_NE(pixel(frame.left() + 8, frame.top() + 8), below);
    }
    xcb_destroy_window(connection(), backdrop);
    xcb_flush(connection());
}

// Without a system tray the status button is a window of its own, above the others:
// switching desktops must not take it (and with it the panel and the menu) away, nor an
// alert that waits for an answer, nor a toast, and a maximised window stays below the button rather
// than with its title-bar buttons under it. xfwm4 reads the desktop "all" as a desktop
// number and keeps windows that move a few pixels off the screen's edge: the button, a
// panel, stays where it asked to, and the strip it keeps stays the one it said at first.
class X11StatusButtonTest : public X11PanelTest, public testing::WithParamInterface<WindowManager> {};

TEST_P(X11StatusButtonTest, ItAnOpenAlertAndAToastShowOnEveryDesktopAndMaximisedWindowsStayBelowIt) {
    ASSERT_NO_THROW(session().startWindowManager(GetParam()));
    WindowStatusItem item;
    int told = 0;
    item.onKeptStripChange = [&told] { ++told; };
    // Known before the button shows, for the kests tidied at start-up: the strip it asks for.
    const double asked = item.keptTopStrip();
    EXPECT_EQ(asked, StatusItem::buttonHeight);
    showButton(item);
    const auto button = static_cast<xcb_window_t>(item.window().winId());
    ASSERT_TRUE(pumpQtUntil([&] { return isViewable(connection(), button); }));
    // Pictures of other widths: requests to move the button.
    for (const int pictureWidth : {60, 40}) {
        QImage picture(pictureWidth, 30, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::blue);
        picture.setDevicePixelRatio(2);
        item.setImage({picture, false, "other"}, 0);
        const int width = static_cast<int>(std::ceil(item.drawnSize().width()));
        EXPECT_TRUE(settle([&] {
            const auto frame = frameOf(connection(), button);
            const double kept = item.keptTopStrip();
            const auto strut = property32(connection(), button, "_NET_WM_STRUT_PARTIAL");
            return frame && frame->width == width && kept == frame->y + frame->height && strut &&
                   strut->size() == 12 && (*strut)[2] == kept && (*strut)[8] == std::uint32_t(frame->x) &&
                   DisplayManager::visibleAreaLocal(x11().displays().mainDisplayID()).minY() == kept;
        })) << "the strip is not the one under the button " << pictureWidth / 2 << " wide";
    }
    // The kests were tidied and applied for that strip: their windows stay clear of the button.
    EXPECT_EQ(item.keptTopStrip(), asked);
    EXPECT_EQ(told, 0);

    auto switchTo = [&](std::uint32_t desktop) {
        x11().connection().sendRootMessage(x11().connection().root(), atom(connection(), "_NET_CURRENT_DESKTOP"),
                                           desktop, XCB_CURRENT_TIME);
        x11().connection().flush();
        return waitUntil([&] {
            auto current = property32(connection(), session().root(), "_NET_CURRENT_DESKTOP");
            return current && current->front() == desktop;
        });
    };
    const auto alert = MessageBoxAlerts::makeBox({AlertStyle::warning, "“Notes” couldn't be placed", "", {"OK"}, {}});
    alert->show();
    const auto alertWindow = static_cast<xcb_window_t>(alert->winId());
    ASSERT_TRUE(pumpQtUntil([&] { return isViewable(connection(), alertWindow); }));
    ToastPresenter::shared().show("“Notes” wasn't applied: first answer kestr's alert.", ToastFeel::plain, 60);
    const auto toast = static_cast<xcb_window_t>(ToastPresenter::shared().panel()->winId());
    ASSERT_TRUE(pumpQtUntil([&] { return isViewable(connection(), toast); }));
    // Hidden once the window manager has left the first desktop.
    const xcb_window_t left = openFramed({});
    for (std::uint32_t desktop : {1u, 2u, 3u}) {
        ASSERT_TRUE(switchTo(desktop));
        ASSERT_TRUE(waitUntil([&] { return !isViewable(connection(), left); }));
        EXPECT_TRUE(isViewable(connection(), button)) << "the button stayed behind, away from desktop " << desktop;
        EXPECT_TRUE(isViewable(connection(), alertWindow)) << "the alert stayed behind, away from desktop " << desktop;
        EXPECT_TRUE(isViewable(connection(), toast)) << "the toast stayed behind, away from desktop " << desktop;
    }
    alert->hide();
    ToastPresenter::shared().panel()->hide();
    ASSERT_TRUE(switchTo(1));
    const xcb_window_t w = openFramed({});
    auto& e = x11().connection().ewmh();
    x11().connection().sendRootMessage(w, e._NET_WM_STATE, XCB_EWMH_WM_STATE_ADD, e._NET_WM_STATE_MAXIMIZED_VERT,
                                       e._NET_WM_STATE_MAXIMIZED_HORZ, 2);
    x11().connection().flush();
    ASSERT_TRUE(waitUntil([&] {
        const auto frame = frameOf(connection(), w);
        // Across the screen and down to its bottom, whatever the top.
        return frame && frame->x == 0 && frame->width == session().width() &&
               frame->y + frame->height == session().height();
    })) << "the window was not maximised";
    EXPECT_GT(frameOf(connection(), w)->y, item.buttonFrame()->bottom()) << "its title bar is under the button";
    ASSERT_TRUE(switchTo(0));
}

// A top panel of a desktop without a tray (a taskbar and a clock) stays in view: the
// button stands below it, and beside a panel at the right, at the top right of the room
// the panels leave. Its strip reaches from the screen's edge down to its bottom, as it
// said before it showed, and it follows the panels' strips without counting its own
// (which would push it down).
TEST_P(X11StatusButtonTest, ItStandsInTheRoomThePanelsLeaveAndFollowsTheirStrips) {
    ASSERT_NO_THROW(session().startWindowManager(GetParam()));
    ClientOptions options;
    options.type = "dock";
    options.strutTop = 27;
    options.geometry = ClientGeometry{0, 0, session().width(), 27};
    const xcb_window_t panel = spawn(options).window();
    const DisplayID main = x11().displays().mainDisplayID();
    ASSERT_TRUE(settle([&] { return DisplayManager::visibleAreaLocal(main).minY() == 27; }));
    WindowStatusItem item;
    EXPECT_EQ(item.keptTopStrip(), 27 + StatusItem::buttonHeight);
    int told = 0;
    item.onKeptStripChange = [&told] { ++told; };
    // As the program does: once the strips heard together are taken in.
    const auto following = std::make_shared<WindowStatusItem*>(&item);
    x11().model().addStripObserver([this, following] {
        x11().mainActor().post([following] {
            if (*following) (*following)->followMainDisplay();
        });
    });
    showButton(item);
    const auto button = static_cast<xcb_window_t>(item.window().winId());
    struct Panels {
        std::uint32_t top, right;
    };
    for (const Panels& p : {Panels{27, 0}, Panels{0, 0}, Panels{30, 40}}) {
        // left, right, top, bottom, then the start and end of each along its edge.
        const auto height = std::uint32_t(session().height()), width = std::uint32_t(session().width());
        const std::uint32_t strut[] = {0, p.right, p.top, 0, 0, 0, 0, height - 1, 0, width - 1, 0, 0};
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, panel, atom(connection(), "_NET_WM_STRUT_PARTIAL"),
                            XCB_ATOM_CARDINAL, 32, 12, strut);
        xcb_flush(connection());
        const double right = width - p.right;
        EXPECT_TRUE(settle([&] {
            const auto frame = frameOf(connection(), button);
            const auto kept = property32(connection(), button, "_NET_WM_STRUT_PARTIAL");
            const auto room = platform().nativeWindows().roomBeside(*nativeWindow(item.window()), main);
            const Rect visible = DisplayManager::visibleAreaLocal(main);
            return frame && frame->x + frame->width == right && frame->y == int(p.top) && room && room->minY() == p.top &&
                   room->maxX() == right && item.keptTopStrip() == p.top + frame->height && kept &&
                   kept->size() == 12 && (*kept)[2] == item.keptTopStrip() && (*kept)[8] == std::uint32_t(frame->x) &&
                   visible.minY() == item.keptTopStrip() && visible.maxX() == right;
        })) << "panels " << p.top << " high at the top and " << p.right << " wide at the right; the button stands at "
            << item.buttonFrame()->x() << "," << item.buttonFrame()->y() << ", keeps " << item.keptTopStrip();
        // The kests were tidied at start-up for the strip it said.
        if (p.right == 0 && p.top == 27) {
            EXPECT_EQ(told, 0) << "the strip is not the one said at first";
        }
        told = 0;
    }
    // Told of a place the window manager does not keep it at, as the toolkit may read one
    // while a window manager is taking the window in, the button asks again: the window
    // manager's answer brings it back, and the strip never left it.
    QWindow* handle = item.window().windowHandle();
    int reports = 0;
    QObject::connect(handle, &QWindow::xChanged, handle, [&reports] { ++reports; });
    xcb_configure_notify_event_t stale{};
    stale.response_type = XCB_CONFIGURE_NOTIFY;
    stale.event = stale.window = button;
    stale.width = std::uint16_t(handle->width());
    stale.height = std::uint16_t(handle->height());
    xcb_send_event(connection(), 0, button, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&stale));
    xcb_flush(connection());
    EXPECT_TRUE(pumpQtUntil([&] { return reports >= 2; })) << "no answer brought the button back";
    EXPECT_EQ(handle->x(), frameOf(connection(), button)->x);
    EXPECT_EQ(item.keptTopStrip(), 30 + handle->height());
    EXPECT_EQ(told, 0) << "the strip followed a place the button never stood at";
    *following = nullptr;
}

// An apply dropped while an alert waits brings the alert in front of the windows that
// covered it, as the toast asks the user to answer it.
TEST_P(X11StatusButtonTest, AWaitingAlertComesInFrontWhenAskedTo) {
    ASSERT_NO_THROW(session().startWindowManager(GetParam()));
    MessageBoxAlerts alerts;
    bool cameForward = false;
    QTimer::singleShot(0, [&] {
        auto* box = static_cast<QMessageBox*>(QApplication::activeModalWidget());
        const auto alert = static_cast<xcb_window_t>(box->winId());
        const auto topmost = [&](xcb_window_t w) {
            const auto stacking = property32(connection(), session().root(), "_NET_CLIENT_LIST_STACKING");
            return stacking && !stacking->empty() && stacking->back() == w;
        };
        // Another program's window, activated as a click on it would.
        const xcb_window_t above = openFramed({});
        if (pumpQtUntil([&] { return isViewable(connection(), alert); })) {
            x11().connection().sendRootMessage(above, x11().connection().ewmh()._NET_ACTIVE_WINDOW, 2,
                                               XCB_CURRENT_TIME);
            // Answered once the server has passed the request on: the window manager
            // hears it before the alert's requests, which come on another connection.
            // The window is in front already, as a new window, so its place tells nothing.
            xcb_connection_t* backend = x11().connection().raw();
            std::free(xcb_get_input_focus_reply(backend, xcb_get_input_focus(backend), nullptr));
            if (pumpQtUntil([&] { return topmost(above); })) {
                alerts.bringOpenAlertForward();
                cameForward = pumpQtUntil([&] { return topmost(alert); });
            }
        }
        box->done(0);
    });
    alerts.runModal({AlertStyle::informational, "“Notes” couldn't be placed", "", {"OK"}, {}});
    EXPECT_TRUE(cameForward);
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, X11StatusButtonTest,
                         testing::Values(WindowManager::openbox, WindowManager::xfwm4),
                         [](const auto& manager) { return std::string(nameOf(manager.param)); });

// A changed monitor layout takes the button, and the strip it keeps free, to the right end
// of the main display as it is now, never left behind where a monitor was.
TEST_F(X11PanelTest, TheStatusButtonWindowFollowsTheMainDisplayWhenTheMonitorsChange) {
    WindowStatusItem item;
    showButton(item);
    WindowStatusItem* following = &item;
    x11().x11Displays().addChangeObserver([&following] {
        if (following) following->followMainDisplay();
    });
    ASSERT_EQ(item.buttonFrame()->right(), session().width() - 1);

    session().addMonitor("LEFT", 0, 0, 1920, 1080, true);
    session().addMonitor("RIGHT", 1920, 0, 1920, 1080);
    x11().x11Displays().refresh();
    EXPECT_EQ(item.buttonFrame()->right(), 1919);
    const auto button = static_cast<xcb_window_t>(item.window().winId());
    EXPECT_TRUE(pumpQtUntil([&] {
        const auto strut = property32(connection(), button, "_NET_WM_STRUT_PARTIAL");
        return strut && strut->size() == 12 && (*strut)[9] == 1919;
    })) << "the strip stayed at the old place";
    following = nullptr;
}

// The button never takes the focus, so it is never the active window, which is what Qt
// waits for before it shows a tooltip: a pointer resting on it must show it all the same.
TEST_F(X11PanelTest, ThePointerRestingOnTheStatusButtonWindowShowsItsTooltip) {
    WindowStatusItem item;
    showButton(item);
    const QString tip = QString::fromUtf8("kestr — QuickTile may override its shortcuts. Click to manage.");
    item.setToolTip(tip);
    ASSERT_TRUE(pumpQtUntil([&] { return isViewable(connection(), static_cast<xcb_window_t>(item.window().winId())); }));
    const QPoint centre = item.buttonFrame()->center();
    const auto pointTo = [&](int x, int y, bool onButton) {
        fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, x, y);
        return pumpQtUntil([&] { return item.window().underMouse() == onButton; });
    };
    // Qt drops a motion to the point where it last saw the pointer, where an earlier case
    // may have left it: the pointer crosses the button once at another point, and Qt has
    // seen that motion once it has seen the pointer leave.
    pointTo(300, 700, false);
    ASSERT_TRUE(pointTo(centre.x() - 3, centre.y(), true));
    ASSERT_TRUE(pointTo(300, 700, false));
    ASSERT_TRUE(pointTo(centre.x(), centre.y(), true));
    EXPECT_TRUE(pumpQtUntil([] { return QToolTip::isVisible(); })) << "no tooltip";
    EXPECT_EQ(QToolTip::text(), tip);
    fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, 300, 700);
    QToolTip::hideText();
    EXPECT_TRUE(pumpQtUntil([] { return !QToolTip::isVisible(); })) << "the tooltip outlived the case";
}

// Only the manager and the onboarding are windows a person switches to: the others (the
// save dialog too, which opens over what is being saved and closes with it) ask
// the taskbars and pagers to leave them out, each time they show (a window manager forgets
// the states of a window it no longer shows).
TEST_F(X11PanelTest, KestrsSmallWindowsStayOutOfTaskbarsAndPagers) {
    const auto leftOut = [&](QWidget* window) {
        const auto id = static_cast<xcb_window_t>(window->winId());
        return pumpQtUntil([&] {
            return isViewable(connection(), id) && hasState(connection(), id, "_NET_WM_STATE_SKIP_TASKBAR") &&
                   hasState(connection(), id, "_NET_WM_STATE_SKIP_PAGER");
        });
    };
    ToastPresenter& toasts = ToastPresenter::shared();
    toasts.show("Saved", ToastFeel::plain, 0.05);
    EXPECT_TRUE(leftOut(toasts.panel())) << "the toast";
    ASSERT_TRUE(pumpQtUntil([&] { return !toasts.panel()->isVisible(); }));
    toasts.show("Saved again", ToastFeel::plain, 60);
    EXPECT_TRUE(leftOut(toasts.panel())) << "the toast, shown again";
    // Hidden and shown again before the window manager hears of the hiding: it forgets the
    // states when it does, after they were asked for again.
    const auto toast = static_cast<xcb_window_t>(toasts.panel()->winId());
    session().pauseWindowManager();
    toasts.panel()->hide();
    ASSERT_TRUE(pumpQtUntil([&] { return !isViewable(connection(), toast); }));
    toasts.show("Saved once more", ToastFeel::plain, 60);
    ASSERT_TRUE(pumpQtUntil([&] { return hasState(connection(), toast, "_NET_WM_STATE_SKIP_PAGER"); }));
    session().resumeWindowManager();
    EXPECT_TRUE(leftOut(toasts.panel())) << "the toast, hidden and shown at once";

    WindowStatusItem item;
    showButton(item);
    EXPECT_TRUE(leftOut(&item.window())) << "the status button";
    KestPanelController panel({});
    panel.show([] { return std::optional<Rect>(Rect(300, 0, 24, 22)); }, true, {}, {});
    EXPECT_TRUE(leftOut(panel.panel())) << "the panel";
    panel.hide();
    SnapZoneOverlayWindow zones(Rect(0, 0, session().width(), session().height()));
    zones.redraw({Rect(10, 10, 400, 300)}, 0);
    zones.orderFront();
    EXPECT_TRUE(leftOut(&zones)) << "the zone outlines";
    zones.orderOut();
    SaveDialog dialog({});
    dialog.show();
    EXPECT_TRUE(leftOut(&dialog)) << "the save dialog";
    dialog.hide();
}

}  // namespace
}  // namespace kestr::x11test
