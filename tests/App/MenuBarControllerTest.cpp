#include <gtest/gtest.h>

#include <QMenu>
#include <cmath>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "MenuBarTest.h"
#include "Snap/SnapStore.h"
#include "UI/Panel/KeyablePanel.h"
#include "UI/Shell/WindowStatusItem.h"

namespace kestr {
namespace {

class MenuBarControllerTest : public test::MenuBarTest {
protected:
    // A window manager that overrides shortcuts, running.
    void startConflictingManager(const std::string& bundleID, const std::string& name) {
        SimProcess p;
        p.bundleID = bundleID;
        p.name = name;
        sim->world().addProcess(std::move(p));
    }
    static Layout notesKest() { return kestOfNotes("Notes left", Hotkey{18, 0x1300}); }
    SimWindow& notesWindow() {
        for (SimWindow& w : sim->world().process(745)->windows)
            if (w.title == "Shopping list") return w;
        throw std::logic_error("no shopping list");
    }
};

TEST_F(MenuBarControllerTest, TheButtonTellsThePermissionAndRunningWindowManagers) {
    sim->world().trusted = false;
    PermissionManager::shared().refresh();
    makeController();
    EXPECT_EQ(shownDescription(), "kestr (needs Accessibility)");
    EXPECT_EQ(item->toolTip(), "kestr — click to grant Accessibility permission");
    EXPECT_EQ(item->accessibility().value, "Accessibility permission needed");
    EXPECT_EQ(item->accessibility().label, "kestr");
    EXPECT_EQ(item->accessibility().help, "Click to open your kests; right-click for the menu");
    ASSERT_TRUE(item->badge());
    // The 20-point image sits in a 26-point button: the badge ends 4 points past it.
    EXPECT_EQ(item->badgeFrame(), QRectF(3 + 20 - 15.05, 0.5, 19.05, 19.05));

    // Two managers start: the caution badge and their names win over the permission.
    startConflictingManager("com.knollsoft.Rectangle", "Rectangle");
    startConflictingManager("com.hegenberg.BetterSnapTool", "BetterSnapTool");
    sim->virtualTime().runPending();
    EXPECT_TRUE(controller->hasConflicts);
    EXPECT_EQ(item->toolTip(), "kestr — Rectangle, BetterSnapTool may override its shortcuts. Click to manage.");
    EXPECT_EQ(item->accessibility().value, "Accessibility permission needed");

    // Trust comes back through the permission monitor's observer.
    sim->world().trusted = true;
    PermissionManager::shared().refresh();
    EXPECT_EQ(shownDescription(), "kestr");
    EXPECT_EQ(item->accessibility().value, "Conflict — Rectangle, BetterSnapTool running");

    for (auto& p : sim->world().processes()) {
        if (p.name == std::optional<std::string>("Rectangle") || p.name == std::optional<std::string>("BetterSnapTool"))
            sim->world().terminate(p.pid);
    }
    sim->virtualTime().runPending();
    EXPECT_FALSE(item->badge());
    EXPECT_EQ(item->toolTip(), "kestr — Accessibility OK");
    EXPECT_EQ(item->accessibility().value, "Ready");
    for (const auto& change : item->imageChanges) EXPECT_EQ(change.fadeSeconds, 0.25);
}

// A modifier another program keeps swallows the shortcuts with it: the button shows the
// caution badge and says who keeps which key, from the start and at every registration.
TEST_F(MenuBarControllerTest, TheButtonNamesWhatKeepsAKeyItsShortcutsNeed) {
    sim->simHotKeys().heldModifiers = CarbonModifier::control;
    sim->simHotKeys().holder = ModifierHolder{"IceWM", "put Win95Keys=0 in ~/.icewm/preferences"};
    HotkeyManager::shared().sync({}, {});
    makeController();
    const QString held = "IceWM keeps the \u2303 Control key for itself: 1 shortcut never arrives";
    EXPECT_TRUE(item->badge());
    EXPECT_EQ(item->toolTip(), "kestr — " + held + ".");
    EXPECT_EQ(item->accessibility().value, held);

    startConflictingManager("com.knollsoft.Rectangle", "Rectangle");
    sim->virtualTime().runPending();
    EXPECT_EQ(item->toolTip(), "kestr — Rectangle may override its shortcuts. " + held + ". Click to manage.");
    for (auto& p : sim->world().processes()) {
        if (p.name == std::optional<std::string>("Rectangle")) sim->world().terminate(p.pid);
    }
    sim->virtualTime().runPending();

    sim->simHotKeys().heldModifiers = 0;
    HotkeyManager::shared().sync({}, {});
    EXPECT_FALSE(item->badge());
    EXPECT_EQ(item->toolTip(), "kestr — Accessibility OK");
    EXPECT_EQ(item->accessibility().value, "Ready");
}

TEST_F(MenuBarControllerTest, FlashesLastTwoSecondsAndADragCancelsThem) {
    makeController();
    controller->flashIcon(MenuBarController::MenuIcon::saved);
    EXPECT_EQ(shownDescription(), "kestr (saved)");
    EXPECT_EQ(item->accessibility().value, "Kest saved");
    advance(1);
    // A kest becomes active meanwhile: the flash stays for its time.
    EdgeProximityTracker::shared().setActiveLayout(notesKest());
    EXPECT_TRUE(controller->kestActive);
    EXPECT_EQ(shownDescription(), "kestr (saved)");
    controller->flashIcon(MenuBarController::MenuIcon::apply);
    EXPECT_EQ(item->accessibility().value, "Kest applied");
    advance(1.9);
    EXPECT_EQ(shownDescription(), "kestr (applied)") << "two seconds from the last flash";
    advance(0.1);
    EXPECT_EQ(shownDescription(), "kestr (kest active)");

    // An edge drag during a flash shows the drag at once; its limit changes the colour.
    controller->flashIcon(MenuBarController::MenuIcon::apply);
    EdgeDragSession& drag = EdgeDragSession::shared();
    drag.isActive = true;
    drag.onActiveChange(true);
    EXPECT_EQ(shownDescription(), "kestr (dragging)");
    EXPECT_FALSE(controller->savedFlashWorkItem);
    drag.onClippedChange(true);
    EXPECT_EQ(shownDescription(), "kestr (dragging — limit)");
    drag.onClippedChange(false);
    EXPECT_EQ(shownDescription(), "kestr (dragging)");
    advance(3);
    EXPECT_EQ(shownDescription(), "kestr (dragging)") << "the cancelled flash does not come back";
    drag.isActive = false;
    drag.onClippedChange(true);  // after the drag: ignored
    drag.onActiveChange(false);
    EXPECT_EQ(shownDescription(), "kestr (kest active)");

    EdgeProximityTracker::shared().releaseActiveKest();
    EXPECT_EQ(shownDescription(), "kestr");
}

TEST_F(MenuBarControllerTest, AKestShortcutArrangesItsWindowsMakesItActiveAndFlashes) {
    LayoutStore::shared().layouts = {notesKest()};
    SnapStore::shared().setHotkey(Hotkey{123, 0x1800}, SnapAction::leftHalf);
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    makeController();
    const Point before = notesWindow().position;

    ASSERT_TRUE(sim->simHotKeys().pressHotKey(18, 0x1300));
    advance(5);
    EXPECT_NE(notesWindow().position, before);
    EXPECT_EQ(notesWindow().size, (Size{900, 700}));
    EXPECT_TRUE(controller->kestActive);
    EXPECT_EQ(item->imageChanges.at(item->imageChanges.size() - 2).description, "kestr (applied)");
    EXPECT_EQ(shownDescription(), "kestr (kest active)");

    // A snap shortcut snaps the focused window.
    sim->world().frontmostPid = 745;
    ASSERT_TRUE(sim->simHotKeys().pressHotKey(123, 0x1800));
    advance(1);
    EXPECT_EQ(notesWindow().position.x, 0);
    EXPECT_EQ(notesWindow().size.width, 960);
}

TEST_F(MenuBarControllerTest, LosingAccessibilityAsksOnceToOpenTheSettings) {
    makeController();
    sim->simAlerts().answers = {alertFirstButtonReturn};
    sim->world().trusted = false;
    PermissionManager::shared().refresh();
    PermissionManager::shared().refresh();
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "kestr lost Accessibility access");
    EXPECT_EQ(sim->simAlerts().requests[0].buttons, (std::vector<std::string>{"Open Settings", "Later"}));
    EXPECT_EQ(sim->simWorkspace().openedURLs().back(),
              "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
    EXPECT_EQ(item->toolTip(), "kestr — click to grant Accessibility permission");
}

TEST_F(MenuBarControllerTest, ALeftClickTogglesThePanelAndARightOrControlClickPopsTheMenu) {
    makeController();
    item->leftClick();
    EXPECT_EQ(sim->simDefaults().standardDomain().values.at("kestr.didOpenPanelOnce"), PlistValue(true));
    EXPECT_TRUE(controller->kestPanel().isVisible());
    EXPECT_TRUE(item->poppedMenus.empty());
    item->leftClick();
    EXPECT_FALSE(controller->kestPanel().isVisible());
    item->leftClick();
    EXPECT_TRUE(controller->kestPanel().isVisible()) << "shown again";

    std::vector<QString> firstRows;
    item->onPopUp = [&](QMenu& menu) { firstRows.push_back(menu.actions().at(2)->text()); };
    item->rightClick();
    item->leftClick(true);
    ASSERT_EQ(firstRows.size(), 2u);
    EXPECT_EQ(firstRows[0], "✓  Accessibility permission OK");
}

// A tray shows the status menu on its own: the controller hands it the menu and has it
// made again when kests change. Where the tray cannot say where its icon is, the panel
// opens where the click was, else by the pointer.
TEST_F(MenuBarControllerTest, TheTrayKeepsTheMenuCurrentAndThePanelOpensWhereTheClickWas) {
    makeController();
    ASSERT_TRUE(item->buildMenu);
    const auto texts = [&] {
        QStringList all;
        const std::unique_ptr<QMenu> menu = item->buildMenu();
        for (QAction* action : menu->actions()) all << action->text();
        return all;
    };
    EXPECT_TRUE(texts().contains("Check for Updates…"));
    EXPECT_TRUE(texts().filter("Desk").isEmpty());
    const int refreshes = item->menuRefreshes;
    LayoutStore::shared().layouts = {kestOfNotes("Desk", std::nullopt)};
    controller->rebuildMenu();
    EXPECT_GT(item->menuRefreshes, refreshes);
    EXPECT_EQ(texts().filter("Desk").size(), 1);

    item->frame = std::nullopt;
    sim->world().pointer = Point{300, 200};
    controller->openPanelFromOnboarding();
    KestPanelController& panel = controller->kestPanel();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.panel()->pos(), QPoint(300 - 148, 200)) << "by the pointer";
    item->leftClick();
    ASSERT_FALSE(panel.isVisible());

