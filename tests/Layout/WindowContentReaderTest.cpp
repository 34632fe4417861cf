// Running the read scripts and reading Ghostty's panes on the simulated desktop.
#include "Layout/WindowContentReader.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class WindowContentReaderTest : public test::SimTest {
protected:
    void answer(std::string text) {
        sim->simScriptHost().handler = [text](const std::string&) { return SimScriptHost::success(text); };
    }

    static SimElement pane(double x, double y) {
        SimElement scroll;
        scroll.role = "AXScrollArea";
        scroll.position = {x, y};
        scroll.size = {600, 400};
        return scroll;
    }
    static SimElement group(std::vector<SimElement> children) {
        SimElement g;
        g.role = "AXGroup";
        g.children = std::move(children);
        return g;
    }

    // A Ghostty process with one window per list of children.
    std::int32_t ghostty(std::vector<std::vector<SimElement>> windows) {
        SimApplication app;
        app.bundleID = "com.mitchellh.ghostty";
        app.name = "Ghostty";
        app.path = "/Applications/Ghostty.app";
        sim->world().install(app);
        const std::int32_t pid = sim->world().launch("com.mitchellh.ghostty").pid;
        for (auto& children : windows) {
            SimWindow window;
            window.title = "~";
            window.size = {1200, 800};
            window.children = std::move(children);
            sim->world().addWindow(pid, window);
        }
        return pid;
    }
};

TEST_F(WindowContentReaderTest, RunReturningStringGivesTextOrNothing) {
    answer("0,0,10,10\t-1\t/\n");
    EXPECT_EQ(WindowContentReader::runReturningString(WindowContentReader::finderReadScript()), "0,0,10,10\t-1\t/\n");
    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::failure(-1743, "Not allowed."); };
    EXPECT_EQ(WindowContentReader::runReturningString("return 1"), "");
    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::notCreated(); };
    EXPECT_EQ(WindowContentReader::runReturningString("return 1"), "");
    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::success(); };
    EXPECT_EQ(WindowContentReader::runReturningString("return {1, 2}"), "");
}

TEST_F(WindowContentReaderTest, ChromeReadScriptAsksTheGivenBrowserOnly) {
    const std::string canary = WindowContentReader::chromeReadScript("com.google.Chrome.canary");
    EXPECT_NE(canary.find("set out to \"\"\ntell application id \"com.google.Chrome.canary\"\n    set n to count of "
                          "windows\n"),
              std::string::npos);
    EXPECT_EQ(canary.substr(canary.size() - 19), "end tell\nreturn out");
    EXPECT_EQ(WindowContentReader::chromeReadScript("com.google.Chrome\"\ndo shell script \"id"), "");
    EXPECT_EQ(WindowContentReader::runReturningString(WindowContentReader::chromeReadScript("bad id")), "");
    EXPECT_TRUE(sim->simScriptHost().sources().empty());
}

TEST_F(WindowContentReaderTest, GhosttyPanesSideBySideAreColumns) {
    const std::int32_t pid = ghostty({{group({pane(0, 30), group({pane(600, 30)})})}});
    answer("/Users/a\n\n/tmp/it's\n");
    const auto split = WindowContentReader::ghosttySplit(pid);
    ASSERT_TRUE(split);
    EXPECT_EQ(split->mode, "columns");
    EXPECT_EQ(split->commands, (std::vector<std::string>{"cd '/Users/a'", "cd '/tmp/it'\\''s'"}));
    EXPECT_EQ(sim->simScriptHost().sources(), std::vector<std::string>{WindowContentReader::ghosttyPaneScript()});
}

TEST_F(WindowContentReaderTest, GhosttyPanesStackedAreRowsAndTheRichestWindowCounts) {
    const std::int32_t pid = ghostty({{pane(0, 0), pane(700, 0)}, {pane(0, 0), pane(0, 400), pane(10, 800)}});
    answer("/a\n/b\n/c\n");
    const auto split = WindowContentReader::ghosttySplit(pid);
    ASSERT_TRUE(split);
    EXPECT_EQ(split->mode, "rows");
    EXPECT_EQ(split->commands.size(), 3u);
}

TEST_F(WindowContentReaderTest, GhosttyWithoutTwoPanesGivesNothing) {
    // One working directory: not split, and the window is not even looked at.
    const std::int32_t pid = ghostty({{pane(0, 0), pane(600, 0)}});
    answer("/only\n");
    sim->simAccessibility().resetCounts();
    EXPECT_FALSE(WindowContentReader::ghosttySplit(pid));
    EXPECT_EQ(sim->simAccessibility().totalReads(), 0u);

    // Two directories but one scroll area.
    answer("/a\n/b\n");
    const std::int32_t single = ghostty({{pane(0, 0)}});
    EXPECT_FALSE(WindowContentReader::ghosttySplit(single));

    // Scroll areas deeper than twelve levels below the window are not searched.
    SimElement deep = pane(600, 0);
    for (int level = 0; level < 12; ++level) deep = group({deep});
    const std::int32_t tooDeep = ghostty({{pane(0, 0), deep}});
    EXPECT_FALSE(WindowContentReader::ghosttySplit(tooDeep));

    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::failure(-1743, "Not allowed."); };
    EXPECT_FALSE(WindowContentReader::ghosttySplit(pid));
}

TEST_F(WindowContentReaderTest, GhosttyPanesAtTwelveLevelsAreFoundAndUnreadableProcessesGiveNothing) {
    SimElement deep = pane(600, 0);
    for (int level = 0; level < 11; ++level) deep = group({deep});
    const std::int32_t pid = ghostty({{pane(0, 0), deep}});
    answer("/a\n/b\n");
    ASSERT_TRUE(WindowContentReader::ghosttySplit(pid));
    sim->world().process(pid)->responds = false;
    EXPECT_FALSE(WindowContentReader::ghosttySplit(pid));
    EXPECT_FALSE(WindowContentReader::ghosttySplit(99999));
}

}  // namespace
}  // namespace kestr
