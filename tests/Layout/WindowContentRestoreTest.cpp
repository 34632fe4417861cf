// Scripts for windows that are already open: bounds and content of the front window,
// saved tabs added to a reused Chrome window, Terminal's profiles.
#include "Layout/WindowSpawner.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

const Rect kFrame(0, 25, 800, 575);

class WindowContentRestoreTest : public test::SimTest {
protected:
    static LayoutItem itemOf(const std::string& bundleID) {
        LayoutItem item;
        item.appBundleID = bundleID;
        item.appName = "App";
        return item;
    }
    // The one script the call ran; "" when it ran none.
    std::string scriptOf(const LayoutItem& item, const std::optional<Rect>& frame) {
        sim->simScriptHost().clearSources();
        WindowSpawner::setContentOnFrontWindow(item, frame);
        const auto& sources = sim->simScriptHost().sources();
        EXPECT_LE(sources.size(), 1u);
        return sources.empty() ? "" : sources.front();
    }
    static std::string bounds(const std::string& bundleID, const std::string& ref) {
        return "tell application id \"" + bundleID + "\"\ntry\nset bounds of " + ref +
               " to {0, 25, 800, 600}\nend try\nend tell";
    }
};

TEST_F(WindowContentRestoreTest, FinderBoundsAndContent) {
    auto item = itemOf("com.apple.finder");
    item.finderPath = "/Users/a/\"q\"";
    item.finderSidebarWidth = 180;
    EXPECT_EQ(scriptOf(item, kFrame), bounds("com.apple.finder", "Finder window 1") +
                                          "\ntell application id \"com.apple.finder\"\n"
                                          "try\nset target of Finder window 1 to (POSIX file \"/Users/a/\\\"q\\\"\" "
                                          "as alias)\nend try\n"
                                          "try\nset sidebar width of Finder window 1 to 180\nend try\n"
                                          "end tell");
    item.finderPath.reset();
    EXPECT_EQ(scriptOf(item, std::nullopt),
              "tell application id \"com.apple.finder\"\ntry\nset sidebar width of Finder window 1 to 180\nend try\n"
              "end tell");
    item.finderSidebarWidth.reset();
    item.finderPath = "";
    EXPECT_EQ(scriptOf(item, kFrame), bounds("com.apple.finder", "Finder window 1"));
    EXPECT_EQ(scriptOf(item, std::nullopt), "");
}

TEST_F(WindowContentRestoreTest, SafariFillsDocumentOneAndBoundsTheFrontWindow) {
    auto item = itemOf("com.apple.Safari");
    item.browserURL = "https://s.test/\"x\"";
    EXPECT_EQ(scriptOf(item, kFrame),
              bounds("com.apple.Safari", "front window") +
                  "\ntell application id \"com.apple.Safari\" to set URL of document 1 to \"https://s.test/\\\"x\\\"\"");
    item.browserURL = "";
    EXPECT_EQ(scriptOf(item, kFrame), bounds("com.apple.Safari", "front window"));
}

TEST_F(WindowContentRestoreTest, ChromeTabsGoIntoWindowOne) {
    auto item = itemOf("com.google.Chrome.canary");
    item.browserTabs = std::vector<std::string>{"https://a.test/", "https://b.test/"};
    EXPECT_EQ(scriptOf(item, kFrame),
              bounds("com.google.Chrome.canary", "window 1") +
                  "\ntell application id \"com.google.Chrome.canary\"\n"
                  "try\nset URL of active tab of window 1 to \"https://a.test/\"\nend try\n"
                  "try\nmake new tab at end of tabs of window 1 with properties {URL:\"https://b.test/\"}\nend try\n"
                  "try\nset active tab index of window 1 to 1\nend try\n"
                  "end tell");
}

TEST_F(WindowContentRestoreTest, TerminalTypesTheFirstCommandIntoWindowOne) {
    auto item = itemOf("com.apple.Terminal");
    item.terminalTabs = std::vector<std::string>{" ", "cd ~/src", "make"};
    item.terminalProfile = "Ocean";
    item.terminalSplitMode = "columns";
    const std::string profile =
        "tell application id \"com.apple.Terminal\"\n"
        "try\nset current settings of selected tab of front window to settings set \"Ocean\"\nend try\n"
        "end tell\n";
    EXPECT_EQ(scriptOf(item, kFrame),
              bounds("com.apple.Terminal", "window 1") +
                  "\ntell application id \"com.apple.Terminal\"\nactivate\ndo script \"cd ~/src\" in window 1\n"
                  "end tell\n" +
                  profile +
                  "delay 0.35\ntell application \"System Events\"\ntell process \"Terminal\"\n"
                  "set frontmost to true\nkeystroke \"t\" using command down\nend tell\nend tell\ndelay 0.35\n"
                  "tell application id \"com.apple.Terminal\" to do script \"make\" in front window\n" +
                  profile);
    item.terminalTabs = std::vector<std::string>{"\t"};
    EXPECT_EQ(scriptOf(item, kFrame), bounds("com.apple.Terminal", "window 1"));
}

