// Running scripts: how the scripting system's answers become errors.
#include "Layout/WindowSpawner.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using SpawnError = WindowSpawner::SpawnError;

class WindowSpawnerRunTest : public test::SimTest {
protected:
    // The error that running a script answered with `outcome` throws.
    SpawnError failureFor(ScriptOutcome outcome) {
        sim->simScriptHost().handler = [outcome](const std::string&) { return outcome; };
        try {
            WindowSpawner::run("tell application id \"com.apple.Safari\" to make new document", "com.apple.Safari");
        } catch (const SpawnError& e) {
            return e;
        }
        ADD_FAILURE() << "the script did not fail";
        return SpawnError::noNewWindow("");
    }
};

TEST_F(WindowSpawnerRunTest, SuccessRunsTheSourceOnce) {
    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::success("ignored"); };
    WindowSpawner::run("tell application id \"com.apple.finder\" to make new Finder window", "com.apple.finder");
    EXPECT_EQ(sim->simScriptHost().sources(),
              std::vector<std::string>{"tell application id \"com.apple.finder\" to make new Finder window"});
}

TEST_F(WindowSpawnerRunTest, ErrorsBecomeSentences) {
    const SpawnError refused = failureFor(SimScriptHost::failure(-1743, "Not authorized to send Apple events."));
    EXPECT_EQ(refused.kind(), SpawnError::Kind::notPermitted);
    EXPECT_STREQ(refused.what(), "Automation permission needed to open a new window in com.apple.Safari.");

    const SpawnError failed = failureFor(SimScriptHost::failure(-2710, "Can't make class document."));
    EXPECT_EQ(failed.kind(), SpawnError::Kind::scriptFailed);
    EXPECT_EQ(failed.code(), -2710);
    EXPECT_STREQ(failed.what(), "com.apple.Safari refused a new window (AppleScript -2710: Can't make class document.).");

    EXPECT_STREQ(failureFor(SimScriptHost::notCreated()).what(),
                 "com.apple.Safari refused a new window (AppleScript 0: could not compile script).");

    ScriptOutcome bare;
    bare.errorInfo = PlistDict{};
    EXPECT_STREQ(failureFor(bare).what(), "com.apple.Safari refused a new window (AppleScript 0: unknown error).");

    ScriptOutcome mistyped;
    mistyped.errorInfo = PlistDict{{"NSAppleScriptErrorNumber", "-1743"}, {"NSAppleScriptErrorMessage", 12}};
    const SpawnError odd = failureFor(mistyped);
    EXPECT_EQ(odd.kind(), SpawnError::Kind::scriptFailed);
    EXPECT_STREQ(odd.what(), "com.apple.Safari refused a new window (AppleScript 0: unknown error).");

    EXPECT_STREQ(SpawnError::noNewWindow("com.apple.Safari").what(),
                 "Asked com.apple.Safari for a new window but none appeared.");
}

TEST_F(WindowSpawnerRunTest, HostileBundleIdentifierRunsNothing) {
    LayoutItem item;
    item.appBundleID = "com.x\" to make new window\ndo shell script \"touch /tmp/pwned\"\ntell application id \"y";
    EXPECT_THROW(WindowSpawner::run(WindowSpawner::makeWindowSource(item, Rect(0, 0, 100, 100)), item.appBundleID),
                 SpawnError);
    WindowSpawner::setContentOnFrontWindow(item, Rect(0, 0, 100, 100));
    WindowSpawner::addSavedTabsToReusedWindow(item, "Title");
    EXPECT_TRUE(sim->simScriptHost().sources().empty());
}

}  // namespace
}  // namespace kestr
