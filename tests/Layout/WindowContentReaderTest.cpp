// Parsing what the read scripts report, and reading Ghostty's panes on the simulated desktop.
#include "Layout/WindowContentReader.h"

#include "Platform/AXAttributes.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

TEST(WindowContentParseTest, FinderLinesWithOddFieldsAndBounds) {
    const auto entries = WindowContentReader::parse(
        "0,25,800,600\t200\t/Users/a/Documents/\n"
        "1,2,3,4\t99999999999999999999\t/with\ttab\n"
        "1, 2,x,3,4\t-1\t/kept\n"
        "1,2,3\t5\t/short\n"
        "-10.5,,20,1e2,40\t/two fields\n",
        true);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].frame, Rect(0, 25, 800, 575));
    EXPECT_EQ(entries[0].sidebarWidth, 200);
    EXPECT_EQ(entries[0].value, "/Users/a/Documents/");
    EXPECT_EQ(entries[1].value, "/with\ttab");
    EXPECT_EQ(entries[2].frame, Rect(1, 2, 2, 2));
    EXPECT_EQ(entries[1].sidebarWidth, entries[2].sidebarWidth);  // neither a width
    EXPECT_EQ(entries[3].frame, Rect(-10.5, 20, 110.5, 20));
    EXPECT_EQ(entries[3].value, "/two fields");
    // Without a sidebar the second field is the value.
    EXPECT_EQ(WindowContentReader::parse("1,2,3,4\t200\t/a\n", false)[0].value, "200\t/a");
}

TEST(WindowContentParseTest, ChromeLinesNeverCrashOnBadIndexes) {
    const auto entries = WindowContentReader::parseChrome(
        "0,0,100,100\t5\ta\x1f"
        "b\x1f"
        "c\n"
        "0,0,100,100\t9223372036854775807\ta\x1f"
        "b\n"
        "0,0,100,100\t99999999999999999999999\ta\n"
        "nan,inf,-inf,1\t1\ta\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].tabs, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(entries[0].value, "c");
    EXPECT_EQ(entries[1].value, "b");
    EXPECT_EQ(entries[2].value, "a");
    EXPECT_EQ(entries[3].value, "a");
}

class WindowContentReaderTest : public test::SimTest {
protected:
    void answer(std::string text) {
        sim->simScriptHost().handler = [text](const std::string&) { return SimScriptHost::success(text); };
    }
    static SimElement pane(double x, double y) {
        SimElement scroll;
        scroll.role = ax::scrollAreaRole;
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
        sim->world().install(app);
        const std::int32_t pid = sim->world().launch("com.mitchellh.ghostty").pid;
        for (auto& children : windows) {
            SimWindow window;
            window.size = {1200, 800};
            window.children = std::move(children);
            sim->world().addWindow(pid, window);
        }
        return pid;
    }
};

TEST_F(WindowContentReaderTest, FailedScriptsAndHostileIdentifiersGiveNothing) {
    sim->simScriptHost().handler = [](const std::string&) { return SimScriptHost::failure(-1743, "Not allowed."); };
    EXPECT_EQ(WindowContentReader::runReturningString("return 1"), "");
    EXPECT_EQ(WindowContentReader::chromeReadScript("com.google.Chrome\"\ndo shell script \"id"), "");
    EXPECT_EQ(WindowContentReader::runReturningString(WindowContentReader::chromeReadScript("bad id")), "");
    EXPECT_EQ(sim->simScriptHost().sources().size(), 1u);
}

TEST_F(WindowContentReaderTest, GhosttyPanesBecomeColumnsOrRows) {
    const std::int32_t pid = ghostty({{group({pane(0, 30), group({pane(600, 30)})})}});
    answer("/Users/a\n\n/tmp/it's\n");
    const auto split = WindowContentReader::ghosttySplit(pid);
    ASSERT_TRUE(split);
    EXPECT_EQ(split->mode, "columns");
    EXPECT_EQ(split->commands, (std::vector<std::string>{"cd '/Users/a'", "cd '/tmp/it'\\''s'"}));

    // The window with the most panes counts.
    const std::int32_t stacked = ghostty({{pane(0, 0), pane(700, 0)}, {pane(0, 0), pane(0, 400), pane(10, 800)}});
    answer("/a\n/b\n/c\n");
    EXPECT_EQ(WindowContentReader::ghosttySplit(stacked)->mode, "rows");
}

TEST_F(WindowContentReaderTest, GhosttyWithoutTwoPanesGivesNothing) {
    const std::int32_t pid = ghostty({{pane(0, 0), pane(600, 0)}});
    answer("/only\n");
    EXPECT_FALSE(WindowContentReader::ghosttySplit(pid));

    answer("/a\n/b\n");
    EXPECT_FALSE(WindowContentReader::ghosttySplit(ghostty({{pane(0, 0)}})));
    sim->world().process(pid)->responds = false;
    EXPECT_FALSE(WindowContentReader::ghosttySplit(pid));
}

}  // namespace
}  // namespace kestr
