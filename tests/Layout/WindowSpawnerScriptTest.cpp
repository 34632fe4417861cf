// The fresh-window scripts, compared letter for letter.
#include <gtest/gtest.h>

#include "Layout/WindowSpawner.h"

namespace kestr {
namespace {

LayoutItem itemOf(const std::string& bundleID) {
    LayoutItem item;
    item.appBundleID = bundleID;
    item.appName = "App";
    return item;
}

// x 10.5 to 110.4, y -20.5 to 79.5: edges 11, -21, 110 and 80.
const Rect kFrame(10.5, -20.5, 99.9, 100);

TEST(WindowSpawnerScriptTest, ScriptedApplications) {
    for (const char* id : {"com.apple.finder", "com.apple.Safari", "com.google.Chrome", "com.google.Chrome.canary",
                           "com.apple.Terminal", "com.mitchellh.ghostty", "com.googlecode.iterm2"}) {
        EXPECT_TRUE(WindowSpawner::spawnsNewWindow(id)) << id;
        EXPECT_EQ(WindowSpawner::titleDrifts(id), std::string(id) != "com.apple.finder") << id;
    }
    EXPECT_FALSE(WindowSpawner::spawnsNewWindow("com.apple.Finder"));
    EXPECT_FALSE(WindowSpawner::titleDrifts("com.apple.Finder"));
    EXPECT_FALSE(WindowSpawner::spawnsNewWindow("com.google.Chrome.app.abc"));
    EXPECT_EQ(WindowSpawner::makeWindowSource(itemOf("com.apple.Finder"), kFrame),
              "tell application id \"com.apple.Finder\" to make new window");
}

TEST(WindowSpawnerScriptTest, HostileBundleIdentifierGetsNoScript) {
    const auto item = itemOf("com.x\" to do shell script \"touch /tmp/pwned\" --");
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame), "");
    try {
        WindowSpawner::run("", item.appBundleID);
        FAIL() << "an empty script ran";
    } catch (const WindowSpawner::SpawnError& e) {
        EXPECT_EQ(e.kind(), WindowSpawner::SpawnError::Kind::scriptFailed);
        EXPECT_EQ(e.code(), 0);
        EXPECT_EQ(e.message(), "could not compile script");
    }
}

TEST(WindowSpawnerScriptTest, FinderWithEscapedPathBoundsAndSidebar) {
    auto item = itemOf("com.apple.finder");
    item.finderPath = "/Users/a/say \"hi\"\\x\ny";
    item.finderSidebarWidth = 200;
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              "tell application id \"com.apple.finder\"\n"
              "set w to make new Finder window\n"
              "try\nset bounds of w to {11, -21, 110, 80}\nend try\n"
              "try\nset target of w to (POSIX file \"/Users/a/say \\\"hi\\\"\\\\x\ny\" as alias)\nend try\n"
              "try\nset sidebar width of w to 200\nend try\n"
              "end tell");
    item.finderPath = "";
    item.finderSidebarWidth.reset();
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.apple.finder\"\nset w to make new Finder window\nend tell");
}

TEST(WindowSpawnerScriptTest, Safari) {
    auto item = itemOf("com.apple.Safari");
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.apple.Safari\"\nmake new document\nend tell");
    item.browserURL = "https://x.test/?q=\"1\"";
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              "tell application id \"com.apple.Safari\"\n"
              "make new document with properties {URL:\"https://x.test/?q=\\\"1\\\"\"}\n"
              "try\nset bounds of front window to {11, -21, 110, 80}\nend try\n"
              "end tell");
}

TEST(WindowSpawnerScriptTest, ChromeTabs) {
    auto item = itemOf("com.google.Chrome");
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.google.Chrome\"\nset w to make new window\nend tell");

    item.browserTabs = std::vector<std::string>{"", ""};
    item.browserURL = "https://u.test/";
    item.browserActiveTabIndex = 1;
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.google.Chrome\"\n"
              "set w to make new window\n"
              "try\nset URL of active tab of w to \"https://u.test/\"\nend try\n"
              "try\nset active tab index of w to 1\nend try\n"
              "end tell");

    auto canary = itemOf("com.google.Chrome.canary");
    canary.browserTabs = std::vector<std::string>{"https://a.test/", "", "https://b.test/"};
    EXPECT_EQ(WindowSpawner::makeWindowSource(canary, kFrame),
              "tell application id \"com.google.Chrome.canary\"\n"
              "set w to make new window\n"
              "try\nset bounds of w to {11, -21, 110, 80}\nend try\n"
              "try\nset URL of active tab of w to \"https://a.test/\"\nend try\n"
              "try\nmake new tab at end of tabs of w with properties {URL:\"https://b.test/\"}\nend try\n"
              "try\nset active tab index of w to 1\nend try\n"
              "end tell");
}

