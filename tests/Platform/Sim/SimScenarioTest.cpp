#include "Platform/Sim/SimScenario.h"

#include <gmock/gmock.h>

#include "Platform/Sim/ScenarioReader.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using nlohmann::json;

class SimScenarioTest : public test::SimTest {
protected:
    // Reads `scenario` and returns the error text, or "" when it was accepted.
    static std::string errorOf(const json& scenario) {
        try {
            SimDesktop::fromScenario(scenario);
        } catch (const SimScenarioError& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(SimScenarioTest, DefaultScenarioRoundTripsExactly) {
    loadDefaultScenario();
    const json written = sim->toScenario();
    EXPECT_EQ(SimDesktop::fromScenario(written)->toScenario(), written);
}

TEST_F(SimScenarioTest, EveryFieldOfAChangedWorldSurvivesSaveAndLoad) {
    loadDefaultScenario();
    SimWorld& world = sim->world();
    world.trusted = false;
    world.currentSpace = 3;
    world.pointer = Point{2100.5, 40.25};
    world.mainDisplayOverride = 2;
    world.keyScreen = 1;
    world.displays.push_back(SimDisplay{std::nullopt, std::nullopt, Rect(-800, 0, 800, 600), Insets{}});
    SimProcess& notes = *world.process(745);
    notes.hidden = true;
    notes.responds = false;
    notes.enhancedUserInterface = std::nullopt;
    notes.manualAccessibility = true;
    notes.onTerminate = TerminateBehavior::refuses;
    SimWindow& window = notes.windows.front();
    window.subrole = std::nullopt;
    window.space = 2;
    window.onScreen = false;
    window.layer = 3;
    window.unreadable = {"AXTitle", "AXPosition"};
    world.setFullScreen(window, true);
    notes.focusedWindow = notes.windows.back().element;
    SimProcess background;
    background.name = "helper";
    background.policy = ActivationPolicy::accessory;
    background.terminated = true;
    world.addProcess(background);
    sim->simDefaults().standardDomain().set("kestr.value", PlistValue(PlistDict{
        {"data", PlistData{0, 255, 16}}, {"real", 1.0}, {"whole", std::int64_t{1}}, {"list", PlistArray{"a", true}}}));
    sim->simDefaults().suiteDomain("com.apple.WindowManager").set("EnableTilingOptionAccelerator", false);
    sim->simDefaults().setSuiteUnavailable("locked.suite");

    const std::string path = sim->files().homeDirectory() + "/scenario.json";
    sim->saveScenario(path);
    auto loaded = SimDesktop::loadScenario(path);
    EXPECT_EQ(loaded->toScenario(), sim->toScenario());

    // Spot checks on the loaded world, beyond the text.
    SimProcess& loadedNotes = *loaded->world().process(745);
    EXPECT_EQ(loadedNotes.focusedWindow, loadedNotes.windows.back().element);
    EXPECT_TRUE(loadedNotes.windows.front().fullScreen);
    EXPECT_EQ(loadedNotes.windows.front().frameBeforeFullScreen, Rect(1100, 100, 700, 500));
    EXPECT_EQ(*loaded->simDefaults().standardDomain().object("kestr.value"),
              *sim->simDefaults().standardDomain().object("kestr.value"));
    EXPECT_EQ(loaded->defaults().suite("locked.suite"), nullptr);
    EXPECT_EQ(loaded->world().stacking().size(), sim->world().stacking().size());
}

TEST_F(SimScenarioTest, DefaultScenarioHoldsTheUsualDesktop) {
    loadDefaultScenario();
    EXPECT_EQ(sim->displays().displayIDFromUUIDString("37d8832a-2d66-4b0f-9f3f-1234567890ab"), 1u);
    EXPECT_EQ(sim->displays().mainDisplayID(), 1u);
    EXPECT_EQ(sim->displays().displayBounds(2), Rect(1920, 0, 2560, 1440));
    for (const char* id : {"com.apple.finder", "com.apple.Terminal", "com.google.Chrome", "com.apple.Safari",
                           "com.mitchellh.ghostty", "com.googlecode.iterm2", "com.example.Notes"}) {
        EXPECT_TRUE(sim->workspace().urlForApplication(id)) << id;
    }
    EXPECT_EQ(sim->workspace().runningApplications("com.apple.finder").size(), 1u);
    EXPECT_TRUE(sim->workspace().runningApplications("com.apple.Safari").empty());
    EXPECT_TRUE(sim->accessibility().isProcessTrusted());
    EXPECT_EQ(sim->workspace().frontmostApplication()->bundleIdentifier, "com.apple.Terminal");
}

TEST_F(SimScenarioTest, ErrorsNameTheKey) {
    json scenario = SimDesktop::defaultScenario();
    scenario["processes"][1]["windows"][0]["size"] = json::array({1, 2, 3});
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("processes[1].windows[0].size: expected [width, height]"));

    scenario = SimDesktop::defaultScenario();
    scenario["displays"][0]["insets"]["topp"] = 25;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("displays[0].insets.topp: unknown key"));

    scenario = SimDesktop::defaultScenario();
    scenario["applications"][2].erase("bundleID");
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("applications[2].bundleID: missing"));

    scenario = SimDesktop::defaultScenario();
    scenario["displays"][1]["uuid"] = "not-a-uuid";
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("displays[1].uuid"));

    scenario = SimDesktop::defaultScenario();
    scenario["processes"][0]["focusedWindow"] = 9999;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("processes[0].focusedWindow: no window 9999"));

    scenario = SimDesktop::defaultScenario();
    scenario["frontmost"] = 4242;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("frontmost"));

    scenario = SimDesktop::defaultScenario();
    scenario["processes"][2]["pid"] = 301;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("processes[2].pid: process identifier used twice"));

    scenario = SimDesktop::defaultScenario();
    scenario["applications"][0]["policy"] = "background";
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr(
        "applications[0].policy: expected \"regular\", \"accessory\" or \"prohibited\""));

    scenario = SimDesktop::defaultScenario();
    scenario["version"] = 2;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("version"));

    scenario = SimDesktop::defaultScenario();
    scenario["defaults"] = {{"standard", {{"kestr.x", nullptr}}}};
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("defaults.standard.kestr.x"));
}

TEST_F(SimScenarioTest, NullMeansNoneAndAbsentMeansTheDefault) {
    json scenario = SimDesktop::defaultScenario();
    scenario["processes"][4]["windows"][0]["subrole"] = nullptr;
    scenario["applications"][6].erase("reopenDelay");
    scenario["applications"][6]["firstWindowDelay"] = nullptr;
    auto desktop = SimDesktop::fromScenario(scenario);
    EXPECT_FALSE(desktop->world().process(745)->windows[0].subrole);
    EXPECT_EQ(desktop->world().process(745)->windows[1].subrole, "AXStandardWindow");
    const SimApplication* notes = desktop->world().application("com.example.Notes");
    EXPECT_EQ(notes->reopenDelay, SimApplication{}.reopenDelay);
    EXPECT_FALSE(notes->firstWindowDelay);
}

TEST_F(SimScenarioTest, UnreadableFileAndBadJsonAreReported) {
    const std::string home = sim->files().homeDirectory();
    EXPECT_THROW(SimDesktop::loadScenario(home + "/missing.json"), FileError);
    sim->files().writeAtomically(home + "/bad.json", "{\"version\": 1,");
    EXPECT_THROW(SimDesktop::loadScenario(home + "/bad.json"), SimScenarioError);
}

}  // namespace
}  // namespace kestr
