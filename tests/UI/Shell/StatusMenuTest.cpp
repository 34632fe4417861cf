#include "UI/Shell/StatusMenu.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <gtest/gtest.h>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Snap/SnapStore.h"
#include "Support/SimTest.h"
#include "UI/Manager/AppVersionText.h"
#include "UI/Shell/DBusMenuExporter.h"
#include "UI/Snap/SnapCellView.h"

namespace kestr::test {
namespace {

using A = SnapAction;
constexpr std::uint32_t ctrlOpt = CarbonModifier::control | CarbonModifier::option;

QKeySequence keys(Qt::KeyboardModifiers modifiers, Qt::Key key) {
    return QKeySequence(QKeyCombination(modifiers, key));
}

// A kest name as the menu shows it: isolated, so it never reorders the text around it.
std::string shown(const std::string& name) { return "\u2068" + name + "\u2069"; }

// Every choice of the menu is recorded by name (and the kest or snap it names).
class StatusMenuTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        actions.applyKest = [this](const Uuid& id) { chosen.push_back("apply " + id.string()); };
        actions.applySnap = [this](const std::string& raw) { chosen.push_back("snap " + raw); };
        const std::pair<std::function<void()>*, std::string> plain[] = {
            {&actions.releaseKest, "release"},
            {&actions.requestPermission, "request"},
            {&actions.openAccessibilitySettings, "settings"},
            {&actions.saveCurrent, "save"},
            {&actions.manage, "manage"},
            {&actions.checkForUpdates, "updates"},
            {&actions.quit, "quit"},
            {&actions.configureSnaps, "configure"},
            {&actions.restoreDefaultShortcuts, "reset"},
            {&actions.importSnaps, "import"},
            {&actions.toggleDragSnap, "drag snap"},
            {&actions.revealKestsFile, "reveal"},
            {&actions.dumpWindowList, "dump"},
        };
        for (const auto& [callback, name] : plain) *callback = [this, name = name] { chosen.push_back(name); };
    }

    static Layout kest(const std::string& name, std::uint8_t tag, std::size_t items = 1) {
        Layout k;
        k.id.bytes[0] = tag;
        k.name = name;
        k.items.resize(items);
        return k;
    }
    void storeKests(std::vector<Layout> kests) {
        LayoutStore::shared().layouts = std::move(kests);
        HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    }
    // Titles in order, with their shortcut column after a tab: "---" for a separator,
    // "[x]" before a checked item.
    static std::vector<std::string> rows(const QMenu& menu) {
        std::vector<std::string> out;
        for (QAction* a : menu.actions()) {
            out.push_back(a->isSeparator() ? "---" : (a->isChecked() ? "[x]" : "") + a->text().toStdString());
        }
        return out;
    }
    static QAction* row(const QMenu& menu, const QString& text) {
        for (QAction* a : menu.actions()) {
            if (a->text().startsWith(text)) return a;
        }
        ADD_FAILURE() << "no row " << text.toStdString();
        static QAction none;
        return &none;
    }
    static QMenu& submenu(const QMenu& menu, const QString& title) { return *row(menu, title)->menu(); }

    StatusMenu::Actions actions;
    std::vector<std::string> chosen;
};

TEST_F(StatusMenuTest, TrustedWithNothingSavedOrActive) {
    const auto menu = StatusMenu::build(true, actions);
    EXPECT_EQ(rows(*menu),
              (std::vector<std::string>{appVersionText().toStdString(), "---", "✓  Accessibility permission OK", "---",
                                        "No saved kests", "Save Current Arrangement as Kest…", "Manage Kests…", "---",
                                        "Snap", "Preferences", "Check for Updates…", "---", "Quit kestr\t⌘Q"}));
    for (const char* off : {"✓  Accessibility permission OK", "No saved kests"})
        EXPECT_FALSE(row(*menu, off)->isEnabled());
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_TRUE(row(*menu, "Save Current Arrangement as Kest…")->isEnabled());
    EXPECT_EQ(row(*menu, "Quit kestr")->shortcut(), keys(Qt::ControlModifier, Qt::Key_Q));

    for (const char* item :
         {"Save Current Arrangement as Kest…", "Manage Kests…", "Check for Updates…", "Quit kestr"}) {
        row(*menu, item)->trigger();
    }
    EXPECT_EQ(chosen, (std::vector<std::string>{"save", "manage", "updates", "quit"}));
}

