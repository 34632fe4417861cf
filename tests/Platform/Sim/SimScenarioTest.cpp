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

    const std::string home = sim->files().homeDirectory();
    EXPECT_THROW(SimDesktop::loadScenario(home + "/missing.json"), FileError);
    sim->files().writeAtomically(home + "/bad.json", "{\"version\": 1,");
    EXPECT_THROW(SimDesktop::loadScenario(home + "/bad.json"), SimScenarioError);
}

}  // namespace
}  // namespace kestr
