// Start-up on the simulated desktop: the order of its steps and their log lines, the
// seeding of the default snap shortcuts, the kests tidied in memory only, and the word
// to the user when a store could not be loaded.
#include "App/AppDelegate.h"

#include <gmock/gmock.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "Layout/EdgeGroupDetector.h"
#include "MenuBarTest.h"
#include "Platform/FilePath.h"
#include "Snap/SnapStore.h"
#include "UI/Manager/KestListModel.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Shell/OnboardingWindow.h"

namespace kestr {
namespace {

using testing::HasSubstr;

class AppDelegateTest : public test::MenuBarTest {
protected:
    // One launch: fresh stores and registry, as a new process would have.
    AppDelegate& launch() {
        delegate = std::make_unique<AppDelegate>();
        delegate->makeStatusItem = [this] {
            auto recording = std::make_unique<test::RecordingStatusItem>();
            recording->keptStrip = statusStrip;
            item = recording.get();
            if (duringStartUp) duringStartUp();
            return recording;
        };
        delegate->applicationDidFinishLaunching();
        return *delegate;
    }
    void relaunch() {
        delegate.reset();
        // The next process starts with empty stores; the files and defaults stay.
        LayoutStore::shared().layouts.clear();
        SnapStore::shared().bindings.clear();
        launch();
    }
    void TearDown() override {
        delegate.reset();
        MenuBarTest::TearDown();
    }
    std::optional<PlistValue> setting(const char* key) { return Preferences::shared().defaults.object(key); }
    std::string snapsFile() { return SnapStore::shared().fileURL; }
    bool logged(const std::string& part) {
        for (const auto& line : sim->simLog().lines())
            if (line.find(part) != std::string::npos) return true;
        return false;
    }