// Any number of kests: the commands after them stay on the screen, in one column; the
// kests that do not fit are in "More Kests", itself or in submenus side by side, each
// reachable in order, never more than three menus deep.
TEST_F(StatusMenuTest, KestsBeyondTheScreenStandInASubmenuAndEveryCommandStaysReachable) {
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().height();
    struct Case {
        int kests;
        std::optional<int> height;
        int depth;
    };
    for (const Case& c : {Case{1, {}, 1}, Case{30, 600, 2}, Case{100, 600, 3}, Case{10000, {}, 3}}) {
        SCOPED_TRACE(c.kests);
        std::vector<Layout> many;
        for (int i = 0; i < c.kests; ++i) {
            many.push_back(kest("Kest " + std::to_string(i), static_cast<std::uint8_t>(i % 256)));
            many.back().id.bytes[1] = static_cast<std::uint8_t>(i / 256);
        }
        storeKests(many);
        const auto menu = StatusMenu::build(true, actions, c.height);
        const int height = c.height.value_or(screen);
        EXPECT_LE(menu->sizeHint().height(), height);
        QAction* quit = row(*menu, "Quit kestr");
        EXPECT_EQ(menu->actionGeometry(quit).x(), menu->actionGeometry(menu->actions()[0]).x()) << "one column";

        // Each kest row with the menus it is in, by title.
        std::vector<std::pair<std::string, std::vector<QString>>> reached;
        int deepest = 0;
        const std::function<void(const QMenu&, std::vector<QString>)> walk = [&](const QMenu& level,
                                                                                  std::vector<QString> path) {
            deepest = std::max(deepest, static_cast<int>(path.size()) + 1);
            for (QAction* a : level.actions()) {
                if (a->menu() && (a->text() == "More Kests" || a->text().startsWith("Kests "))) {
                    EXPECT_TRUE(path.empty() || a->text() != "More Kests");
                    if (a->text() != "More Kests") {
                        EXPECT_LE(a->menu()->sizeHint().height(), height);
                    }
                    auto below = path;
                    below.push_back(a->text());
                    walk(*a->menu(), below);
                } else if (!a->menu() && !a->data().toString().isEmpty()) {
                    reached.emplace_back(a->text().section('\t', 0, 0).toStdString(), path);
                }
            }
        };
        walk(*menu, {});
        EXPECT_EQ(deepest, c.depth);
        ASSERT_EQ(reached.size(), static_cast<std::size_t>(c.kests));
        for (int i = 0; i < c.kests; ++i) {
            const auto& [text, path] = reached[static_cast<std::size_t>(i)];
            ASSERT_EQ(text, "  " + shown("Kest " + std::to_string(i)));
            if (path.size() < 2) continue;
            // A submenu of "More Kests" is named by the places of its kests.
            const QStringList places = path[1].mid(6).split(u'–');
            ASSERT_EQ(places.size(), 2) << path[1].toStdString();
            EXPECT_GE(i + 1, places[0].toInt());
            EXPECT_LE(i + 1, places[1].toInt());
        }
        if (c.depth == 1) continue;
        const std::vector<std::string> top = rows(*menu);
        const auto more = std::find(top.begin(), top.end(), "More Kests");
        ASSERT_NE(more, top.end());
        EXPECT_EQ((more - 1)->substr(0, (more - 1)->find('\t')), "  " + shown("Kest " + std::to_string(more - top.begin() - 6)))
            << "right after the last kest row";
        EXPECT_EQ((more + 1)->substr(0, 5), "Save ");
    }
}

TEST_F(StatusMenuTest, ADesktopWithoutThePermissionHasNoLineForIt) {
    sim->simCapabilities.trustCanChange = false;
    const auto menu = StatusMenu::build(true, actions);
    EXPECT_EQ(rows(*menu),
              (std::vector<std::string>{appVersionText().toStdString(), "---", "No saved kests",
                                        "Save Current Arrangement as Kest…", "Manage Kests…", "---", "Snap",
                                        "Preferences", "Check for Updates…", "---", "Quit kestr\t⌘Q"}));
}

