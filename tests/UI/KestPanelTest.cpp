#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "Core/HotkeyManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "PanelTestSupport.h"
#include "UI/Panel/KestPanelController.h"
#include "UI/Panel/KeyablePanel.h"
#include "UI/Panel/PanelActionRowView.h"
#include "UI/Panel/PanelTabs.h"

namespace kestr {
namespace {

using Mode = KestPanelContentView::Mode;

class KestPanelTest : public test::PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
        actions.applyReuse = [this](const Uuid& id) { calls.push_back("reuse " + name(id)); };
        actions.applyFresh = [this](const Uuid& id) { calls.push_back("fresh " + name(id)); };
        actions.applySnap = [this](SnapAction a) { calls.push_back("snap " + a.rawValue()); };
        actions.saveCurrent = [this] { calls.push_back("save"); };
        actions.manage = [this] { calls.push_back("manage"); };
        actions.requestPermission = [this] { calls.push_back("permission"); };
        actions.releaseKest = [this] {
            calls.push_back("release");
            EdgeProximityTracker::shared().releaseActiveKest();
        };
        controller = std::make_unique<KestPanelController>(actions);
        controller->terminate = [this] { calls.push_back("quit"); };
    }
    void TearDown() override {
        controller.reset();
        PanelTest::TearDown();
    }

    std::string name(const Uuid& id) const {
        for (const Layout& k : kests)
            if (k.id == id) return k.name;
        return "?";
    }

    void addKests() {
        kests = {kest("Work", {item("com.apple.Terminal", withDisplay(frameOn(1, 0, 0, 720, 875), 1440, 875)),
                               item("com.google.Chrome", withDisplay(frameOn(1, 720, 0, 720, 875), 1440, 875))}),
                 kest("Empty", {}),
                 kest("Read", {item("com.apple.Notes", withDisplay(frameOn(1, 100, 100, 600, 600), 1440, 875))})};
        firstHotkey = "⌃⌥⌘1";
    }

    void show(bool trusted = true, Rect button = Rect(700, 0, 24, 24)) {
        std::vector<KestRowView::Model> rows;
        for (std::size_t i = 0; i < kests.size(); ++i) rows.emplace_back(kests, i, i == 0 ? firstHotkey : std::nullopt);
        controller->show([button] { return std::optional<Rect>(button); }, trusted, rows, cells);
    }

    // The first label, button or action row whose text is `text`, on the current page.
    template <class W>
    W* find(const QString& text) {
        for (QWidget* child : controller->content()->page()->findChildren<QWidget*>()) {
            // Our views declare no meta-object of their own, so the cast is a C++ one.
            W* w = dynamic_cast<W*>(child);
            if (!w) continue;
            if constexpr (std::is_same_v<W, PanelActionRowView>) {
                if (w->titleText() == text) return w;
            } else if (w->text() == text) {
                return w;
            }
        }
        return nullptr;
    }

    KestPanelController::Actions actions;
    std::unique_ptr<KestPanelController> controller;
    std::vector<Layout> kests;
    std::optional<std::string> firstHotkey;
    std::vector<SnapCellView::Model> cells;
    std::vector<std::string> calls;
};

