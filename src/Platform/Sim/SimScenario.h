// Scenario files: a simulated desktop written as JSON and built back from it, so that
// the command-line program, run again and again, sees the same desktop.
//
// Reading is strict: a wrong type, a missing required key or an unknown key fails
// with SimScenarioError naming the key path. A key left out takes its default value;
// an explicit null means "none" where a value may be absent (a window without a
// subrole, an application that never opens a window by itself, ...).
#pragma once

#include <nlohmann/json.hpp>

namespace kestr {

class SimDesktop;

class SimScenario {
public:
    static nlohmann::json write(const SimDesktop& desktop);
    // Builds the scenario's world into a fresh desktop.
    static void read(const nlohmann::json& scenario, SimDesktop& desktop);
    // The built-in desktop: two displays, the usual applications, several of them with
    // windows, accessibility granted.
    static nlohmann::json defaultScenario();

    static constexpr int version = 1;
};

}  // namespace kestr