const char* kProfileBlock =
    "tell application id \"com.apple.Terminal\"\n"
    "try\nset current settings of selected tab of front window to settings set \"Pro \\\"Dark\\\"\"\nend try\n"
    "end tell\n";

TEST(WindowSpawnerScriptTest, TerminalSendsUsableCommandsUntrimmed) {
    auto item = itemOf("com.apple.Terminal");
    item.terminalProfile = "Pro \"Dark\"";
    item.terminalTabs = std::vector<std::string>{"  ", "ls "};
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              std::string("tell application id \"com.apple.Terminal\"\n"
                          "activate\n"
                          "do script \"ls \"\n"
                          "try\nset bounds of front window to {11, -21, 110, 80}\nend try\n"
                          "end tell\n") +
                  kProfileBlock);

    item.terminalTabs = std::vector<std::string>{" \t", ""};
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.apple.Terminal\"\ndo script \"\"\nend tell");
}

TEST(WindowSpawnerScriptTest, TerminalExtraTabsByKeystroke) {
    auto item = itemOf("com.apple.Terminal");
    item.terminalTabs = std::vector<std::string>{"cd ~", "echo \"a\\b\""};
    const std::string extraTab =
        "delay 0.35\n"
        "tell application \"System Events\"\n"
        "tell process \"Terminal\"\n"
        "set frontmost to true\n"
        "keystroke \"t\" using command down\n"
        "end tell\n"
        "end tell\n"
        "delay 0.35\n"
        "tell application id \"com.apple.Terminal\" to do script \"echo \\\"a\\\\b\\\"\" in front window\n";
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.apple.Terminal\"\nactivate\ndo script \"cd ~\"\nend tell\n" + extraTab);
    item.terminalProfile = "Pro \"Dark\"";
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.apple.Terminal\"\nactivate\ndo script \"cd ~\"\nend tell\n" +
                  std::string(kProfileBlock) + extraTab + kProfileBlock);
}

TEST(WindowSpawnerScriptTest, GhosttySplitsOrTabsAndNeverSetsBounds) {
    auto item = itemOf("com.mitchellh.ghostty");
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              "tell application id \"com.mitchellh.ghostty\"\nnew window\nend tell");
    item.terminalTabs = std::vector<std::string>{"cd '/a'"};
    item.terminalSplitMode = "columns";
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              "tell application id \"com.mitchellh.ghostty\"\n"
              "set win to new window with configuration {initial input:\"cd '/a'\" & return}\n"
              "end tell");
    item.terminalTabs = std::vector<std::string>{"a", "b", "c"};
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              "tell application id \"com.mitchellh.ghostty\"\n"
              "set win to new window with configuration {initial input:\"a\" & return}\n"
              "split (focused terminal of selected tab of win) direction right with configuration "
              "{initial input:\"b\" & return}\n"
              "split (focused terminal of selected tab of win) direction right with configuration "
              "{initial input:\"c\" & return}\n"
              "end tell");
    item.terminalSplitMode = "rows";
    item.terminalTabs = std::vector<std::string>{"a", "b"};
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.mitchellh.ghostty\"\n"
              "set win to new window with configuration {initial input:\"a\" & return}\n"
              "split (focused terminal of selected tab of win) direction down with configuration "
              "{initial input:\"b\" & return}\n"
              "end tell");
    item.terminalSplitMode = "Columns";
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, std::nullopt),
              "tell application id \"com.mitchellh.ghostty\"\n"
              "set win to new window with configuration {initial input:\"a\" & return}\n"
              "new tab in win with configuration {initial input:\"b\" & return}\n"
              "end tell");
}

TEST(WindowSpawnerScriptTest, ITerm2) {
    auto item = itemOf("com.googlecode.iterm2");
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              "tell application id \"com.googlecode.iterm2\"\nactivate\ncreate window with default profile\nend tell");
    item.terminalTabs = std::vector<std::string>{"top", "", "vi \"x\""};
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              "tell application id \"com.googlecode.iterm2\"\n"
              "activate\n"
              "set w to (create window with default profile)\n"
              "try\nset bounds of w to {11, -21, 110, 80}\nend try\n"
              "tell current session of w to write text \"top\"\n"
              "tell w to create tab with default profile\n"
              "tell current session of w to write text \"vi \\\"x\\\"\"\n"
              "end tell");
}

}  // namespace
}  // namespace kestr