TEST_F(KestPanelTest, BannersForMissingPermissionAndConflictingManagers) {
    const auto rectangle = addApp("com.knollsoft.Rectangle", "Rectangle", {}).pid;
    show(false);
    ASSERT_TRUE(find<QLabel>("Accessibility required"));
    QPushButton* grant = find<QPushButton>("Grant");
    ASSERT_TRUE(grant);
    EXPECT_EQ(grant->geometry(), QRect(206, 17, 66, 24));
    QTest::mouseClick(grant, Qt::LeftButton);
    EXPECT_EQ(calls, std::vector<std::string>{"permission"});

    // One conflicting application: a 70-point banner below the permission banner and its
    // separator (6 + 46 + 8 + 1 + 8 = 69), its "Quit" button right-aligned at T + 34.
    ASSERT_TRUE(find<QLabel>("Rectangle"));
    QPushButton* quit = find<QPushButton>("Quit");
    ASSERT_TRUE(quit);
    EXPECT_EQ(quit->geometry().top(), 69 + 34);
    EXPECT_EQ(quit->geometry().right() + 1, 296 - 24);
    EXPECT_GE(quit->width(), 58);

    QTest::mouseClick(quit, Qt::LeftButton);
    sim->virtualTime().advance(0.4);
    EXPECT_TRUE(sim->world().process(rectangle)->terminated);
    EXPECT_TRUE(find<QLabel>("Rectangle")) << "the banner is rebuilt half a second later";
    sim->virtualTime().advance(0.2);
    EXPECT_FALSE(find<QLabel>("Rectangle"));

    show(true);
    EXPECT_FALSE(find<QLabel>("Accessibility required"));
    EXPECT_EQ(find<PanelActionRowView>("Save Kest")->geometry().top(), 6 + 2);
}

TEST_F(KestPanelTest, KestListMarksTheActiveKestAndItsReleaseRow) {
    addKests();
    EdgeProximityTracker::shared().setActiveLayout(kests[2]);
    show();
    auto& content = *controller->content();
    ASSERT_EQ(content.selectableCells.size(), 3u);
    const auto* work = static_cast<KestRowView*>(content.selectableCells[0]);
    const auto* empty = static_cast<KestRowView*>(content.selectableCells[1]);
    const auto* read = static_cast<KestRowView*>(content.selectableCells[2]);
    EXPECT_EQ(work->height(), 83);
    EXPECT_EQ(empty->height(), 52) << "a kest without display blocks gets the short row";
    EXPECT_EQ(empty->y(), work->y() + 83 + 1);
    EXPECT_EQ(read->y(), empty->y() + 52 + 1);
    EXPECT_FALSE(work->isActive());
    EXPECT_TRUE(read->isActive());
    EXPECT_EQ(read->accessibilityLabel().toStdString(), "Apply kest Read, active");
    EXPECT_EQ(work->accessibilityLabel().toStdString(), "Apply kest Work, shortcut ⌃⌥⌘1");

    PanelActionRowView* release = find<PanelActionRowView>(QString::fromUtf8("Release “\u2068Read\u2069”"));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->geometry().top(), 8);
    EXPECT_EQ(find<PanelActionRowView>("Save Kest")->geometry().top(), 6 + 2 + 36 + 1 + 6);
    QTest::mousePress(release, Qt::LeftButton);
    EXPECT_EQ(calls, std::vector<std::string>{"release"});
    EXPECT_FALSE(find<PanelActionRowView>(QString::fromUtf8("Release “\u2068Read\u2069”"))) << "rebuilt at once";
    EXPECT_FALSE(static_cast<KestRowView*>(content.selectableCells[2])->isActive());

    // A click applies with open windows; with Option, with fresh ones.
    QTest::mousePress(content.selectableCells[0], Qt::LeftButton);
    QTest::mousePress(content.selectableCells[0], Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(calls, (std::vector<std::string>{"release", "reuse Work", "fresh Work"}));

    QTest::mousePress(find<PanelActionRowView>(QString::fromUtf8("Preferences…")), Qt::LeftButton);
    QTest::mousePress(find<PanelActionRowView>("Quit kestr"), Qt::LeftButton);
    EXPECT_EQ(calls.back(), "quit");
    EXPECT_EQ(calls[calls.size() - 2], "manage");
}

