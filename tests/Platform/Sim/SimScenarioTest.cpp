#include "Platform/Sim/SimScenario.h"

#include <gmock/gmock.h>

#include "Platform/Json/JsonNesting.h"
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
    json written = sim->toScenario();
    EXPECT_EQ(SimDesktop::fromScenario(written)->toScenario(), written);
    EXPECT_FALSE(written.contains("appearance"));

    // The optional parts: a notched display, an application's own icon file, a dark look.
    sim->world().displays[0].safeAreaTop = 32;
    SimApplication app;
    app.bundleID = "com.example.icon";
    app.name = "Icon";
    app.iconFile = "/tmp/i.png";
    sim->world().install(app);
    sim->simAppearance().dark = true;
    sim->simAppearance().accent = RgbColor{1, 0.5, 0};
    written = sim->toScenario();
    auto again = SimDesktop::fromScenario(written);
    EXPECT_EQ(again->toScenario(), written);
    EXPECT_EQ(again->displays().screens()[0].safeAreaTopInset, 32);
    EXPECT_EQ(again->world().application("com.example.icon")->iconFile, "/tmp/i.png");
    EXPECT_TRUE(again->appearance().isDark());
    EXPECT_EQ(again->appearance().accentColor(), (RgbColor{1, 0.5, 0}));
}

TEST_F(SimScenarioTest, BadScenariosAreRefusedNamingTheKey) {
    json scenario = SimDesktop::defaultScenario();
    scenario["processes"][1]["windows"][0]["size"] = json::array({1, 2, 3});
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("processes[1].windows[0].size: expected [width, height]"));

    scenario = SimDesktop::defaultScenario();
    scenario["displays"][0]["insets"]["topp"] = 25;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("displays[0].insets.topp: unknown key"));

    scenario = SimDesktop::defaultScenario();
    scenario["processes"][2]["pid"] = 301;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("processes[2].pid: process identifier used twice"));

    scenario = SimDesktop::defaultScenario();
    scenario["processes"][1]["windows"][0]["size"] = json::array({-800, 600});
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("windows[0].size: expected a width and height of 0 or more"));
    scenario = SimDesktop::defaultScenario();
    scenario["displays"][1]["bounds"][0] = 1e308;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("displays[1].bounds: expected numbers from -1e9 to 1e9"));
    scenario = SimDesktop::defaultScenario();
    scenario["nextPid"] = -5;
    EXPECT_THAT(errorOf(scenario), testing::HasSubstr("nextPid: expected a process identifier above 0"));

    const std::string home = sim->files().homeDirectory();
    EXPECT_THROW(SimDesktop::loadScenario(home + "/missing.json"), FileError);
    sim->files().writeAtomically(home + "/bad.json", "{\"version\": 1,");
    EXPECT_THROW(SimDesktop::loadScenario(home + "/bad.json"), SimScenarioError);
}

TEST_F(SimScenarioTest, WindowsStackByProcessInTheirOwnOrderAndNumbersFillLastFirst) {
    const json scenario = {
        {"version", 1},
        {"applications", {{{"bundleID", "com.example.a"}, {"name", "A"}, {"minimumSize", {50, 40}}}}},
        {"processes",
         {{{"pid", 700},
           {"name", "P"},
           {"windows",
            {{{"position", {0, 0}}, {"size", {9, 9}}},
             {{"number", 7}, {"position", {0, 0}}, {"size", {9, 9}}},
             {{"position", {0, 0}}, {"size", {9, 9}}}}}},
          {{"pid", 701}, {"bundleID", "com.example.a"}, {"windows", {{{"position", {0, 0}}, {"size", {9, 9}}}}}}}}};
    const auto desktop = SimDesktop::fromScenario(scenario);
    SimWorld& world = desktop->world();
    std::vector<std::int64_t> stacking;
    for (const AXElement e : world.stacking()) stacking.push_back(world.window(e)->number);
    EXPECT_EQ(stacking, (std::vector<std::int64_t>{102, 101, 7, 100}));
    const SimProcess& first = *world.process(700);
    EXPECT_EQ(world.window(first.focusedWindow)->number, 101);
    EXPECT_EQ(first.mainWindow, first.focusedWindow);
    EXPECT_EQ(world.process(701)->windows.at(0).minimumSize, (Size{50, 40})) << "taken from its application";
    EXPECT_EQ(desktop->toScenario()["stacking"], json(stacking));
}