TEST_F(StatusMenuTest, UntrustedWithAnActiveKest) {
    storeKests({kest("Split", 1, 2)});
    EdgeProximityTracker::shared().setActiveLayout(LayoutStore::shared().layouts[0]);
    const auto menu = StatusMenu::build(false, actions);

    EXPECT_EQ(rows(*menu), (std::vector<std::string>{appVersionText().toStdString(),
                                                     "---",
                                                     "⚠  Accessibility permission required",
                                                     "---",
                                                     "Request Accessibility Permission…",
                                                     "Open Accessibility Settings…",
                                                     "---",
                                                     "● Active kest: " + shown("Split"),
                                                     "Release Kest (free editing)",
                                                     "---",
                                                     "Apply Kest",
                                                     "  " + shown("Split") + "\t⌃⌥⌘1",
                                                     "Save Current Arrangement as Kest…\t⌃⌥⌘↩",
                                                     "Manage Kests…",
                                                     "---",
                                                     "Snap",
                                                     "Preferences",
                                                     "Check for Updates…",
                                                     "---",
                                                     "Quit kestr\t⌘Q"}));
    EXPECT_FALSE(row(*menu, QString::fromStdString("  " + shown("Split")))->isEnabled());
    EXPECT_FALSE(row(*menu, "Save Current Arrangement as Kest…")->isEnabled());
    EXPECT_FALSE(row(*menu, QString::fromStdString("● Active kest: " + shown("Split")))->isEnabled());
    for (const char* item :
         {"Request Accessibility Permission…", "Open Accessibility Settings…", "Release Kest (free editing)"}) {
        row(*menu, item)->trigger();
    }
    EXPECT_EQ(chosen, (std::vector<std::string>{"request", "settings", "release"}));
}

TEST_F(StatusMenuTest, KestRowsShowTheRegisteredHotKeysAndApplyTheirKest) {
    Layout own = kest("Own", 1);
    own.hotkey = Hotkey{96, ctrlOpt};  // F5: no menu character
    Layout twin = kest("Twin", 3);
    twin.hotkey = Hotkey{1, ctrlOpt | CarbonModifier::shift};
    storeKests({kest("Auto", 2), own, kest("Empty", 4, 0), twin, kest("Twin", 5)});
    const auto menu = StatusMenu::build(true, actions);

    const auto all = rows(*menu);
    EXPECT_EQ(std::vector<std::string>(all.begin() + 4, all.begin() + 10),
              (std::vector<std::string>{"Apply Kest", "  " + shown("Auto") + "\t⌃⌥⌘1", "  " + shown("Own"),
                                        "  " + shown("Empty") + "\t⌃⌥⌘2", "  " + shown("Twin") + "\t⌃⌥⇧S",
                                        "  " + shown("Twin") + "\t⌃⌥⌘3"}));
    QAction* autoRow = menu->actions()[5];
    EXPECT_EQ(autoRow->shortcut(), keys(Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier, Qt::Key_1))
        << "the automatically assigned ⌃⌥⌘1";
    EXPECT_TRUE(menu->actions()[6]->shortcut().isEmpty()) << "a key with no menu character shows nothing";
    EXPECT_FALSE(menu->actions()[7]->isEnabled()) << "a kest without windows cannot be applied";
    EXPECT_TRUE(autoRow->isEnabled());
    EXPECT_EQ(menu->actions()[8]->shortcut(), keys(Qt::MetaModifier | Qt::AltModifier | Qt::ShiftModifier, Qt::Key_S));
    EXPECT_EQ(autoRow->toolTip(), "Reposition open windows and reopen any that were closed");
    EXPECT_EQ(autoRow->data().toString().toStdString(), kest("Auto", 2).id.string());

    menu->actions()[9]->trigger();
    autoRow->trigger();
    EXPECT_EQ(chosen, (std::vector<std::string>{"apply " + kest("Twin", 5).id.string(),
                                                "apply " + kest("Auto", 2).id.string()}));
}

