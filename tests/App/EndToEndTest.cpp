// The real kestr program, run as a process against the simulated desktop kept in a
// scenario file: the command-line dispatch, apply by name, the sample kest file, and
// the desktop persisting from one run to the next.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "App/KestrProcess.h"

namespace kestr::test {
namespace {

using nlohmann::json;

const std::string noMode = "kestr: the menu-bar application is not part of this build yet\n";
const std::string dumpBanner = "================ kestr Window Dump ================\n";

// The first line of `text` that holds `part`; empty when none does.
std::string lineWith(const std::string& text, const std::string& part) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.find(part) != std::string::npos) return line;
    return "";
}

class EndToEndTest : public ::testing::Test {
protected:
    // Writes the sample kest to the store's own file.
    void writeSample() {
        const auto r = home.run({"--write-sample-layout", home.kestFile()});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    json kestFile() const { return json::parse(readFile(home.kestFile())); }
    // A kest named `name` with one of the sample's items (0: Terminal, 1: Chrome), or
    // one for an application the desktop does not have.
    json kest(const json& sample, const std::string& name, bool installedApplication, int sampleItem = 0) const {
        json k = sample;
        k["name"] = name;
        json item = sample["items"][sampleItem];
        if (!installedApplication) {
            item["appBundleID"] = "com.example.NotInstalled";
            item["appName"] = "Not Installed";
        }
        k["items"] = json::array({item});
        return k;
    }
    void writeKests(const std::vector<json>& kests) {
        json document = kestFile();
        document["layouts"] = kests;
        writeFile(home.kestFile(), document.dump(2));
    }
    // The first 8 UUID characters of each display in the display dump, ordered by
    // their left edge.
    std::vector<std::string> displaysLeftToRight() {
        const auto r = home.run({"--dump-displays"});
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::pair<long, std::string>> found;
        std::istringstream lines(r.out);
        std::string line, uuid;
        while (std::getline(lines, line)) {
            if (line.rfind("  uuid=", 0) == 0) uuid = line.substr(7, 8);
            if (line.rfind("      axBounds   =(", 0) == 0) found.emplace_back(std::stol(line.substr(19)), uuid);
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> out;
        for (auto& f : found) out.push_back(f.second);
        return out;
    }
    KestrHome home;
};

TEST_F(EndToEndTest, OptionsAreTestedInTheirFixedOrder) {
    auto r = home.run({"--probe-min-size", "--dump"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(dumpBanner, 0), 0u) << r.out;

    // --apply-kest takes --dump as its name, but --dump is tested first.
    r = home.run({"--apply-kest", "--dump"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(dumpBanner, 0), 0u) << r.out;

    // The render options are not in this build: they count as absent.
    r = home.run({"--render-panel", "panel.png", "--dump-displays"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("=== Displays (CGMainDisplayID=", 0), 0u) << r.out;
    EXPECT_FALSE(std::filesystem::exists(home.home() + "/panel.png"));
}

TEST_F(EndToEndTest, WithoutAUsableOptionTheProgramSaysSoAndExitsWithStatus2) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {},
             {"--write-sample-layout"},  // the value is missing
             {"--write-sample-layout=x.json"},
             {"--DUMP"},
             {"--Dump-Displays"},
             {"--render-panel", "panel.png"},
             {"--render-menubar-icons", "icons.png"},
         }) {
        const auto r = home.run(arguments);
        EXPECT_EQ(r.status, 2) << ::testing::PrintToString(arguments);
        EXPECT_EQ(r.err, noMode);
        EXPECT_EQ(r.out, "");
    }
    // Nothing ran, so the simulated desktop was not even created.
    EXPECT_FALSE(std::filesystem::exists(home.scenarioPath()));
}

TEST_F(EndToEndTest, OnlyTheFirstOccurrenceOfAnOptionCounts) {
    const auto r = home.run({"--write-sample-layout", "first.json", "--write-sample-layout", "second.json"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Wrote sample layout to " + home.home() + "/first.json\n");
    EXPECT_TRUE(std::filesystem::exists(home.home() + "/first.json"));
    EXPECT_FALSE(std::filesystem::exists(home.home() + "/second.json"));
}

TEST_F(EndToEndTest, SampleWrittenTwiceKeepsTheFirstAsBackup) {
    const std::string path = home.home() + "/new/deeper/sample.json";  // the folders do not exist yet
    auto r = home.run({"--write-sample-layout", "new/deeper/sample.json"}, home.home());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Wrote sample layout to " + path + "\n") << "the relative path is shown absolute";
    EXPECT_EQ(r.err, "");
    const json first = json::parse(readFile(path));

    r = home.run({"--write-sample-layout", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const json second = json::parse(readFile(path));
    EXPECT_EQ(json::parse(readFile(path + ".bak")), first);
    ASSERT_EQ(second["layouts"].size(), 1u);
    EXPECT_EQ(second["layouts"][0]["name"], "Coding (sample)");
    EXPECT_NE(second["layouts"][0]["id"], first["layouts"][0]["id"]);
}

TEST_F(EndToEndTest, SampleThatCannotBeWrittenFailsWithStatus1) {
    // A regular file where a folder should be: even root cannot create the folder.
    writeFile(home.home() + "/blocker", "not a folder\n");
    const auto r = home.run({"--write-sample-layout", home.home() + "/blocker/sample.json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Failed to write sample: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
    EXPECT_EQ(readFile(home.home() + "/blocker"), "not a folder\n");
}

TEST_F(EndToEndTest, ApplyByNameTakesTheFirstKestOfThatNameExactly) {
    writeSample();
    const json sample = kestFile()["layouts"][0];
    writeKests({kest(sample, "Twins", true), kest(sample, "Twins", false)});

    auto r = home.run({"--apply-kest", "Twins"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "applied=1 skipped=0\n");

    r = home.run({"--apply-kest", "twins"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no kest named twins\n");
    EXPECT_EQ(r.out, "");

    r = home.run({"--apply-kest", "Twins "});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no kest named Twins \n");
}

TEST_F(EndToEndTest, ApplyByNameReportsSkippedItemsAndStillSucceeds) {
    writeSample();
    const json sample = kestFile()["layouts"][0];
    writeKests({kest(sample, "--Elsewhere", false)});
    const auto r = home.run({"--apply-kest", "--Elsewhere"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("applied=0 skipped=1\n  SKIPPED Not Installed: ", 0), 0u) << r.out;
}

TEST_F(EndToEndTest, DisplayPrefixChoosesTheAnchor) {
    writeSample();
    // Chrome has a window on each display, so either anchor finds one open.
    writeKests({kest(kestFile()["layouts"][0], "One", true, 1)});
    const auto displays = displaysLeftToRight();
    ASSERT_GE(displays.size(), 2u);

    auto r = home.run({"--apply-kest", "One", displays.back().substr(0, 4)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "anchor=" + displays.back() + "\n");

    r = home.run({"--apply-kest", "One", ""});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "anchor=" + displays.front() + "\n") << "an empty prefix matches the leftmost display";
}

TEST_F(EndToEndTest, AppliedWindowsStayMovedInTheNextRun) {
    writeSample();
    const auto before = home.run({"--dump"});
    ASSERT_EQ(before.status, 0) << before.err;
    EXPECT_TRUE(std::filesystem::exists(home.scenarioPath())) << "the desktop is kept after every mode";

    const auto applied = home.run({"--apply-kest", "Coding (sample)"});
    ASSERT_EQ(applied.status, 0) << applied.err;
    EXPECT_EQ(applied.out, "applied=2 skipped=0\n");

    const auto after = home.run({"--dump"});
    ASSERT_EQ(after.status, 0) << after.err;
    // The dump rows of the two windows the sample moved.
    for (const std::string title : {"localhost:3000", "user — -zsh"}) {
        const std::string row = lineWith(before.out, title);
        ASSERT_FALSE(row.empty()) << title << " in\n" << before.out;
        EXPECT_NE(lineWith(after.out, title), row) << after.out;
    }
    EXPECT_EQ(lineWith(after.out, "Ghostty"), lineWith(before.out, "Ghostty")) << "not in the kest";
}

TEST_F(EndToEndTest, UnreadableDesktopIsReportedAndKept) {
    writeFile(home.scenarioPath(), "{ not json");
    const auto r = home.run({"--dump"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("kestr: cannot load the simulated desktop from " + home.scenarioPath() + ": ", 0), 0u)
        << r.err;
    EXPECT_EQ(readFile(home.scenarioPath()), "{ not json");
}

TEST_F(EndToEndTest, DesktopThatCannotBeKeptTurnsSuccessIntoFailure) {
    writeFile(home.home() + "/blocker", "");
    home.setScenarioPath(home.home() + "/blocker/sim-desktop.json");
    const auto r = home.run({"--dump-displays"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("=== Displays", 0), 0u) << "the mode itself ran";
    EXPECT_EQ(r.err.rfind("kestr: cannot save the simulated desktop to " + home.scenarioPath() + ": ", 0), 0u)
        << r.err;
}

TEST_F(EndToEndTest, DragProbeRunsUntilInterrupted) {
    auto child = home.start({"--probe-drag"});
    ASSERT_TRUE(child->waitForOutput("DragProbe ready. Drag a few windows by their title bar. (Ctrl-C to stop.)\n"));
    child->signal(SIGINT);
    const auto r = child->finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(home.scenarioPath()));
}

}  // namespace
}  // namespace kestr::test
