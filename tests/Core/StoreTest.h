// Fixture of the store tests: the kest store's folder on a fresh simulated desktop.
#pragma once

#include "Core/LayoutStore.h"
#include "Core/ModelJson.h"
#include "Support/SampleKests.h"
#include "Support/SimTest.h"

namespace kestr::test {

class StoreTest : public SimTest {
protected:
    std::string folder() { return sim->simFiles().folders().applicationSupport + "/kestr"; }
    std::string path() { return folder() + "/layouts.json"; }
    std::string backup() { return path() + ".bak"; }
    void put(const std::string& file, const std::string& bytes) {
        sim->simFiles().createDirectories(folder());
        sim->simFiles().writeAtomically(file, bytes);
    }
    std::string bytes(const std::string& file) { return sim->simFiles().read(file); }
    std::vector<std::string> files() { return sim->simFiles().list(folder()); }

    // The bytes the store writes for these kests.
    static std::string document(const std::vector<Layout>& layouts) {
        return LayoutStore::encoder().encode(layoutDocumentJson(1, layouts));
    }
    static std::vector<Layout> kests(std::uint32_t first, std::uint32_t count) {
        std::vector<Layout> out;
        for (std::uint32_t n = first; n < first + count; ++n) out.push_back(sampleKest(n, 2));
        return out;
    }
};

}  // namespace kestr::test
