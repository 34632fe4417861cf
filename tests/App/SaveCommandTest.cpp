#include "App/SaveCommand.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Snap/SnapStore.h"
#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

// Two displays side by side with windows on both, the pointer on the first, the
// permission granted; the dialog is answered by `answers`, in order.
class SaveCommandTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
        addDisplay(2, Rect(1440, 0, 1920, 1080));
        addApp("com.example.editor", "Editor",
               {window("Code", Rect(0, 25, 720, 875)), window("Notes", Rect(1500, 100, 800, 600))});
        addApp("com.example.browser", "Browser", {window("Docs", Rect(720, 25, 720, 875))});
        sim->world().pointer = Point{100, 100};
        sim->world().trusted = true;
        PermissionManager::shared().refresh();
        command.presentDialog = [this](const SaveDialog::Request& request) -> std::optional<SaveDialog::Result> {
            requests.push_back(request);
            if (duringDialog) duringDialog();
            if (answers.empty()) return std::nullopt;
            auto answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
        command.bringDialogForward = [this] { ++broughtForward; };
        command.rebuildMenu = [this] { ++rebuilds; };
        command.flashSaved = [this] { ++flashes; };
    }

    static std::vector<std::string> titles(const Layout& kest) {
        std::vector<std::string> out;
        for (const LayoutItem& item : kest.items) out.push_back(item.capturedWindowTitle.value_or("(untitled)"));
        std::sort(out.begin(), out.end());
        return out;
    }
    std::vector<Layout>& kests() { return LayoutStore::shared().layouts; }
    // The kests as the file holds them.
    std::vector<Layout> stored() {
        LayoutStore fresh(LayoutStore::shared().fileURL);
        fresh.load();
        return fresh.layouts;
    }
    static Layout existing(const std::string& name, std::uint8_t tag) {
        Layout kest;
        kest.id.bytes[0] = tag;
        kest.name = name;
        kest.hotkey = Hotkey{0, 0x1800};
        kest.items = {LayoutItem{}};
        kest.items[0].appBundleID = "com.example.old";
        kest.createdAt = Date{1000};
        kest.updatedAt = Date{2000};
        return kest;
    }
    const std::vector<AlertRequest>& alerts() { return sim->simAlerts().requests; }
    bool logged(const std::string& line) {
        const auto& lines = sim->simLog().lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    SaveCommand command;
    std::vector<SaveDialog::Result> answers;
    std::vector<SaveDialog::Request> requests;
    std::function<void()> duringDialog;
    int broughtForward = 0;
    int rebuilds = 0;
    int flashes = 0;
};

TEST_F(SaveCommandTest, ANewKestTakesTheChosenScopeIsStoredAndBecomesActive) {
    answers = {{"Coding", false}, {"Everything", true}};
    command.run();

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].monitorHint, "dual monitor");
    EXPECT_EQ(requests[0].note, "Windows on other Spaces (Mission Control) aren't included — a macOS limitation.");
    EXPECT_FALSE(requests[0].thisScreen.isNull());
    EXPECT_GT(requests[0].allScreens.width(), 0);
    ASSERT_EQ(kests().size(), 1u);
    const Layout saved = kests()[0];
    EXPECT_EQ(saved.name, "Coding");
    EXPECT_EQ(titles(saved), (std::vector<std::string>{"Code", "Docs"})) << "only the display under the mouse";
    EXPECT_EQ(stored(), kests());
    ASSERT_TRUE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->id, saved.id);
    EXPECT_EQ(HotkeyManager::shared().effectiveHotkey(saved.id), (Hotkey{18, 0x1900})) << "hot keys synchronised";
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(flashes, 1);
    EXPECT_TRUE(alerts().empty());

    command.run();
    ASSERT_EQ(kests().size(), 2u);
    EXPECT_EQ(titles(kests()[1]), (std::vector<std::string>{"Code", "Docs", "Notes"}));
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->name, "Everything");
    EXPECT_EQ(flashes, 2);
}

TEST_F(SaveCommandTest, TheFinderDesktopIsNeverStored) {
    SimWindow desktop = window("", Rect(0, 25, 1440, 875));
    addApp("com.apple.finder", "Finder", {desktop, window("Projects", Rect(200, 200, 600, 400))});
    answers = {{"With Finder", false}};
    command.run();

    ASSERT_EQ(kests().size(), 1u);
    EXPECT_EQ(titles(kests()[0]), (std::vector<std::string>{"Code", "Docs", "Projects"}));
    EXPECT_EQ(titles(*EdgeProximityTracker::shared().activeLayout), titles(kests()[0]));
}

TEST_F(SaveCommandTest, OverwritingKeepsIdentityHotKeyCreationAndPlaceOnlyWhenConfirmed) {
    kests() = {existing("Other", 1), existing("Coding", 2), existing("coding", 3)};
    const std::vector<Layout> before = kests();
    answers = {{"Coding", false}, {"Coding", true}};
    sim->simAlerts().answers = {alertFirstButtonReturn + 1};

    command.run();
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0].messageText, "A kest named “Coding” already exists");
    EXPECT_EQ(alerts()[0].informativeText, "Overwrite the existing kest? Its hotkey is kept.");
    EXPECT_EQ(alerts()[0].buttons, (std::vector<std::string>{"Overwrite", "Cancel"}));
    EXPECT_EQ(kests(), before) << "declined: nothing changes";
    EXPECT_FALSE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(flashes, 0);
    EXPECT_FALSE(sim->simFiles().exists(LayoutStore::shared().fileURL));

    sim->simClock().start += 500;
    command.run();
    ASSERT_EQ(kests().size(), 3u);
    const Layout& saved = kests()[1];
    EXPECT_EQ(saved.id, before[1].id);
    EXPECT_EQ(saved.name, "Coding");
    EXPECT_EQ(saved.hotkey, before[1].hotkey);
    EXPECT_EQ(saved.createdAt, before[1].createdAt);
    EXPECT_NE(saved.updatedAt, before[1].updatedAt);
    EXPECT_EQ(titles(saved), (std::vector<std::string>{"Code", "Docs", "Notes"})) << "the new scope's items";
    EXPECT_EQ(kests()[2], before[2]) << "letter case makes another kest";
    EXPECT_EQ(stored(), kests());
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->id, saved.id);
    EXPECT_EQ(flashes, 1);
}