// A name holding a right-to-left override, a line break or a line separator shows them
// as marks and keeps its own order and that of the text around it, on one line; an "&"
// is shown, not taken for an access key.
TEST_F(StatusMenuTest, NamesAreIsolatedAndTheirControlCharactersShown) {
    storeKests({kest("\u202Eevil\nabc\u2028R&D\u2029", 1)});
    EdgeProximityTracker::shared().setActiveLayout(LayoutStore::shared().layouts[0]);
    const auto menu = StatusMenu::build(true, actions);
    const auto all = rows(*menu);
    EXPECT_EQ(all[4], "● Active kest: \u2068\uFFFDevil\uFFFDabc\uFFFDR&&D\uFFFD\u2069");
    EXPECT_EQ(all[8], "  \u2068\uFFFDevil\uFFFDabc\uFFFDR&&D\uFFFD\u2069\t⌃⌥⌘1");
}

// However long a name is, the menu stays narrow enough to show the shortcuts beside it.
TEST_F(StatusMenuTest, ALongNameIsCutSoTheShortcutsStayInView) {
    storeKests({kest(std::string(100000, 'W'), 1)});
    EdgeProximityTracker::shared().setActiveLayout(LayoutStore::shared().layouts[0]);
    const auto menu = StatusMenu::build(true, actions);
    EXPECT_LT(menu->sizeHint().width(), QGuiApplication::primaryScreen()->availableGeometry().width() * 3 / 4);
    const auto all = rows(*menu);
    for (const std::string& cut :
         {all[4].substr(std::string("● Active kest: ").size()), all[8].substr(2, all[8].find('\t') - 2)}) {
        EXPECT_EQ(cut.substr(0, 6), "\u2068WWW") << cut;
        EXPECT_EQ(cut.substr(cut.size() - 6), "…\u2069") << cut;
    }
    EXPECT_EQ(all[8].substr(all[8].find('\t')), "\t⌃⌥⌘1");
}

TEST_F(StatusMenuTest, TheSaveRowShowsTheCaptureShortcutThatIsRegistered) {
    const auto saveShortcut = [this] {
        HotkeyManager::shared().sync({}, {});
        return row(*StatusMenu::build(true, actions), "Save Current Arrangement as Kest…")->shortcut();
    };
    EXPECT_EQ(saveShortcut(), keys(Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier, Qt::Key_Return));

    Preferences::shared().setCaptureHotkey(Hotkey{1, ctrlOpt});
    EXPECT_EQ(saveShortcut(), keys(Qt::MetaModifier | Qt::AltModifier, Qt::Key_S));

    sim->simHotKeys().holdByOtherProgram(1, ctrlOpt);
    EXPECT_TRUE(saveShortcut().isEmpty()) << "refused: no shortcut to show";
}

