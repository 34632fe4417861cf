// Fixture of the store tests: the stores' folder ("kestr" under Application Support)
// on a fresh simulated desktop, and the files in it.
#pragma once

#include <string>
#include <vector>

#include "Support/SimTest.h"

namespace kestr::test {

class StoreTest : public SimTest {
protected:
    std::string folder() { return sim->simFiles().folders().applicationSupport + "/kestr"; }
    std::string file(const std::string& name) { return folder() + "/" + name; }
    void put(const std::string& path, const std::string& bytes) {
        sim->simFiles().createDirectories(folder());
        sim->simFiles().writeAtomically(path, bytes);
    }
    std::string bytes(const std::string& path) { return sim->simFiles().read(path); }
    // The names in the folder, sorted, without the stores' lock files (which stay).
    std::vector<std::string> files() {
        std::vector<std::string> names = sim->simFiles().list(folder());
        std::erase_if(names, [](const std::string& name) { return name.ends_with(".lock"); });
        return names;
    }
};

}  // namespace kestr::test