TEST_F(WindowContentRestoreTest, GhosttyGetsContentButNoBounds) {
    auto item = itemOf("com.mitchellh.ghostty");
    item.terminalTabs = std::vector<std::string>{"cd '/a'", "cd '/b'"};
    item.terminalSplitMode = "rows";
    EXPECT_EQ(scriptOf(item, kFrame),
              "tell application id \"com.mitchellh.ghostty\"\n"
              "activate\n"
              "set win to front window\n"
              "input text \"cd '/a'\" & return to focused terminal of selected tab of win\n"
              "new tab in win with configuration {initial input:\"cd '/b'\" & return}\n"
              "end tell");
    item.terminalTabs.reset();
    EXPECT_EQ(scriptOf(item, kFrame), "");
}

TEST_F(WindowContentRestoreTest, ITerm2WritesIntoTheCurrentWindow) {
    auto item = itemOf("com.googlecode.iterm2");
    item.terminalTabs = std::vector<std::string>{"htop", "ls"};
    EXPECT_EQ(scriptOf(item, kFrame),
              bounds("com.googlecode.iterm2", "current window") +
                  "\ntell application id \"com.googlecode.iterm2\"\n"
                  "activate\n"
                  "set w to current window\n"
                  "tell current session of w to write text \"htop\"\n"
                  "tell w to create tab with default profile\n"
                  "tell current session of w to write text \"ls\"\n"
                  "end tell");
}

TEST_F(WindowContentRestoreTest, OtherApplicationsAndScriptErrors) {
    auto item = itemOf("com.example.Editor");
    item.browserURL = "https://x.test/";
    item.terminalTabs = std::vector<std::string>{"ls"};
    EXPECT_EQ(scriptOf(item, kFrame), "");

    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::failure(-1743, "Not allowed."); };
    auto finder = itemOf("com.apple.finder");
    EXPECT_NO_THROW(WindowSpawner::setContentOnFrontWindow(finder, kFrame));
    auto chrome = itemOf("com.google.Chrome");
    chrome.browserURL = "https://x.test/";
    EXPECT_NO_THROW(WindowSpawner::addSavedTabsToReusedWindow(chrome, "X"));
    EXPECT_EQ(sim->simScriptHost().sources().size(), 2u);
}

TEST_F(WindowContentRestoreTest, SavedTabsAreAddedToTheWindowWhoseTitleMatches) {
    auto item = itemOf("com.google.Chrome");
    item.browserTabs = std::vector<std::string>{"", "https://a.test/", "https://b.test/?q=\"1\""};
    WindowSpawner::addSavedTabsToReusedWindow(item, "Inbox \"1\" - Mail - Google Chrome");
    ASSERT_EQ(sim->simScriptHost().sources().size(), 1u);
    EXPECT_EQ(sim->simScriptHost().sources().front(),
              "tell application id \"com.google.Chrome\"\n"
              "  repeat with w in windows\n"
              "    try\n"
              "      if \"Inbox \\\"1\\\" - Mail - Google Chrome\" contains (title of w) and (title of w) is not \"\" "
              "then\n"
              "        set openURLs to URL of tabs of w\n"
              "        set savedActive to active tab index of w\n"
              "        repeat with u in {\"https://a.test/\", \"https://b.test/?q=\\\"1\\\"\"}\n"
              "          if openURLs does not contain u then\n"
              "            make new tab at end of tabs of w with properties {URL:u}\n"
              "          end if\n"
              "        end repeat\n"
              "        try\n"
              "          set active tab index of w to savedActive\n"
              "        end try\n"
              "        exit repeat\n"
              "      end if\n"
              "    end try\n"
              "  end repeat\n"
              "end tell");
}

TEST_F(WindowContentRestoreTest, SavedTabsNeedChromeATitleAndTabs) {
    auto chrome = itemOf("com.google.Chrome");
    WindowSpawner::addSavedTabsToReusedWindow(chrome, "Inbox");
    chrome.browserTabs = std::vector<std::string>{"https://a.test/"};
    WindowSpawner::addSavedTabsToReusedWindow(chrome, "");
    auto safari = itemOf("com.apple.Safari");
    safari.browserTabs = chrome.browserTabs;
    WindowSpawner::addSavedTabsToReusedWindow(safari, "Inbox");
    EXPECT_TRUE(sim->simScriptHost().sources().empty());

    auto canary = itemOf("com.google.Chrome.canary");
    canary.browserURL = "https://only.test/";
    WindowSpawner::addSavedTabsToReusedWindow(canary, "Only");
    ASSERT_EQ(sim->simScriptHost().sources().size(), 1u);
    EXPECT_NE(sim->simScriptHost().sources().front().find("repeat with u in {\"https://only.test/\"}\n"),
              std::string::npos);
}

TEST_F(WindowContentRestoreTest, TerminalProfilesFromTheListResult) {
    sim->simScriptHost().handler = [](const std::string& source) -> std::optional<ScriptOutcome> {
        if (source != "tell application id \"com.apple.Terminal\" to get name of every settings set") return {};
        ScriptOutcome outcome;
        outcome.listItems = {"Basic", std::nullopt, "Pro \"Dark\""};
        return outcome;
    };
    EXPECT_EQ(WindowSpawner::terminalProfiles(), (std::vector<std::string>{"Basic", "Pro \"Dark\""}));

    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::success("Basic"); };
    EXPECT_TRUE(WindowSpawner::terminalProfiles().empty());
    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::failure(-600, "not running"); };
    EXPECT_TRUE(WindowSpawner::terminalProfiles().empty());
    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::notCreated(); };
    EXPECT_TRUE(WindowSpawner::terminalProfiles().empty());
}

}  // namespace
}  // namespace kestr
