// --apply-kest NAME [DISPLAY], run in-process on the simulated desktop: which kest is
// found, which display anchors it, and what the mode prints.
#include <gtest/gtest.h>

#include "App/DiagnosticModes.h"
#include "Core/LayoutStore.h"
#include "Support/DesktopTest.h"

namespace kestr {
namespace {

const std::string leftUUID = "AAAA1111-0000-4000-8000-000000000001";
const std::string rightUUID = "BBBB2222-0000-4000-8000-000000000002";

class ApplyByNameModeTest : public test::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        sim->world().displays.push_back(SimDisplay{1, leftUUID, Rect(0, 0, 1920, 1200), {}});
        sim->world().displays.push_back(SimDisplay{2, rightUUID, Rect(1920, 0, 1920, 1200), {}});
        sim->world().pointer = Point{400, 300};
        editor = addApp("com.example.Editor", "Editor", {window("Notes", Rect(100, 100, 700, 500))}).pid;
    }

    static Layout kest(const std::string& name, const std::string& bundleID = "com.example.Editor",
                       const std::string& appName = "Editor") {
        Layout k;
        k.id = Uuid::random();
        k.name = name;
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = bundleID;
        item.appName = appName;
        item.windowMatcher = WindowMatcher::firstWindow();
        item.targetFrame = ScreenFrame{leftUUID, 100, 50, 800, 600, std::nullopt, std::nullopt, std::nullopt,
                                       std::nullopt};
        item.launchIfMissing = false;
        k.items = {item};
        return k;
    }
    void store(std::vector<Layout> kests) {
        LayoutStore& s = LayoutStore::shared();
        s.layouts = std::move(kests);
        s.save();
        s.layouts.clear();  // the mode loads the file itself
    }
    int apply(std::vector<std::string> afterOption) {
        std::vector<std::string> arguments = {"kestr", "--verbose", "--apply-kest"};
        arguments.insert(arguments.end(), afterOption.begin(), afterOption.end());
        int status = -1;
        spawn([](Task<int> t, int& out) -> Task<void> { out = co_await std::move(t); }(
            DiagnosticModes::applyByName(output, arguments, afterOption.at(0), 2), status));
        sim->virtualTime().runUntilIdle(120);
        return status;
    }
    Point editorPosition() { return sim->world().process(editor)->windows.at(0).position; }

    std::int32_t editor = 0;
    CapturedOutput output;
};

TEST_F(ApplyByNameModeTest, AppliesAroundTheDisplayUnderTheMouse) {
    store({kest("Work")});
    sim->world().pointer = Point{2500, 300};
    EXPECT_EQ(apply({"Work"}), 0);
    EXPECT_EQ(output.stderrText, "anchor=BBBB2222\n");
    EXPECT_EQ(output.stdoutText, "applied=1 skipped=0\n");
    EXPECT_GE(editorPosition().x, 1920) << "the kest follows the anchor display";
}

TEST_F(ApplyByNameModeTest, DisplayPrefixWinsOverTheMouse) {
    store({kest("Work")});
    EXPECT_EQ(apply({"Work", "BBBB2"}), 0);
    EXPECT_EQ(output.stderrText, "anchor=BBBB2222\n");
    EXPECT_GE(editorPosition().x, 1920);
}

TEST_F(ApplyByNameModeTest, PrefixThatMatchesNothingLeavesTheMouseDisplay) {
    store({kest("Work")});
    EXPECT_EQ(apply({"Work", "bbbb"}), 0) << "the comparison is case-sensitive";
    EXPECT_EQ(output.stderrText, "anchor=AAAA1111\n");
    EXPECT_LT(editorPosition().x, 1920);

    // Whatever follows the name is taken as the prefix, another option included.
    output = CapturedOutput();
    EXPECT_EQ(apply({"Work", "--render-panel", "BBBB"}), 0);
    EXPECT_EQ(output.stderrText, "anchor=AAAA1111\n");
}

TEST_F(ApplyByNameModeTest, EmptyPrefixMatchesTheLeftmostDisplay) {
    // Listed after the others, but furthest left.
    sim->world().displays.push_back(SimDisplay{3, "CCCC3333-0000-4000-8000-000000000003",
                                               Rect(-1440, 0, 1440, 900), {}});
    store({kest("Work")});
    EXPECT_EQ(apply({"Work", ""}), 0);
    EXPECT_EQ(output.stderrText, "anchor=CCCC3333\n");
    EXPECT_LT(editorPosition().x, 0);
}

TEST_F(ApplyByNameModeTest, WithoutADisplayUnderTheMouseTheMainDisplayAnchors) {
    sim->world().mainDisplayOverride = 2;
    sim->world().pointer = Point{-5000, -5000};
    store({kest("Work")});
    EXPECT_EQ(apply({"Work"}), 0);
    EXPECT_EQ(output.stderrText, "anchor=BBBB2222\n");
}

TEST_F(ApplyByNameModeTest, AnchorWithoutUUIDShowsAQuestionMark) {
    sim->world().displays.push_back(SimDisplay{3, std::nullopt, Rect(0, 1200, 1920, 1080), {}});
    sim->world().pointer = Point{500, 1500};
    store({kest("Work")});
    EXPECT_EQ(apply({"Work"}), 0);
    EXPECT_EQ(output.stderrText, "anchor=?\n");
}

TEST_F(ApplyByNameModeTest, FirstKestOfTheNameUnderCanonicalEquivalence) {
    // "Café" written with a combining accent in the store, precomposed on the command line.
    store({kest("Other"), kest("Cafe\xCC\x81"), kest("Caf\xC3\xA9", "com.example.Missing", "Missing")});
    EXPECT_EQ(apply({"Caf\xC3\xA9"}), 0);
    EXPECT_EQ(output.stdoutText, "applied=1 skipped=0\n") << "the second kest of that name is not used";
}

TEST_F(ApplyByNameModeTest, UnknownNameEndsWithStatus1) {
    store({kest("Work")});
    EXPECT_EQ(apply({"work"}), 1);
    EXPECT_EQ(output.stderrText, "no kest named work\n");
    EXPECT_EQ(output.stdoutText, "");
    EXPECT_EQ(editorPosition(), (Point{100, 100})) << "nothing was applied";
}

TEST_F(ApplyByNameModeTest, UnreadableKestFileFindsNoKest) {
    store({kest("Work")});
    sim->files().writeAtomically(LayoutStore::shared().fileURL, "{ this is not a kest file");
    EXPECT_EQ(apply({"Work"}), 1);
    EXPECT_EQ(output.stderrText, "no kest named Work\n");
}

TEST_F(ApplyByNameModeTest, SkippedItemsAreListedAndTheStatusStays0) {
    Layout k = kest("Work");
    Layout missing = kest("x", "com.example.Missing", "Missing App");
    k.items.push_back(missing.items[0]);
    store({k});
    EXPECT_EQ(apply({"Work"}), 0);
    EXPECT_EQ(output.stdoutText.rfind("applied=1 skipped=1\n  SKIPPED Missing App: ", 0), 0u) << output.stdoutText;
    EXPECT_EQ(std::count(output.stdoutText.begin(), output.stdoutText.end(), '\n'), 2);
}

}  // namespace
}  // namespace kestr
