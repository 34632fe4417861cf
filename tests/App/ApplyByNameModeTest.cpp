// --apply-kest NAME [DISPLAY], run in-process on the simulated desktop: which kest is
// found, which display anchors it, and what the mode prints.
#include <gtest/gtest.h>

#include "App/DiagnosticModes.h"
#include "Core/LayoutStore.h"
#include "Support/CapturedOutput.h"
#include "Support/DesktopTest.h"
#include "Support/StartedTask.h"

namespace kestr {
namespace {

const std::string leftUUID = "AAAA1111-0000-4000-8000-000000000001";
const std::string rightUUID = "BBBB2222-0000-4000-8000-000000000002";

class ApplyByNameModeTest : public test::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1920, 1200)).uuid(leftUUID);
        addDisplay(2, Rect(1920, 0, 1920, 1200)).uuid(rightUUID);
        sim->world().pointer = Point{400, 300};
        editor = addApp("com.example.Editor", "Editor", {window("Notes", Rect(100, 100, 700, 500))}).pid;
    }

    static Layout kest(const std::string& name, const std::string& bundleID = "com.example.Editor") {
        Layout k;
        k.id = Uuid::random();
        k.name = name;
        k.items = {test::ItemBuilder(bundleID, bundleID.substr(12))
                       .on(leftUUID, Rect(100, 50, 800, 600))
                       .launchIfMissing(false)};
        return k;
    }
    void store(std::vector<Layout> kests) {
        LayoutStore::shared().layouts = std::move(kests);
        LayoutStore::shared().save();
        LayoutStore::shared().layouts.clear();  // the mode loads the file itself
    }
    // Runs the mode and returns its status and standard error, from fresh output.
    std::pair<int, std::string> apply(std::vector<std::string> afterOption) {
        std::vector<std::string> arguments = {"kestr", "--verbose", "--apply-kest"};
        arguments.insert(arguments.end(), afterOption.begin(), afterOption.end());
        output = CapturedOutput();
        auto run = test::start(DiagnosticModes::applyByName(output, arguments, afterOption.at(0), 2));
        sim->virtualTime().runUntilIdle(120);
        return {run.succeeded() ? run.value() : -1, output.stderrText};
    }
    Point editorPosition() { return sim->world().process(editor)->windows.at(0).position; }

    std::int32_t editor = 0;
    CapturedOutput output;
};

using Outcome = std::pair<int, std::string>;

TEST_F(ApplyByNameModeTest, AnchorIsTheDisplayPrefixElseTheMouseDisplayElseTheMain) {
    store({kest("Work")});
    sim->world().pointer = Point{2500, 300};
    EXPECT_EQ(apply({"Work"}), (Outcome{0, "anchor=BBBB2222\n"}));
    EXPECT_EQ(output.stdoutText, "applied=1 skipped=0\n");
    EXPECT_GE(editorPosition().x, 1920) << "the kest follows the anchor display";

    sim->world().pointer = Point{400, 300};
    EXPECT_EQ(apply({"Work", "BBBB2"}), (Outcome{0, "anchor=BBBB2222\n"}));
    EXPECT_GE(editorPosition().x, 1920);
    EXPECT_EQ(apply({"Work", "bbbb"}), (Outcome{0, "anchor=AAAA1111\n"})) << "the comparison is case-sensitive";
    EXPECT_LT(editorPosition().x, 1920);
    // Whatever follows the name is taken as the prefix, another option included.
    EXPECT_EQ(apply({"Work", "--render-panel", "BBBB"}), (Outcome{0, "anchor=AAAA1111\n"}));

    // Listed after the others, but furthest left: the empty prefix matches it.
    addDisplay(3, Rect(-1440, 0, 1440, 900)).uuid("CCCC3333-0000-4000-8000-000000000003");
    EXPECT_EQ(apply({"Work", ""}), (Outcome{0, "anchor=CCCC3333\n"}));
    EXPECT_LT(editorPosition().x, 0);

    addDisplay(4, Rect(0, 1200, 1920, 1080)).uuid(std::nullopt);
    sim->world().pointer = Point{500, 1500};
    EXPECT_EQ(apply({"Work"}), (Outcome{0, "anchor=?\n"}));

    sim->world().mainDisplayOverride = 2;
    sim->world().pointer = Point{-5000, -5000};
    EXPECT_EQ(apply({"Work"}), (Outcome{0, "anchor=BBBB2222\n"}));
}