TEST_F(SaveCommandTest, AFailedSavePutsTheListBackAndSaysSo) {
    kests() = {existing("Coding", 2)};
    const std::vector<Layout> before = kests();
    LayoutStore::shared().loadFailed = true;
    answers = {{"New", false}, {"Coding", false}};

    command.run();
    command.run();

    EXPECT_EQ(kests(), before) << "the append and the overwrite are both undone";
    ASSERT_EQ(alerts().size(), 3u);
    for (const AlertRequest* failure : {&alerts()[0], &alerts()[2]}) {
        EXPECT_EQ(failure->style, AlertStyle::critical);
        EXPECT_EQ(failure->messageText, "Couldn't save your kests");
        EXPECT_EQ(failure->informativeText,
                  "Your existing kests are unchanged. kestr couldn't read the kest file when it started, so it "
                  "won't replace it until it can. Technical details are in Console.");
    }
    EXPECT_EQ(std::count_if(sim->simLog().lines().begin(), sim->simLog().lines().end(),
                            [](const std::string& l) { return l.starts_with("kestr: failed to save kests: "); }),
              2);
    EXPECT_FALSE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(rebuilds + flashes, 0);
}

TEST_F(SaveCommandTest, TheCaptureShortcutUnderTheDialogOnlyBringsItForward) {
    auto& hotkeys = HotkeyManager::shared();
    hotkeys.captureHandler = [this] { command.run(); };
    hotkeys.sync({}, {});
    duringDialog = [this] {
        duringDialog = nullptr;
        EXPECT_TRUE(sim->simHotKeys().pressHotKey(36, 0x1900));
        sim->virtualTime().runPending();
    };
    answers = {{"First", false}, {"Second", false}};

    EXPECT_TRUE(sim->simHotKeys().pressHotKey(36, 0x1900));
    sim->virtualTime().runPending();

    EXPECT_EQ(requests.size(), 1u) << "no second dialog inside the first";
    EXPECT_EQ(broughtForward, 1);
    ASSERT_EQ(kests().size(), 1u);
    EXPECT_EQ(kests()[0].name, "First");
    EXPECT_FALSE(command.running());

    EXPECT_TRUE(sim->simHotKeys().pressHotKey(36, 0x1900));
    sim->virtualTime().runPending();
    EXPECT_EQ(requests.size(), 2u) << "once the first save ended, the shortcut saves again";
    EXPECT_EQ(kests().size(), 2u);
}

TEST_F(SaveCommandTest, WithoutPermissionItAsksForItAndCapturesNothing) {
    sim->world().trusted = false;
    PermissionManager::shared().refresh();
    sim->simAlerts().answers = {alertFirstButtonReturn + 1};

    command.run();

    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0].messageText, "Accessibility permission required");
    EXPECT_EQ(alerts()[0].buttons, (std::vector<std::string>{"Open Settings", "Grant…", "Cancel"}));
    EXPECT_EQ(sim->simAccessibility().promptsShown(), 1);
    EXPECT_TRUE(PermissionManager::shared().fastTimer) << "the fast watch runs after the prompt";
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(kests().empty());
    EXPECT_FALSE(command.running());
}

TEST_F(SaveCommandTest, RefusedHotKeysAreLoggedAndTheSaveStands) {
    sim->simHotKeys().holdByOtherProgram(18, 0x1900);
    answers = {{"Coding", false}};
    command.run();

    ASSERT_EQ(kests().size(), 1u);
    EXPECT_TRUE(logged("kestr: saved “Coding” — hotkey conflicts (another app owns the key): Coding"));
    EXPECT_EQ(flashes, 1);

    // A key kestr itself holds is named with its holder, not blamed on another app.
    sim->simHotKeys().releaseByOtherProgram(18, 0x1900);
    SnapStore::shared().bindings = {SnapBinding{Uuid::random(), SnapAction::maximize, Hotkey{18, 0x1900}}};
    kests().clear();
    answers = {{"Coding", false}};
    command.run();
    EXPECT_TRUE(
        logged("kestr: saved “Coding” — hotkey conflicts (kestr's own shortcuts hold the key): snap "
               "“Maximize” (⌃⌥⌘1, held by kest “Coding”)"));

    // Nor is a key this keyboard does not have: it is said to be missing.
    SnapStore::shared().bindings[0].hotkey = Hotkey{80, 0x900};
    sim->simHotKeys().missingKeys = {80};
    kests().clear();
    answers = {{"Coding", false}};
    command.run();
    EXPECT_TRUE(
        logged("kestr: saved “Coding” — hotkeys not registered (this keyboard has no such key): Snap: Maximize"));
    EXPECT_EQ(std::count_if(sim->simLog().lines().begin(), sim->simLog().lines().end(),
                            [](const std::string& l) { return l.find("another app") != std::string::npos; }),
              1);
}

}  // namespace
}  // namespace kestr::test