// The release row of a kest with a long name ends in "…" within the row's margin.
TEST_F(KestPanelTest, ALongActionTitleStaysWithinTheRow) {
    PanelActionRowView row(QString::fromUtf8("Release “Coding with documentation and terminals side by side”"), "eject",
                           std::nullopt, [] {});
    row.resize(296, 36);
    QImage image(296, 36, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    row.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_TRUE(inked(image, QRect(44, 0, 100, 36)));
    EXPECT_FALSE(inked(image, QRect(296 - 16, 0, 16, 36)));
}

TEST_F(KestPanelTest, EmptyStateOffersToSaveAndNamesTheCaptureShortcut) {
    show();
    ASSERT_TRUE(find<QLabel>("No kests yet"));
    EXPECT_FALSE(find<QLabel>(QString::fromUtf8("or press ⌃⌥⌘↩")));
    EXPECT_FALSE(find<PanelActionRowView>("Save Kest")->hotkeyText());
    QTest::mouseClick(find<QPushButton>("Save current arrangement"), Qt::LeftButton);
    EXPECT_EQ(calls, std::vector<std::string>{"save"});

    HotkeyManager::shared().sync({}, {});
    const std::string capture = HotkeyManager::shared().captureHotkey()->displayString();
    controller->relayout();
    EXPECT_TRUE(find<QLabel>(QString::fromStdString("or press " + capture)));
    EXPECT_EQ(find<PanelActionRowView>("Save Kest")->accessibilityLabel().toStdString(),
              "Save Kest, shortcut " + capture);

    // A modifier of it that another program keeps: the shortcut would never arrive, so it
    // is offered nowhere and shown marked.
    sim->simHotKeys().heldModifiers = CarbonModifier::control;
    HotkeyManager::shared().sync({}, {});
    controller->relayout();
    EXPECT_FALSE(find<QLabel>(QString::fromStdString("or press " + capture)));
    EXPECT_EQ(find<PanelActionRowView>("Save Kest")->hotkeyText(), QString::fromStdString("\u26A0 " + capture));
}

TEST_F(KestPanelTest, SnapGridFollowsTheGroupsAndTabSwitchesLists) {
    addKests();
    // Five actions of the first group (two rows), one of the fourth, a duplicate that
    // loses to the first cell of its action.
    for (auto a : {SnapAction::centerHalf, SnapAction::leftHalf, SnapAction::rightHalf, SnapAction::topHalf,
                   SnapAction::bottomHalf, SnapAction::lastTwoThirds})
        cells.push_back({a, std::string("k")});
    cells.push_back({SnapAction::leftHalf, std::string("dup")});
    show();
    EXPECT_TRUE(controller->handleKeyDown(Qt::Key_Tab, Qt::NoModifier));
    EXPECT_EQ(controller->mode, Mode::snaps);
    EXPECT_EQ(controller->tabs()->selectedSegment(), 1);
    auto& content = *controller->content();
    ASSERT_EQ(content.selectableCells.size(), 6u);
    auto* first = static_cast<SnapCellView*>(content.selectableCells[0]);
    auto* fifth = static_cast<SnapCellView*>(content.selectableCells[4]);
    auto* last = static_cast<SnapCellView*>(content.selectableCells[5]);
    EXPECT_EQ(first->model().action, SnapAction::leftHalf);
    EXPECT_EQ(first->model().hotkey, "k");
    EXPECT_EQ(first->x(), 16);
    EXPECT_EQ(fifth->model().action, SnapAction::centerHalf);
    EXPECT_EQ(fifth->y(), first->y() + 66 + 10);
    EXPECT_EQ(last->y(), fifth->y() + 66 + 11 + 1 + 11);
    EXPECT_EQ(first->toolTip().toStdString(), SnapAction(SnapAction::leftHalf).displayName());
    QTest::mousePress(last, Qt::LeftButton);
    EXPECT_EQ(calls, std::vector<std::string>{"snap " + SnapAction(SnapAction::lastTwoThirds).rawValue()});

    // Shift-Tab and a click on the other segment switch back and forth too.
    EXPECT_TRUE(controller->handleKeyDown(Qt::Key_Backtab, Qt::ShiftModifier));
    EXPECT_EQ(controller->mode, Mode::kests);
    controller->tabs()->clickSegment(1);
    EXPECT_EQ(controller->mode, Mode::snaps);

    cells.clear();
    show();
    EXPECT_TRUE(find<QLabel>("No snap shortcuts"));
    EXPECT_TRUE(content.selectableCells.empty());
}

TEST_F(KestPanelTest, RowsCellsAndActionRowsAreLeftClickButtonsToEveryone) {
    addKests();
    cells = {{SnapAction::leftHalf, std::string("k")}};
    show();
    auto& content = *controller->content();
    QWidget* work = content.selectableCells[0];
    PanelActionRowView* quit = find<PanelActionRowView>("Quit kestr");
    // Other buttons than the left one do nothing.
    for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(work, other);
        QTest::mousePress(work, other, Qt::AltModifier);
        QTest::mousePress(quit, other);
    }
    EXPECT_TRUE(calls.empty());

    // Assistive technology sees buttons with the spoken label, and presses them.
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(work);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->role(), QAccessible::Button);
    EXPECT_EQ(row->text(QAccessible::Name).toStdString(), "Apply kest Work, shortcut ⌃⌥⌘1");
    ASSERT_TRUE(row->actionInterface());
    EXPECT_TRUE(row->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    row->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(calls, std::vector<std::string>{"reuse Work"}) << "never with fresh windows";
    QAccessibleInterface* action = QAccessible::queryAccessibleInterface(quit);
    EXPECT_EQ(action->role(), QAccessible::Button);
    EXPECT_EQ(action->text(QAccessible::Name), QStringLiteral("Quit kestr"));
    action->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(calls.back(), "quit");

    controller->tabs()->clickSegment(1);
    QWidget* cell = content.selectableCells[0];
    QTest::mousePress(cell, Qt::RightButton);
    EXPECT_EQ(calls.size(), 2u);
    QAccessibleInterface* snap = QAccessible::queryAccessibleInterface(cell);
    EXPECT_EQ(snap->role(), QAccessible::Button);
    snap->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(calls.back(), "snap " + SnapAction(SnapAction::leftHalf).rawValue());
}

