#include "Support/SimTest.h"

namespace kestr::test {

void SimTest::SetUp() {
    sim = std::make_unique<SimDesktop>();
    installPlatform(sim.get());
}

void SimTest::TearDown() {
    installPlatform(nullptr);
    sim.reset();
}

void SimTest::loadDefaultScenario() {
    installPlatform(nullptr);
    sim = SimDesktop::fromScenario(SimDesktop::defaultScenario());
    installPlatform(sim.get());
}

}  // namespace kestr::test