    std::unique_ptr<AppDelegate> delegate;
    // Runs in the middle of start-up, after the stores were read.
    std::function<void()> duringStartUp;
    // The strip along the top of the main display the status item keeps once it shows.
    double statusStrip = 0;
};

TEST_F(AppDelegateTest, FirstLaunchSeedsEveryDefaultOnceAndOpensOnboarding) {
    launch();
    EXPECT_EQ(SnapStore::shared().bindings.size(), 41u);
    EXPECT_TRUE(sim->files().exists(snapsFile()));
    EXPECT_EQ(setting(AppDelegate::seededDefaultsVersionKey), PlistValue(2));
    EXPECT_EQ(setting(AppDelegate::didSeedDefaultSnapsKey), PlistValue(true));
    EXPECT_TRUE(logged("hotkeys registered"));
    EXPECT_TRUE(OnboardingWindow::shared().window() && OnboardingWindow::shared().window()->isVisible());
    ASSERT_NE(delegate->menuBarController, nullptr);
    EXPECT_EQ(item->image()->description, "kestr");
    EXPECT_EQ(sim->simUpdater().starts, 1);

    // The user removes a binding; with version 2 stored, nothing comes back.
    SnapStore::shared().bindings.pop_back();
    SnapStore::shared().save();
    Preferences::shared().defaults.remove(AppDelegate::didSeedDefaultSnapsKey);
    relaunch();
    EXPECT_EQ(SnapStore::shared().bindings.size(), 40u);
    EXPECT_FALSE(setting(AppDelegate::didSeedDefaultSnapsKey));

    // Version 1: exactly the missing action gets its default again.
    Preferences::shared().defaults.set(AppDelegate::seededDefaultsVersionKey, PlistValue(1));
    relaunch();
    EXPECT_EQ(SnapStore::shared().bindings.size(), 41u);
}

// A start removes the temporary files that saves of the stores left when their process
// was killed, also one whose parent has not yet waited for it, and beside the file the
// kest file links to; another process's write in progress and every other name stay.
TEST_F(AppDelegateTest, AStartRemovesWhatSavesCutShortLeftAndNothingElse) {
    namespace fs = std::filesystem;
    const auto endedChild = [](bool waited) {
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(0);
        siginfo_t info{};
        ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | (waited ? 0 : WNOWAIT));
        return std::to_string(pid);
    };
    const std::string unwaited = endedChild(false), ended = endedChild(true);
    const std::string running = std::to_string(::getppid());
    const std::string folder = parentFolder(snapsFile()), elsewhere = folder + "/../dotfiles";
    fs::create_directories(elsewhere);
    std::ofstream(elsewhere + "/kests.json") << R"({"layouts":[],"version":1})";
    fs::create_symlink(elsewhere + "/kests.json", LayoutStore::shared().fileURL);
    const struct {
        std::string path;
        bool removed;
    } files[] = {
        {folder + "/.snaps.json.tmp-" + unwaited + "-Ab12Cd", true},
        {folder + "/.snaps.json.tmp-" + ended + "-Ab12Cd", true},
        {elsewhere + "/.kests.json.tmp-" + unwaited + "-Cd34Ef", true},
        {elsewhere + "/.kests.json.tmp-" + ended + "-Cd34Ef", true},
        {folder + "/.snaps.json.tmp-" + running + "-Ef56Gh", false},
        {folder + "/snaps.json.tmp-" + ended + "-Ab12Cd", false},
        {folder + "/.notes.json.tmp-" + ended + "-Ab12Cd", false},
        {folder + "/.snaps.json.tmp-" + ended + "-Ab12Cd.txt", false},
        {elsewhere + "/.kests.json.tmp-mine", false},
    };
    for (const auto& f : files) std::ofstream(f.path) << "{";
    launch();
    for (const auto& f : files) EXPECT_EQ(fs::exists(f.path), !f.removed) << f.path;
    ::waitpid(std::stoi(unwaited), nullptr, 0);
}

TEST_F(AppDelegateTest, ASeedingThatCannotBeSavedRunsAgainAtTheNextLaunch) {
    sim->simFiles().failOperation(FileOperation::atomicWrite, "snaps.json");
    launch();
    EXPECT_TRUE(logged("kestr: failed to save seeded snap defaults: "));
    EXPECT_EQ(SnapStore::shared().bindings.size(), 41u) << "registered from memory for this session";
    EXPECT_FALSE(setting(AppDelegate::seededDefaultsVersionKey));
    EXPECT_FALSE(setting(AppDelegate::didSeedDefaultSnapsKey));

    relaunch();
    EXPECT_TRUE(sim->files().exists(snapsFile()));
    EXPECT_EQ(setting(AppDelegate::seededDefaultsVersionKey), PlistValue(2));
}

TEST_F(AppDelegateTest, TidiedKestsAreWrittenBackAsStoredUnlessTheUserChangesThem) {
    // Reaches under the menu bar of the 1920 × 1200 display (25 points).
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Under the bar";
    LayoutItem underBar;
    underBar.id = Uuid::random();
    underBar.appBundleID = "com.example.Notes";
    underBar.appName = "Notes";
    underBar.windowMatcher = WindowMatcher::firstWindow();
    underBar.targetFrame = ScreenFrame{"37D8832A-2D66-4B0F-9F3F-1234567890AB", 100, 0, 800, 600, {}, {}, {}, {}};
    kest.items = {underBar};
    Layout other = kest;
    other.id = Uuid::random();
    other.name = "Other";
    other.items[0].id = Uuid::random();
    // Two windows side by side: the start-up finds their shared edge again, under a new id.
    Layout halves = other;
    halves.id = Uuid::random();
    halves.name = "Halves";
    halves.items[0].targetFrame = ScreenFrame{"37D8832A-2D66-4B0F-9F3F-1234567890AB", 0, 100, 960, 600, {}, {}, {}, {}};
    halves.items.push_back(halves.items[0]);
    halves.items[1].id = Uuid::random();
    halves.items[1].targetFrame.x = 960;
    halves.edgeGroups = EdgeGroupDetector::detectGroups(halves.items, 4, 120);
    ASSERT_EQ(halves.edgeGroups.size(), 1u);
    LayoutStore::shared().layouts = {kest, other, halves};
    LayoutStore::shared().save();
    const std::string stored = sim->files().read(LayoutStore::shared().fileURL);
    LayoutStore::shared().layouts.clear();

    launch();
    EXPECT_EQ(LayoutStore::shared().layouts[0].items[0].targetFrame.y, 25) << "clipped in memory";
    EXPECT_NE(LayoutStore::shared().layouts[2].edgeGroups, halves.edgeGroups) << "found again in memory";
    EXPECT_EQ(sim->files().read(LayoutStore::shared().fileURL), stored) << "nothing saved at start-up";

    // An unrelated save (a rename of the other kest) keeps the first as it was stored.
    LayoutStore::shared().layouts[1].name = "Renamed";
    LayoutStore::shared().save();
    LayoutStore check(LayoutStore::shared().fileURL);
    check.load();
    EXPECT_EQ(check.layouts[0], kest);
    EXPECT_EQ(check.layouts[2], halves);
    EXPECT_EQ(check.layouts[1].name, "Renamed");
    EXPECT_EQ(check.layouts[1].items[0].targetFrame.y, 25) << "a changed kest is written as it now is";
}

// A status button of its own keeps a strip along the top of a main display that has no
// menu bar, but only once it shows: a frame above the screen is tidied to below it, and
// tidied again from its stored form when the window manager puts the button lower.
TEST_F(AppDelegateTest, TheTidyingLeavesTheStripTheStatusButtonKeeps) {
    sim->world().displays[0].insets.top = 0;
    Layout kest = kestOfNotes("Above", std::nullopt);
    kest.items[0].targetFrame.y = -50;
    LayoutStore::shared().layouts = {kest, kestOfNotes("Other", std::nullopt)};
    LayoutStore::shared().save();
    LayoutStore::shared().layouts.clear();
    statusStrip = 22;
    launch();
    EXPECT_EQ(LayoutStore::shared().layouts.at(0).items[0].targetFrame.y, 22);
    EXPECT_EQ(LayoutStore::shared().layouts.at(0).items[0].targetFrame.height, 628);

    item->keptStrip = 29;
    ASSERT_TRUE(item->onKeptStripChange);
    item->onKeptStripChange();
    EXPECT_EQ(LayoutStore::shared().layouts.at(0).items[0].targetFrame.y, 29);
    EXPECT_EQ(LayoutStore::shared().layouts.at(0).items[0].targetFrame.height, 621);
    LayoutStore::shared().layouts[1].name = "Renamed";
    LayoutStore::shared().save();
    LayoutStore check(LayoutStore::shared().fileURL);
    check.load();
    EXPECT_EQ(check.layouts.at(0), kest) << "an unrelated save wrote a tidied form";
}

TEST_F(AppDelegateTest, AnotherProcessRewritingTheStoresIsTakenInAndShown) {
    launch();
    LayoutStore& layouts = LayoutStore::shared();
    layouts.layouts = {kestOfNotes("Mine", std::nullopt)};
    layouts.save();
    LayoutEditorWindow::shared().show(LayoutEditorWindow::Tab::kests);
    const auto registered = [&](Hotkey hotkey) {
        for (const auto& r : sim->simHotKeys().registrations())
            if (r.keyCode == hotkey.keyCode && r.modifiers == hotkey.modifiers) return true;
        return false;
    };
    const Hotkey oldLeftHalf = SnapStore::shared().binding(SnapAction::leftHalf)->hotkey;

    // Another process: a kest with a shortcut, and a new shortcut for a snap.
    LayoutStore other(layouts.fileURL);
    other.load();
    other.layouts.push_back(kestOfNotes("Theirs", Hotkey{18, 0x1300}));
    other.save();
    SnapStore otherSnaps(snapsFile());
    otherSnaps.load();
    otherSnaps.setHotkey(Hotkey{0, 0x1900}, SnapAction::leftHalf);
    otherSnaps.save();
    EXPECT_FALSE(registered(Hotkey{18, 0x1300}));
    sim->virtualTime().runPending();

    ASSERT_EQ(layouts.layouts.size(), 2u);
    EXPECT_EQ(layouts.layouts[1].name, "Theirs");
    EXPECT_EQ(LayoutEditorWindow::shared().listModel()->rowCount(), 2);
    EXPECT_TRUE(registered(Hotkey{18, 0x1300}));
    EXPECT_TRUE(registered(Hotkey{0, 0x1900}));
    EXPECT_FALSE(registered(oldLeftHalf));
    EXPECT_EQ(SnapStore::shared().bindings, otherSnaps.bindings);
}

TEST_F(AppDelegateTest, AKestFileAnotherProcessWritesDuringStartUpIsTakenIn) {
    duringStartUp = [] {
        LayoutStore other(LayoutStore::shared().fileURL);
        other.layouts = {kestOfNotes("Theirs", Hotkey{18, 0x1300})};
        other.save();
    };
    launch();
    sim->virtualTime().runPending();
    ASSERT_EQ(LayoutStore::shared().layouts.size(), 1u);
    EXPECT_EQ(LayoutStore::shared().layouts[0].name, "Theirs");
}

// One frame of 1e308 in the file once made every save of the session fail: tidying it
// overflowed to a number that cannot be written.
TEST_F(AppDelegateTest, AnExtremeFrameInTheFileLeavesEverySaveWorking) {
    Layout kest = kestOfNotes("Extreme", std::nullopt);
    kest.items[0].targetFrame.x = 1e308;
    kest.items[0].targetFrame.width = 1e308;
    kest.items.push_back(kest.items[0]);
    kest.items[1].id = Uuid::random();
    kest.items[1].targetFrame.x = -1e308;
    LayoutStore::shared().layouts = {kest};
    LayoutStore::shared().save();
    LayoutStore::shared().layouts.clear();

    launch();
    LayoutStore::shared().layouts[0].name = "Renamed";
    EXPECT_NO_THROW(LayoutStore::shared().save());
    LayoutStore check(LayoutStore::shared().fileURL);
    check.load();
    ASSERT_EQ(check.layouts.size(), 1u);
    for (const LayoutItem& stored : check.layouts[0].items) {
        EXPECT_LE(std::fabs(stored.targetFrame.x), ScreenFrame::coordinateLimit);
        EXPECT_LE(stored.targetFrame.width, ScreenFrame::coordinateLimit);
    }
}

TEST_F(AppDelegateTest, AShortcutKestrItselfHoldsIsLoggedWithItsHolder) {
    LayoutStore::shared().layouts = {kestOfNotes("First", Hotkey{0, 0x100}), kestOfNotes("Second", Hotkey{0, 0x100})};
    LayoutStore::shared().save();
    LayoutStore::shared().layouts.clear();

    launch();
    EXPECT_TRUE(
        logged("kestr: hotkey(s) already used by kestr's own shortcuts were not registered: kest “Second” "
               "(⌘A, held by kest “First”)"));
    EXPECT_FALSE(logged("conflicted with another app"));
}

// A key this keyboard does not have is not blamed on another program: the log says the
// keyboard has no such key, and counts as taken only the key another program holds.
TEST_F(AppDelegateTest, AKeyTheKeyboardLacksIsLoggedAsMissingNotAsTaken) {
    const Hotkey f19{80, 0x900}, f18{79, 0x900}, taken{0, 0x900};
    LayoutStore::shared().layouts = {kestOfNotes("Missing", f19), kestOfNotes("Taken", taken)};
    LayoutStore::shared().save();
    LayoutStore::shared().layouts.clear();
    SnapStore::shared().bindings = {SnapBinding{Uuid::random(), SnapAction::leftHalf, f18}};
    SnapStore::shared().save();
    SnapStore::shared().bindings.clear();
    sim->simHotKeys().missingKeys = {f19.keyCode, f18.keyCode};
    sim->simHotKeys().holdByOtherProgram(taken.keyCode, taken.modifiers);

    launch();
    for (const std::string& line :
         {std::string("kestr: 1 hotkey(s) conflicted with another app and were not registered"),
          std::string("kestr: 2 hotkey(s) were not registered: this keyboard has no such key"),
          "kestr[hotkey]: snap 'leftHalf' (" + f18.displayString() +
              ") FAILED to register — this keyboard has no such key"})
        EXPECT_TRUE(logged(line)) << line;
}

TEST_F(AppDelegateTest, AStoreThatFailedToLoadIsReportedWithWhereItsFileWasKept) {
    const std::string kests = LayoutStore::shared().fileURL;
    sim->files().createDirectories(parentFolder(kests));
    sim->files().writeAtomically(kests, "{ not json");
    sim->files().writeAtomically(SnapStore::shared().fileURL, "{}");
    sim->simFiles().failOperation(FileOperation::read, "snaps.json", 5);
    launch();
    EXPECT_TRUE(logged("kestr: failed to load layouts: "));
    EXPECT_TRUE(logged("kestr: failed to load snaps: "));
    const auto& alerts = sim->simAlerts().requests;
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].messageText, "kestr could not load your kests");
    ASSERT_TRUE(LayoutStore::shared().quarantined);
    const std::string keptAt = LayoutStore::shared().quarantined->path;
    EXPECT_THAT(alerts[0].informativeText, HasSubstr("kept at " + keptAt));
    EXPECT_TRUE(sim->files().exists(keptAt));
    EXPECT_EQ(alerts[1].messageText, "kestr could not load your snap shortcuts");
    EXPECT_THAT(alerts[1].informativeText, HasSubstr("The file " + SnapStore::shared().fileURL + " could not be read"));
    EXPECT_THAT(alerts[1].informativeText, HasSubstr("will not be saved"));

    // A damaged file with a good backup is set aside too: the log and the alert say why,
    // and where it went.
    sim->simAlerts().requests.clear();
    sim->files().writeAtomically(kests, "{\"layouts\": [], \"version\": 1}");
    sim->files().copy(kests, kests + ".bak");
    sim->files().writeAtomically(kests, "{\"layouts\": [{\"name\": 3}], \"version\": 1}");
    relaunch();
    ASSERT_TRUE(LayoutStore::shared().quarantined);
    const std::string why = LayoutStore::shared().quarantined->reason;
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(logged("kestr: quarantined corrupt layouts.json \u2192 " + LayoutStore::shared().quarantined->path +
                       ": " + why));
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts[0].messageText, "kestr took your kests from their backup");
    EXPECT_EQ(alerts[0].informativeText,
              "The file could not be read (" + why + "). It was kept at " + LayoutStore::shared().quarantined->path +
                  ", and kestr goes on with the copy made before the last save, without the changes of that save.");
}

