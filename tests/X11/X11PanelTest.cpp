// The panel on the private display: a pop-up under the status button, within the
// display, holding the pointer and the keyboard while it shows (so the window manager's
// Alt-drag and the hot keys wait, as under any open menu), closed by a click elsewhere.
#include <gtest/gtest.h>

#include "UI/Panel/KestPanelController.h"
#include "UI/Panel/KeyablePanel.h"
#include "X11/Support/BackendTest.h"
#include "X11/Support/FakeInput.h"
#include "X11/Support/QtOnSession.h"

namespace kestr::x11test {
namespace {

class X11PanelTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        ensureQtApplication(session());
    }
    // Whether another client holds the grab; ours, when it succeeds, is given up at
    // once.
    bool pointerHeld() {
        auto* r = xcb_grab_pointer_reply(connection(),
                                         xcb_grab_pointer(connection(), 0, session().root(), 0, XCB_GRAB_MODE_ASYNC,
                                                          XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                                         nullptr);
        const int status = r ? r->status : -1;
        std::free(r);
        if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_pointer(connection(), XCB_CURRENT_TIME);
        xcb_flush(connection());
        return status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    }
    bool keyboardHeld() {
        auto* r = xcb_grab_keyboard_reply(connection(),
                                          xcb_grab_keyboard(connection(), 0, session().root(), XCB_CURRENT_TIME,
                                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                          nullptr);
        const int status = r ? r->status : -1;
        std::free(r);
        if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_keyboard(connection(), XCB_CURRENT_TIME);
        xcb_flush(connection());
        return status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    }
    void click(int x, int y) { fakeClick(connection(), session().root(), x, y); }
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

}  // namespace
}  // namespace kestr::x11test