TEST_F(ApplyByNameModeTest, FirstKestOfTheNameUnderCanonicalEquivalence) {
    // "Café" written with a combining accent in the store, precomposed on the command line.
    Layout twoItems = kest("Cafe\xCC\x81");
    twoItems.items.push_back(kest("x", "com.example.Missing").items[0]);
    store({kest("Other"), twoItems, kest("Caf\xC3\xA9")});
    EXPECT_EQ(apply({"Caf\xC3\xA9"}).first, 0) << "skipped items still succeed";
    EXPECT_EQ(output.stdoutText.rfind("applied=1 skipped=1\n  SKIPPED Missing: ", 0), 0u)
        << "the first kest of that name: " << output.stdoutText;
    EXPECT_EQ(std::count(output.stdoutText.begin(), output.stdoutText.end(), '\n'), 2);
}

TEST_F(ApplyByNameModeTest, UnknownNameOrUnreadableFileEndsWithStatus1) {
    store({kest("Work"), kest("\xEF\xBF\xBD")});
    EXPECT_EQ(apply({"work"}), (Outcome{1, "no kest named work\n"}));
    EXPECT_EQ(output.stdoutText, "");
    EXPECT_EQ(editorPosition(), (Point{100, 100})) << "nothing was applied";

    // Not UTF-8: it must not stand for the replacement character, and, like an escape,
    // is echoed cleaned.
    EXPECT_EQ(apply({"\xFF"}), (Outcome{1, "no kest named \uFFFD\n"}));
    EXPECT_EQ(apply({"\x1b[31mWork\x07"}), (Outcome{1, "no kest named \uFFFD[31mWork\uFFFD\n"}));

    // Why the name may not be found: the file could not be read, or was damaged and set aside.
    sim->simFiles().failOperation(FileOperation::read, "layouts.json");
    EXPECT_EQ(apply({"Work"}),
              (Outcome{1, "kestr: the kest file could not be read (cannot read " + LayoutStore::shared().fileURL +
                              ": injected failure)\nno kest named Work\n"}));
    sim->files().writeAtomically(LayoutStore::shared().fileURL, "{ this is not a kest file");
    const auto [status, err] = apply({"Work"});
    EXPECT_EQ(status, 1);
    ASSERT_TRUE(LayoutStore::shared().quarantined);
    EXPECT_EQ(err, "kestr: the kest file could not be read (" + LayoutStore::shared().quarantined->reason +
                       "); it was kept at " + LayoutStore::shared().quarantined->path + "\nno kest named Work\n");
}

TEST_F(ApplyByNameModeTest, EndsOnceEachLateWindowIsPlacedGivenUpOrItsApplicationQuit) {
    // Launched one after the other, none shows a window within its 5 s launch wait (the
    // apply returns at 15.3 s): the first opens one at 8.1 s, the others never do.
    Layout late = kest("Late", "com.example.Late");
    for (const auto& [name, firstWindow] :
         std::vector<std::pair<std::string, std::optional<double>>>{{"Late", 8.0}, {"Never", {}}, {"Quits", {}}}) {
        app("com.example." + name, name).launchDelay(0.1).firstWindowDelay(firstWindow).install();
        late.items.push_back(test::ItemBuilder("com.example." + name, name).on(leftUUID, Rect(100, 50, 800, 600)));
    }
    late.items.erase(late.items.begin());
    store({late});
    output = CapturedOutput();
    auto run = test::start(DiagnosticModes::applyByName(output, {"kestr", "--apply-kest", "Late"}, "Late", 1));
    sim->virtualTime().advance(16);
    EXPECT_EQ(output.stdoutText,
              "applied=0 skipped=0\n"
              "  DEFERRED PLACED Late → AAAA1111 x=100 y=50\n");
    EXPECT_EQ(sim->world().process(sim->world().runningProcesses("com.example.Late").at(0)->pid)->windows.at(0).position,
              (Point{100, 50}));
    sim->world().terminate(sim->world().runningProcesses("com.example.Quits").at(0)->pid);
    sim->virtualTime().advance(20);
    EXPECT_FALSE(run.done()) << "the mode waits half a minute for the last window";
    EXPECT_EQ(output.stdoutText.substr(output.stdoutText.rfind("  DEFERRED QUIT")),
              "  DEFERRED QUIT Quits — the application ended before its window opened\n");
    sim->virtualTime().runUntilIdle(120);
    ASSERT_TRUE(run.done());
    EXPECT_EQ(run.value(), 0);
    EXPECT_EQ(output.stdoutText.substr(output.stdoutText.rfind("  DEFERRED GAVE UP")),
              "  DEFERRED GAVE UP Never — no window after 30s\n");
}

}  // namespace
}  // namespace kestr