TEST_F(KestPanelTest, KeyboardSelectionMovesClampsAndApplies) {
    addKests();
    show();
    KeyablePanel* panel = controller->panel();
    auto& content = *controller->content();
    EXPECT_FALSE(controller->handleKeyDown(Qt::Key_Return, Qt::NoModifier)) << "nothing selected";
    QTest::keyClick(panel, Qt::Key_Up);
    EXPECT_EQ(content.keyboardSelectedIndex, 2) << "the first Up selects the last";
    QTest::keyClick(panel, Qt::Key_Down);
    EXPECT_EQ(content.keyboardSelectedIndex, 2) << "no wrap-around";
    QTest::keyClick(panel, Qt::Key_Up);
    QTest::keyClick(panel, Qt::Key_Up);
    QTest::keyClick(panel, Qt::Key_Up);
    EXPECT_EQ(content.keyboardSelectedIndex, 0);
    EXPECT_TRUE(content.selectableCells[0]->isKeyboardSelected());
    EXPECT_FALSE(content.selectableCells[2]->isKeyboardSelected());
    EXPECT_FALSE(controller->handleKeyDown(Qt::Key_Down, Qt::ControlModifier));
    EXPECT_FALSE(controller->handleKeyDown(Qt::Key_Return, Qt::MetaModifier));
    EXPECT_EQ(content.keyboardSelectedIndex, 0);
    // Return reuses open windows even with Option held.
    QTest::keyClick(panel, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(calls, std::vector<std::string>{"reuse Work"});

    // Tab twice comes back to the list with no selection.
    QTest::keyClick(panel, Qt::Key_Tab);
    QTest::keyClick(panel, Qt::Key_Tab);
    EXPECT_EQ(controller->mode, Mode::kests);
    EXPECT_FALSE(content.keyboardSelectedIndex);

    QTest::keyClick(panel, Qt::Key_Escape);
    EXPECT_FALSE(controller->isVisible());
}

TEST_F(KestPanelTest, AClickElsewhereHidesThePanelThroughOneMonitor) {
    addKests();
    show();
    show();
    EXPECT_TRUE(controller->isVisible());
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), 1u) << "showing again replaces the monitor";
    Event click;
    click.type = EventType::rightMouseDown;
    sim->simEventMonitors().post(click);
    EXPECT_FALSE(controller->isVisible());
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), 0u);
    // The mode survives hiding.
    controller->setMode(Mode::snaps);
    show();
    EXPECT_EQ(controller->mode, Mode::snaps);
}

