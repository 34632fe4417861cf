// The display dump and the content dump, run in-process on the
// simulated desktop.
#include <gtest/gtest.h>

#include "App/DiagnosticModes.h"
#include "Support/DesktopTest.h"

namespace kestr {
namespace {

class DiagnosticModesTest : public test::DesktopTest {
protected:
    // A display with any identity, unlike addDisplay's.
    void display(std::optional<DisplayID> id, std::optional<std::string> uuid, Rect bounds, Insets insets = {}) {
        sim->world().displays.push_back(SimDisplay{id, std::move(uuid), bounds, insets});
    }
    std::int32_t app(const std::string& bundleID, const std::string& name) { return addApp(bundleID, name, {}).pid; }
    void window(std::int32_t pid, const std::string& title, Rect frame) {
        sim->world().addWindow(pid, DesktopTest::window(title, frame));
    }
    int run(Task<int> task) {
        int status = -1;
        spawn([](Task<int> t, int& out) -> Task<void> { out = co_await std::move(t); }(std::move(task), status));
        sim->virtualTime().runUntilIdle();
        return status;
    }
    CapturedOutput output;
};

TEST_F(DiagnosticModesTest, DisplayDumpWritesThreeLinesPerScreen) {
    display(1, "37D8832A-2D66-4B0F-9F3F-1234567890AB", Rect(0, 0, 1920, 1200), Insets{25, 0, 70, 0});
    display(std::nullopt, std::nullopt, Rect(1920, 0, 100, 100));
    display(7, std::nullopt, Rect(-1440.5, -300, 1440, 900));
    EXPECT_EQ(run(DiagnosticModes::displayDump(output)), 0);
    EXPECT_EQ(output.stdoutText,
              "=== Displays (CGMainDisplayID=1) ===\n"
              "  uuid=37D8832A id=1 [MAIN]\n"
              "      axBounds   =(0,0 1920x1200)\n"
              "      visibleLocal=(0,25 1920x1105)\n"
              "  (NSScreen with no displayID)\n"
              "  uuid=? id=7\n"
              "      axBounds   =(-1440,-300 1440x900)\n"
              "      visibleLocal=(0,0 1440x900)\n");
}

TEST_F(DiagnosticModesTest, ContentDumpListsReadingsProbesAndMatches) {
    addDisplay(1, Rect(0, 0, 1920, 1200));
    const auto finder = app("com.apple.finder", "Finder");
    window(finder, "Projects", Rect(-12.7, 40, 800, 500));
    window(finder, "Downloads", Rect(900, 600, 600, 400));  // added last: frontmost, listed first
    app("com.example.Notes", "Notes");
    sim->simScriptHost().handler = [](const std::string& source) -> std::optional<ScriptOutcome> {
        if (source.find("repeat") != std::string::npos || source.find("for i from") != std::string::npos)
            return SimScriptHost::success("-12,40,788,540\t180\t/Users/me/Projects\n");
        if (source.find("count of Finder windows") != std::string::npos) return SimScriptHost::success("2");
        if (source.find("get name of") != std::string::npos) return SimScriptHost::success(std::nullopt);
        if (source.find("as alias") != std::string::npos) return SimScriptHost::notCreated();
        return SimScriptHost::failure(-1743, "Not authorized to send Apple events to Finder.");
    };
    EXPECT_EQ(run(DiagnosticModes::contentDump(output)), 0);
    EXPECT_EQ(output.stdoutText,
              "=== AX windows (bundleID @ position size) ===\n"
              "  com.apple.finder  pos=(900,600)  size=(600,400)  title=Downloads\n"
              "  com.apple.finder  pos=(-12,40)  size=(800,500)  title=Projects\n"
              "\n=== Finder read (in-process) ===\n"
              "  frame=(-12.0, 40.0, 800.0, 500.0)  path=/Users/me/Projects\n"
              "\n=== Chrome read (in-process) ===\n"
              "  (empty — script failed, permission denied, or no windows)\n"
              "\n=== Finder target probe (in-process) ===\n"
              "  [finder-count] OK → 2\n"
              "  [finder-w1-name] OK → (non-string)\n"
              "  [finder-w1-target-url] ERROR -1743: Not authorized to send Apple events to Finder.\n"
              "  [finder-w1-target-posix] compile failed\n"
              "\n=== bestMatch per window ===\n"
              "  Finder  → (no match)\n"
              "  Finder  → /Users/me/Projects\n");
}

}  // namespace
}  // namespace kestr
