// The fixture of every test that runs against the simulated desktop: a fresh, empty
// SimDesktop on virtual time is installed before each test and removed after it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "Platform/Sim/SimDesktop.h"

namespace kestr::test {

class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the desktop with one built from the default scenario (two displays,
    // Finder, Terminal, Chrome, Ghostty and Notes running with windows).
    void loadDefaultScenario();

    std::unique_ptr<SimDesktop> sim;
};

}  // namespace kestr::test