TEST_F(SimScenarioTest, FailuresDeepInsideNameTheirWholePath) {
    json scenario = SimDesktop::defaultScenario();
    json element = {{"role", "AXGroup"}, {"bogus", 1}};
    std::string path = "processes[1].windows[0]";
    for (int depth = 0; depth < 40; ++depth) {
        element = {{"role", "AXGroup"}, {"children", {element}}};
        path += ".children[0]";
    }
    scenario["processes"][1]["windows"][0]["children"] = element["children"];
    EXPECT_THAT(errorOf(scenario), testing::EndsWith(path + ".bogus: unknown key"));

    scenario = SimDesktop::defaultScenario();
    scenario["processes"][0]["windows"][0]["unreadable"] = {"AXTitle", 3};
    EXPECT_THAT(errorOf(scenario), testing::EndsWith("processes[0].windows[0].unreadable[1]: expected a string"));
    scenario = SimDesktop::fromScenario(SimDesktop::defaultScenario())->toScenario();
    scenario["stacking"][1] = "front";
    EXPECT_THAT(errorOf(scenario), testing::EndsWith(": stacking[1]: not a window number"));
}

// The highest process identifier is a fine one; the next launch starts again from 1.
TEST_F(SimScenarioTest, HighestProcessIdentifierIsTakenAndNumberingWrapsAfterIt) {
    json scenario = SimDesktop::defaultScenario();
    scenario["processes"][0]["pid"] = 2147483647;
    auto desktop = SimDesktop::fromScenario(scenario);
    SimWorld& world = desktop->world();
    ASSERT_TRUE(world.process(2147483647));
    const std::int32_t launched = world.launch(world.processes().back().bundleID.value()).pid;
    EXPECT_GE(launched, 1);
    EXPECT_NE(launched, 2147483647);
    EXPECT_EQ(SimDesktop::fromScenario(desktop->toScenario())->toScenario(), desktop->toScenario());
}

// A scenario file nested deeper than any desktop could be is refused before it is
// walked (a deep defaults value once overflowed the stack); brackets in texts do not
// count, and a number too large for a double is refused, both naming the file.
TEST_F(SimScenarioTest, DeepOrOutOfRangeFilesAreRefusedNamingTheFile) {
    const std::string file = sim->files().homeDirectory() + "/desktop.json";
    json scenario = SimDesktop::defaultScenario();
    scenario["processes"][0]["windows"][0]["title"] = std::string(5000, '[');
    sim->files().writeAtomically(file, scenario.dump());
    EXPECT_EQ(SimDesktop::loadScenario(file)->toScenario(), SimDesktop::fromScenario(scenario)->toScenario());

    const auto withDefaultsValueOfDepth = [&](int depth) {
        std::string text = scenario.dump();
        text.insert(text.rfind('}'), R"(, "defaults": {"standard": {"deep": )" + std::string(depth, '[') +
                                         std::string(depth, ']') + "}}");
        sim->files().writeAtomically(file, text);
    };
    withDefaultsValueOfDepth(JsonNesting::limit - 3);  // the whole file at the limit
    EXPECT_NO_THROW(SimDesktop::loadScenario(file)->toScenario().dump());
    withDefaultsValueOfDepth(100000);
    try {
        SimDesktop::loadScenario(file);
        ADD_FAILURE() << "accepted";
    } catch (const SimScenarioError& e) {
        EXPECT_STREQ(e.what(), ("scenario " + file + " nests more than 256 levels deep").c_str());
    }

    std::string text = scenario.dump();
    text.insert(text.rfind('}'), R"(, "pointer": [1e400, 0])");
    sim->files().writeAtomically(file, text);
    try {
        SimDesktop::loadScenario(file);
        ADD_FAILURE() << "accepted";
    } catch (const SimScenarioError& e) {
        EXPECT_THAT(e.what(), testing::StartsWith("scenario " + file + " is not valid JSON: "));
    }
}

}  // namespace
}  // namespace kestr
