// The overlays kestr draws over other windows, shown through Qt on the private display
// with and without a compositing manager: outside the handle the screen is unchanged and
// every click reaches the window below, even while the handle takes the mouse.
#include <gtest/gtest.h>
#include <xcb/shape.h>

#include "EdgeResize/EdgeOverlay.h"
#include "UI/EdgeResize/QtEdgeOverlayWindow.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/QtOnSession.h"

namespace kestr::x11test {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;

class X11OverlayTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        ensureQtApplication(session());
    }
    std::vector<std::uint8_t> screen() {
        auto* r = xcb_get_image_reply(
            connection(),
            xcb_get_image(connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, session().root(), 0, 0, kWidth, kHeight, ~0u),
            nullptr);
        if (!r) return {};
        std::vector<std::uint8_t> bytes(xcb_get_image_data(r), xcb_get_image_data(r) + xcb_get_image_data_length(r));
        std::free(r);
        return bytes;
    }
    // The window's bounding shape, in root coordinates.
    std::vector<XRect> shapeOf(xcb_window_t window, XRect at) {
        std::vector<XRect> out;
        auto* r = xcb_shape_get_rectangles_reply(
            connection(), xcb_shape_get_rectangles(connection(), window, XCB_SHAPE_SK_BOUNDING), nullptr);
        if (!r) return out;
        const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(r);
        for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(r); ++i) {
            out.push_back(XRect{at.x + rects[i].x, at.y + rects[i].y, rects[i].width, rects[i].height});
        }
        std::free(r);
        return out;
    }
    void expectOnlyTheHandleShowsAndTakesClicks();
    // A pixel of a 24-bit Z-pixmap of the screen, as 0xRRGGBB.
    static std::uint32_t pixel(const std::vector<std::uint8_t>& screen, int x, int y) {
        const std::size_t at = (std::size_t(y) * kWidth + x) * 4;
        if (at + 3 >= screen.size()) return 0;
        return screen[at] | screen[at + 1] << 8 | std::uint32_t(screen[at + 2]) << 16;
    }
    void sync() { std::free(xcb_get_input_focus_reply(connection(), xcb_get_input_focus(connection()), nullptr)); }
    void click(int x, int y) { fakeClick(connection(), session().root(), x, y); }
};

// Shows an edge handle over a window: outside the handle the screen must look as before
// and a click must reach the window.
void X11OverlayTest::expectOnlyTheHandleShowsAndTakesClicks() {
    // The window below, over the whole display: unmanaged, so that nothing but the overlay
    // stands between it and the pointer.
    const xcb_window_t below = xcb_generate_id(connection());
    const std::uint32_t values[] = {0x336699, 1, XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(connection(), XCB_COPY_FROM_PARENT, below, session().root(), 0, 0, kWidth, kHeight, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    xcb_map_window(connection(), below);
    // A compositing manager paints it a moment after it maps.
    std::vector<std::uint8_t> before;
    ASSERT_TRUE(waitUntil([&] {
        before = screen();
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (pixel(before, x, y) != 0x336699) return false;
            }
        }
        return true;
    }));

    EdgeGroup group;
    group.id = Uuid::random();
    group.coordinate = 600;
    group.spanStart = 150;
    group.spanEnd = 750;
    QtEdgeOverlayPresenter presenter;
    EdgeOverlay overlay("display", {group}, Rect(0, 0, kWidth, kHeight), &presenter);
    overlay.setActiveGroup(group.id);
    overlay.orderFrontRegardless();
    // The handle takes the mouse, as it does while the pointer is on it.
    overlay.setIgnoresMouseEvents(false);
    // It fades in on the loop's timers; only a compositing manager shows the fade.
    ASSERT_TRUE(runUntil([&] { return overlay.alphaValue() >= 1; }));
    std::vector<XRect> shape;
    ASSERT_TRUE(pumpQtUntil([&] {
        sync();
        return screen() != before;
    })) << "the handle never showed";
    const auto after = screen();

    // The shaped window is the one kestr window mapped on the root.
    xcb_window_t overlayWindow = XCB_NONE;
    auto* tree = xcb_query_tree_reply(connection(), xcb_query_tree(connection(), session().root()), nullptr);
    ASSERT_NE(tree, nullptr);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t w = xcb_query_tree_children(tree)[i];
        const auto geometry = clientGeometry(connection(), w);
        if (w != below && isViewable(connection(), w) && geometry && geometry->width == kWidth &&
            geometry->height == kHeight) {
            overlayWindow = w;
        }
    }
    std::free(tree);
    ASSERT_NE(overlayWindow, XCB_NONE);
    shape = shapeOf(overlayWindow, XRect{0, 0, kWidth, kHeight});
    ASSERT_FALSE(shape.empty());
    long shapeArea = 0;
    for (const XRect& r : shape) shapeArea += long(r.width) * r.height;
    EXPECT_LT(shapeArea, kWidth * kHeight / 100) << "the overlay shows far more than a handle";

    const auto inShape = [&](int x, int y) {
        for (const XRect& r : shape) {
            if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) return true;
        }
        return false;
    };
    long changedOutside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) changedOutside += !inShape(x, y) && pixel(after, x, y) != 0x336699;
    }
    EXPECT_EQ(changedOutside, 0);

    // Beside the handle, on the client window.
    click(400, 400);
    bool pressed = false;
    EXPECT_TRUE(x11test::waitUntil(
        connection(), [&] { return pressed; }, kDeadlineSeconds,
        [&](const xcb_generic_event_t& e) {
            if ((e.response_type & 0x7F) == XCB_BUTTON_PRESS &&
                reinterpret_cast<const xcb_button_press_event_t&>(e).event == below) {
                pressed = true;
            }
        }))
        << "the click never reached the window below the overlay";
    overlay.orderOut();
    xcb_destroy_window(connection(), below);
    sync();
}

TEST_F(X11OverlayTest, OutsideTheEdgeHandleTheScreenIsUnchangedAndClicksReachTheWindowBelow) {
    EXPECT_FALSE(x11().capabilities().compositingManager);
    expectOnlyTheHandleShowsAndTakesClicks();
}

TEST_F(X11OverlayTest, UnderACompositingManagerTooOnlyTheHandleShowsAndTakesClicks) {
    session().startCompositingManager();  // throws, saying why, when it cannot
    ASSERT_TRUE(settle([&] { return x11().capabilities().compositingManager; }));
    expectOnlyTheHandleShowsAndTakesClicks();
    session().stopCompositingManager();
}

TEST_F(X11OverlayTest, ACompositingManagerIsKnownByItsSelection) {
    const xcb_window_t owner = xcb_generate_id(connection());
    xcb_create_window(connection(), XCB_COPY_FROM_PARENT, owner, session().root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(connection(), owner, atom(connection(), "_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    xcb_flush(connection());
    // The backend hears of the new owner, and of its end, as X events.
    EXPECT_TRUE(settle([&] { return x11().capabilities().compositingManager; }));
    xcb_destroy_window(connection(), owner);
    xcb_flush(connection());
    EXPECT_TRUE(settle([&] { return !x11().capabilities().compositingManager; }));
}

}  // namespace
}  // namespace kestr::x11test