TEST_F(KestPanelTest, PlacementUnderTheButtonWithinTheVisibleFrame) {
    using C = KestPanelController;
    EXPECT_EQ(C::scrollHeight(std::nullopt, 2000), 744);
    EXPECT_EQ(C::scrollHeight(std::nullopt, 300), 300);
    EXPECT_EQ(C::scrollHeight(Rect(0, 25, 1440, 875), 2000), 875 - 56);
    EXPECT_EQ(C::scrollHeight(Rect(0, 25, 400, 150), 2000), 140) << "never below 140";
    EXPECT_EQ(C::scrollHeight(Rect(0, 25, 400, 150), 100), 100);

    const Rect visible(0, 25, 1440, 875);
    const Point middle = C::position(Rect(700, 0, 24, 24), visible, Size{296, 400});
    EXPECT_EQ(middle.x, 712 - 148);
    EXPECT_EQ(middle.y, 25);
    EXPECT_EQ(C::position(Rect(1430, 0, 24, 24), visible, Size{296, 400}).x, 1440 - 296 - 8);
    EXPECT_EQ(C::position(Rect(0, 0, 24, 24), visible, Size{296, 400}).x, 8);
    EXPECT_EQ(C::position(Rect(0, 0, 24, 24), Rect(0, 25, 200, 875), Size{296, 400}).x, 200 - 296 - 8)
        << "on a screen narrower than the panel the right edge wins";
    EXPECT_EQ(C::position(Rect(0, 0, 24, 24), Rect(0, 25, 1440, 300), Size{296, 400}).y, 325 - 8 - 400);
    const Point hung = C::position(Rect(700, 0, 24, 24), std::nullopt, Size{296, 400});
    EXPECT_EQ(hung.y, 24);

    // A small display caps the list at 140 points; the panel, taller than the visible
    // frame, keeps its bottom 8 points above the frame's bottom.
    sim->world().displays.clear();
    addDisplay(2, Rect(0, 0, 800, 200), Insets{25, 0, 0, 0});
    for (int i = 0; i < 6; ++i) kests.push_back(kest("K" + std::to_string(i), {}));
    show(true, Rect(790, 0, 24, 24));
    EXPECT_EQ(controller->panel()->height(), 140 + 44);
    EXPECT_EQ(controller->scrollView()->height(), 140);
    EXPECT_EQ(controller->panel()->pos(), QPoint(800 - 296 - 8, 200 - 8 - 184));
    EXPECT_GT(controller->content()->height(), 140);
    // The scroller lies over the rows, which keep the panel's whole width.
    EXPECT_EQ(controller->scrollView()->viewport()->width(), 296);
    EXPECT_GT(controller->scrollView()->verticalScrollBar()->maximum(), 0);
}