TEST_F(StatusMenuTest, SnapSubmenuIsSortedByGroupThenNameAndFollowsTrust) {
    SnapStore::shared().bindings = {
        {Uuid::random(), A::topHalf, {126, ctrlOpt}},
        {Uuid::random(), A::nextDisplay, {124, ctrlOpt | CarbonModifier::command}},
        {Uuid::random(), A::maximize, {36, ctrlOpt}},
        {Uuid::random(), A::leftHalf, {0, ctrlOpt}},
        {Uuid::random(), A::topHalf, {17, ctrlOpt}},
        {Uuid::random(), A::restore, {51, ctrlOpt}},
    };
    const auto menu = StatusMenu::build(true, actions);
    QMenu& snap = submenu(*menu, "Snap");
    const auto name = [](A a) { return "  " + a.displayName(); };
    EXPECT_EQ(rows(snap), (std::vector<std::string>{name(A::nextDisplay) + "\t⌃⌥⌘→", name(A::leftHalf) + "\t⌃⌥A",
                                                    name(A::topHalf) + "\t⌃⌥↑", name(A::topHalf) + "\t⌃⌥T",
                                                    name(A::maximize) + "\t⌃⌥↩", name(A::restore) + "\t⌃⌥⌫", "---",
                                                    "Configure Snap Shortcuts…", "Reset to Default Shortcuts",
                                                    "Import from Magnet / Rectangle…"}));
    // What a D-Bus tray shows: arrows, Return and Backspace have no menu character, yet
    // every binding carries its keys.
    const auto ctrlOptKeys = Qt::MetaModifier | Qt::AltModifier;
    EXPECT_EQ(snap.actions()[0]->shortcut(), keys(ctrlOptKeys | Qt::ControlModifier, Qt::Key_Right));
    EXPECT_EQ(snap.actions()[1]->shortcut(), keys(ctrlOptKeys, Qt::Key_A));
    EXPECT_EQ(snap.actions()[2]->shortcut(), keys(ctrlOptKeys, Qt::Key_Up));
    EXPECT_EQ(snap.actions()[3]->shortcut(), keys(ctrlOptKeys, Qt::Key_T))
        << "two bindings of one action keep their stored order";
    EXPECT_EQ(snap.actions()[4]->shortcut(), keys(ctrlOptKeys, Qt::Key_Return));
    EXPECT_EQ(snap.actions()[5]->shortcut(), keys(ctrlOptKeys, Qt::Key_Backspace));
    EXPECT_TRUE(snap.actions()[1]->isEnabled());

    snap.actions()[1]->trigger();
    for (const char* item :
         {"Configure Snap Shortcuts…", "Reset to Default Shortcuts", "Import from Magnet / Rectangle…"}) {
        row(snap, item)->trigger();
    }
    EXPECT_EQ(chosen, (std::vector<std::string>{"snap leftHalf", "configure", "reset", "import"}));

    const auto untrusted = StatusMenu::build(false, actions);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(submenu(*untrusted, "Snap").actions()[i]->isEnabled());
    for (const char* item : {"Configure Snap Shortcuts…", "Reset to Default Shortcuts"}) {
        EXPECT_TRUE(row(submenu(*untrusted, "Snap"), item)->isEnabled());
    }

    SnapStore::shared().bindings.clear();
    EXPECT_EQ(rows(submenu(*StatusMenu::build(true, actions), "Snap")),
              (std::vector<std::string>{"No snap shortcuts", "---", "Configure Snap Shortcuts…",
                                        "Reset to Default Shortcuts", "Import from Magnet / Rectangle…"}));
}

// A snap whose keys a kest took first never runs: the Snap submenu, the label a D-Bus
// tray draws and the panel's cell mark its keys and say why; the kest keeps them.
TEST_F(StatusMenuTest, ASnapWhoseKeysAKestTookIsMarkedEverywhereItShows) {
    const Hotkey taken{19, ctrlOpt};
    Layout holder = kest("my_kest", 1);
    holder.hotkey = taken;
    const SnapBinding second{Uuid::random(), A::secondFourth, taken};
    const SnapBinding left{Uuid::random(), A::leftHalf, {0, ctrlOpt}};
    SnapStore::shared().bindings = {second, left};
    storeKests({holder});
    const auto menu = StatusMenu::build(true, actions);
    QAction* snap = row(submenu(*menu, "Snap"), "  Second Fourth");
    EXPECT_EQ(snap->text().toStdString(), "  Second Fourth\t⚠ ⌃⌥2");
    EXPECT_TRUE(snap->shortcut().isEmpty()) << "no usable keys for the tray";
    EXPECT_EQ(snap->toolTip().toStdString(),
              "kestr's kest “\u2068my_kest\u2069” uses this shortcut, so it never runs this");
    EXPECT_EQ(DBusMenuExporter::label(snap->text(), snap->shortcut().isEmpty()).toStdString(),
              "  Second Fourth  ⚠ ⌃⌥2");
    EXPECT_EQ(SnapCellView::model(second).hotkey, "⚠ ⌃⌥2");
    // The kest and a snap of keys of its own show theirs unmarked.
    EXPECT_EQ(row(*menu, "  " + QString::fromStdString(shown("my_kest")))->shortcut(),
              keys(Qt::MetaModifier | Qt::AltModifier, Qt::Key_2));
    EXPECT_EQ(row(submenu(*menu, "Snap"), "  Left Half")->text().toStdString(), "  Left Half\t⌃⌥A");
    EXPECT_EQ(SnapCellView::model(left).hotkey, "⌃⌥A");
}