TEST_F(AppDelegateTest, TheMenuBarHintComesOnceEightSecondsAfterLaunchOnANotchedScreen) {
    Preferences::shared().defaults.set(AppDelegate::didCompleteOnboardingKey, PlistValue(true));
    sim->world().displays[0].safeAreaTop = 32;
    launch();
    advance(7.9);
    EXPECT_TRUE(sim->simToasts().shown.empty());
    advance(0.1);
    ASSERT_EQ(sim->simToasts().shown.size(), 1u);
    EXPECT_EQ(sim->simToasts().shown[0].text,
              "Can't find kestr? It's in your menu bar — drag other icons aside if the notch hides it.");
    EXPECT_EQ(sim->simToasts().shown[0].duration, 4.0);
    relaunch();
    advance(10);
    EXPECT_EQ(sim->simToasts().shown.size(), 1u);

    // Opening the panel within the 8 seconds calls it off; no notch never schedules it.
    Preferences::shared().defaults.remove(AppDelegate::didShowNotchHintKey);
    relaunch();
    item->leftClick();
    advance(10);
    EXPECT_EQ(sim->simToasts().shown.size(), 1u);
    Preferences::shared().defaults.remove(AppDelegate::didOpenPanelOnceKey);
    sim->world().displays[0].safeAreaTop = 0;
    relaunch();
    advance(10);
    EXPECT_EQ(sim->simToasts().shown.size(), 1u);
    EXPECT_FALSE(setting(AppDelegate::didShowNotchHintKey));
}

}  // namespace
}  // namespace kestr
