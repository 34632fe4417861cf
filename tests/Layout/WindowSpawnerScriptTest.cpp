// Window scripts, and how the scripting system's answers become errors.
#include "Layout/WindowSpawner.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using SpawnError = WindowSpawner::SpawnError;

LayoutItem itemOf(const std::string& bundleID) {
    LayoutItem item;
    item.appBundleID = bundleID;
    return item;
}

// x 10.5 to 110.4, y -20.5 to 79.5: edges 11, -21, 110 and 80.
const Rect kFrame(10.5, -20.5, 99.9, 100);

class WindowSpawnerScriptTest : public test::SimTest {
protected:
    // The message of the error that running a script answered with `outcome` throws.
    std::string failureFor(ScriptOutcome outcome) {
        sim->simScriptHost().handler = [outcome](const std::string&) { return outcome; };
        try {
            WindowSpawner::run("tell application id \"com.apple.Safari\" to make new document", "com.apple.Safari");
        } catch (const SpawnError& e) {
            return e.what();
        }
        return "(no failure)";
    }
};

TEST_F(WindowSpawnerScriptTest, ErrorsBecomeSentences) {
    EXPECT_EQ(failureFor(SimScriptHost::failure(-1743, "Not authorized to send Apple events.")),
              "Automation permission needed to open a new window in com.apple.Safari.");
    EXPECT_EQ(failureFor(SimScriptHost::failure(-2710, "Can't make class document.")),
              "com.apple.Safari refused a new window (AppleScript -2710: Can't make class document.).");
}

TEST_F(WindowSpawnerScriptTest, HostileBundleIdentifierRunsNothing) {
    LayoutItem item =
        itemOf("com.x\" to make new window\ndo shell script \"touch /tmp/pwned\"\ntell application id \"y");
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame), "");
    EXPECT_THROW(WindowSpawner::run(WindowSpawner::makeWindowSource(item, kFrame), item.appBundleID), SpawnError);
    WindowSpawner::setContentOnFrontWindow(item, kFrame);
    WindowSpawner::addSavedTabsToReusedWindow(item, "Title");
    EXPECT_TRUE(sim->simScriptHost().sources().empty());
}

TEST_F(WindowSpawnerScriptTest, SavedTabsGoOnlyToAChromeWindowWithAMatchingTitle) {
    auto chrome = itemOf("com.google.Chrome");
    WindowSpawner::addSavedTabsToReusedWindow(chrome, "Inbox");  // no tabs
    chrome.browserTabs = std::vector<std::string>{"", "https://a.test/\"1\""};
    WindowSpawner::addSavedTabsToReusedWindow(chrome, "");  // no title
    auto safari = itemOf("com.apple.Safari");
    safari.browserTabs = chrome.browserTabs;
    WindowSpawner::addSavedTabsToReusedWindow(safari, "Inbox");
    EXPECT_TRUE(sim->simScriptHost().sources().empty());

    WindowSpawner::addSavedTabsToReusedWindow(chrome, "Inbox \"1\" - Google Chrome");
    ASSERT_EQ(sim->simScriptHost().sources().size(), 1u);
    const std::string& script = sim->simScriptHost().sources().front();
    EXPECT_NE(script.find("if \"Inbox \\\"1\\\" - Google Chrome\" contains (title of w) and (title of w) is not \"\""),
              std::string::npos);
    EXPECT_NE(script.find("repeat with u in {\"https://a.test/\\\"1\\\"\"}\n"), std::string::npos);
}

TEST(WindowSpawnerScripts, GhosttySplitsInOneWindowAndNeverSetsBounds) {
    auto item = itemOf("com.mitchellh.ghostty");
    item.terminalTabs = std::vector<std::string>{"a", "b"};
    item.terminalSplitMode = "rows";
    const std::string first =
        "tell application id \"com.mitchellh.ghostty\"\n"
        "set win to new window with configuration {initial input:\"a\" & return}\n";
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              first +
                  "split (focused terminal of selected tab of win) direction down with configuration "
                  "{initial input:\"b\" & return}\nend tell");
    // An unknown mode opens tabs instead.
    item.terminalSplitMode = "Columns";
    EXPECT_EQ(WindowSpawner::makeWindowSource(item, kFrame),
              first + "new tab in win with configuration {initial input:\"b\" & return}\nend tell");
}

}  // namespace
}  // namespace kestr