// Everything a menu shows, submenus included.
std::string everything(const QMenu& menu) {
    std::string out;
    for (QAction* a : menu.actions()) {
        out += (a->text() + '|' + a->toolTip() + '|' + a->shortcut().toString()).toStdString() +
               (a->isEnabled() ? "|on" : "|off") + (a->isChecked() ? "|[x]\n" : "\n");
        if (a->menu()) out += everything(*a->menu());
    }
    return out;
}

// A tray's opening makes the menu again only when its digest changed: each change of what
// the menu shows changes it, and a change the menu does not show leaves it.
TEST_F(StatusMenuTest, TheDigestChangesWithEverythingTheMenuShows) {
    SnapStore::shared().bindings = {{Uuid::random(), A::leftHalf, {0, ctrlOpt}}};
    storeKests({kest("Desk", 1), kest("Empty", 2, 0)});
    bool trusted = true;
    auto& kests = LayoutStore::shared().layouts;
    const auto resync = [&] { HotkeyManager::shared().sync(kests, SnapStore::shared().bindings); };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"renamed", [&] { kests[0].name = "Studio"; }},
        {"given a window", [&] { kests[1].items.resize(1); }},
        {"given keys of its own", [&] {
             kests[1].hotkey = Hotkey{18, 0x1900};
             resync();
         }},
        {"another program holds a key", [&] {
             sim->simHotKeys().holdByOtherProgram(0, ctrlOpt);
             resync();
         }},
        {"a kest added", [&] { kests.push_back(kest("Third", 3)); }},
        {"a kest deleted", [&] { kests.erase(kests.begin()); }},
        {"made active", [&] { EdgeProximityTracker::shared().setActiveLayout(kests[0]); }},
        {"permission lost", [&] { trusted = false; }},
        {"drag snap on", [&] { Preferences::shared().defaults.set(StatusMenu::enableDragSnapKey, PlistValue(true)); }},
        {"snap keys changed", [&] { SnapStore::shared().bindings[0].hotkey = Hotkey{1, ctrlOpt}; }},
    };
    for (const auto& [change, apply] : changes) {
        const std::uint64_t before = StatusMenu::digest(trusted);
        const std::string shownBefore = everything(*StatusMenu::build(trusted, actions));
        EXPECT_EQ(StatusMenu::digest(trusted), before) << change << ": nothing changed yet";
        apply();
        EXPECT_NE(everything(*StatusMenu::build(trusted, actions)), shownBefore) << change << ": not shown";
        EXPECT_NE(StatusMenu::digest(trusted), before) << change;
    }
    const std::uint64_t before = StatusMenu::digest(trusted);
    kests[0].items[0].targetFrame.x += 100;
    EXPECT_EQ(StatusMenu::digest(trusted), before) << "where a window goes is not shown";
}

TEST_F(StatusMenuTest, PreferencesShowTheDragSnapSettingAndTheFileCommands) {
    const auto preferences = [this] { return rows(submenu(*StatusMenu::build(true, actions), "Preferences")); };
    EXPECT_EQ(preferences(), (std::vector<std::string>{"Drag Snap (drag a window to fit a kest)", "Reveal Kests File",
                                                       "Dump Window List"}));
    Preferences::shared().defaults.set(StatusMenu::enableDragSnapKey, PlistValue(true));
    EXPECT_EQ(preferences()[0], "[x]Drag Snap (drag a window to fit a kest)");

    const auto menu = StatusMenu::build(true, actions);
    QMenu& prefs = submenu(*menu, "Preferences");
    EXPECT_TRUE(prefs.actions()[0]->toolTip().startsWith("When on, the last applied kest's slots appear"));
    for (QAction* a : prefs.actions()) a->trigger();
    EXPECT_EQ(chosen, (std::vector<std::string>{"drag snap", "reveal", "dump"}));
}

}  // namespace
}  // namespace kestr::test