    item->point = QPoint(600, 900);
    sim->world().pointer = Point{10, 10};
    item->leftClick();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.panel()->geometry().bottom() + 1, 900) << "above the click, in the display's lower half";
    EXPECT_EQ(panel.panel()->x(), 600 - 148);
}

// The share of the picture's drawn pixels that stand out from `background` by a
// contrast of at least 3:1 once laid over it.
double legibleShare(const QImage& picture, QColor background) {
    const auto luminance = [](double r, double g, double b) {
        const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
    };
    const double under = luminance(background.redF(), background.greenF(), background.blueF());
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int drawn = 0;
    int legible = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const double a = qAlpha(p) / 255.0;
            if (a < 0.1) continue;
            ++drawn;
            const auto over = [&](int c, double b) { return c / 255.0 + (1 - a) * b; };
            const double l = luminance(over(qRed(p), background.redF()), over(qGreen(p), background.greenF()),
                                       over(qBlue(p), background.blueF()));
            if ((std::max(l, under) + 0.05) / (std::min(l, under) + 0.05) >= 3) ++legible;
        }
    }
    return drawn ? double(legible) / drawn : 0;
}

// A tray that does not say how it draws (no colours, no settings portal): every picture
// of the button reads on a black panel and on a white one.
TEST_F(MenuBarControllerTest, WhereThePanelDoesNotSayItsColoursEveryPictureReadsOnBlackAndWhite) {
    sim->simAppearance().panelIconUnknown = true;
    auto window = std::make_unique<WindowStatusItem>();
    WindowStatusItem& button = *window;
    controller = std::make_unique<MenuBarController>(std::move(window));
    const auto check = [&](const char* state) {
        advance(0.5);
        const QImage picture = button.shownPicture();
        EXPECT_GE(legibleShare(picture, Qt::black), 0.3) << state << " on black";
        EXPECT_GE(legibleShare(picture, Qt::white), 0.3) << state << " on white";
    };
    check("idle");
    controller->flashIcon(MenuBarController::MenuIcon::saved);
    check("saved");
    controller->flashIcon(MenuBarController::MenuIcon::apply);
    check("apply");
    controller->setActiveKestComposite();
    check("active kest");
    controller->setDraggingComposite(false);
    check("dragging");
    controller->setDraggingComposite(true);
    check("dragging at the limit");
    controller->hasConflicts = true;
    controller->applyButtonImage();
    check("caution badge");
    controller->hasConflicts = false;
    sim->world().trusted = false;
    PermissionManager::shared().refresh();
    check("setup badge");
}

}  // namespace
}  // namespace kestr