// A tray at the bottom of the display (its icon below the visible frame, or a click in
// the lower half where the icon's place is unknown) gets the panel above it; a click in
// the upper half, the panel below it; always within the visible frame.
TEST_F(KestPanelTest, ThePanelOpensUpwardFromTheLowerHalfOfItsDisplay) {
    using C = KestPanelController;
    sim->world().displays.clear();
    addDisplay(1, Rect(0, 0, 1920, 1080), Insets{0, 0, 30, 0});
    addDisplay(2, Rect(1920, 0, 1920, 1080), Insets{});
    EXPECT_TRUE(C::opensUpward(Rect(1800, 1052, 24, 24), Rect(0, 0, 1920, 1080)));
    EXPECT_FALSE(C::opensUpward(Rect(1800, 0, 24, 24), Rect(0, 0, 1920, 1080)));

    show(true, Rect(1800, 1053, 24, 24));
    QRect frame = controller->panel()->geometry();
    EXPECT_EQ(frame.bottom() + 1, 1050) << "over the tray, under the visible frame's bottom";
    EXPECT_EQ(frame.right() + 1, 1920 - 8);

    show(true, Rect(900, 1000, 0, 0));
    frame = controller->panel()->geometry();
    EXPECT_EQ(frame.bottom() + 1, 1000) << "its bottom at the click";
    EXPECT_EQ(frame.left(), 900 - 148);

    // On the second display, in its upper half: below the click.
    show(true, Rect(1930, 300, 0, 0));
    frame = controller->panel()->geometry();
    EXPECT_EQ(frame.top(), 300);
    EXPECT_EQ(frame.left(), 1920 + 8);

    // Tall content is capped by the room above the click.
    for (int i = 0; i < 30; ++i) kests.push_back(kest("K" + std::to_string(i), {}));
    show(true, Rect(900, 700, 0, 0));
    frame = controller->panel()->geometry();
    EXPECT_EQ(frame.bottom() + 1, 700);
    EXPECT_GE(frame.top(), 8);
}

// The panel's cost follows the rows it shows, not the kests it could show: openings do
// not add rows (nor anything else), and scrolling builds the rows that come into sight.
TEST_F(KestPanelTest, OnlyTheRowsInSightAreBuiltAndOpeningsAddNothing) {
    for (int i = 0; i < 300; ++i) {
        kests.push_back(kest("K" + std::to_string(i),
                             {item("com.apple.Notes", withDisplay(frameOn(1, 0, 0, 720, 875), 1440, 875))}));
    }
    const auto live = [] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto widgets = QApplication::allWidgets();
        return std::count_if(widgets.begin(), widgets.end(), [](QWidget* w) { return dynamic_cast<KestRowView*>(w); });
    };
    std::vector<std::size_t> objects;
    for (int opening = 0; opening < 5; ++opening) {
        show();
        controller->hide();
        objects.push_back(controller->panel()->findChildren<QObject*>().size());
    }
    // A window of 819 points holds ten rows of 84; the last opening's and the one before.
    EXPECT_LE(live(), 2 * 16);
    EXPECT_EQ(objects[4], objects[1]);

    auto& content = *controller->content();
    ASSERT_EQ(content.selectableCells.size(), 300u);
    ASSERT_TRUE(content.selectableCells.front());
    EXPECT_FALSE(content.selectableCells.back());
    const int top = content.selectableCells.front()->y();
    QScrollBar* scroller = controller->scrollView()->verticalScrollBar();
    scroller->setValue(scroller->maximum());
    EXPECT_FALSE(content.selectableCells.front());
    ASSERT_TRUE(content.selectableCells.back());
    EXPECT_EQ(content.selectableCells.back()->y(), top + 299 * 84);
    EXPECT_LE(live(), 2 * 16);

    // The keyboard reaches rows out of sight: the first Up selects the last kest.
    scroller->setValue(0);
    show();
    QTest::keyClick(controller->panel(), Qt::Key_Up);
    ASSERT_TRUE(content.selectableCells.back());
    EXPECT_TRUE(content.selectableCells.back()->isKeyboardSelected());
    QTest::keyClick(controller->panel(), Qt::Key_Return);
    EXPECT_EQ(calls, std::vector<std::string>{"reuse K299"});
}

// Where the desktop blurs nothing under a window, the panel's material is opaque, so
// no text of the windows under it shows through.
TEST_F(KestPanelTest, WithoutABlurBehindThePanelIsOpaque) {
    const auto alpha = [&] {
        show();
        return qAlpha(controller->panel()->grab().toImage().pixel(10, 22));
    };
    EXPECT_LT(alpha(), 255) << "the material lets a blur through";
    sim->simCapabilities.blurBehindWindows = false;
    controller->hide();
    EXPECT_EQ(alpha(), 255);
}

}  // namespace
}  // namespace kestr
