#include "Core/LegacyMigration.h"

#include <gtest/gtest.h>

#include "Support/SimTest.h"

namespace kestr {
namespace {

class LegacyMigrationTest : public test::SimTest {
protected:
    std::string earlier() { return sim->simFiles().folders().applicationSupport + "/SpaceKest"; }
    std::string current() { return sim->simFiles().folders().applicationSupport + "/kestr"; }
    void put(const std::string& file, const std::string& bytes) {
        sim->simFiles().createDirectories(earlier());
        sim->simFiles().writeAtomically(earlier() + "/" + file, bytes);
    }
};

// The earlier folder moves once, never merged; settings are copied where not set yet.
TEST_F(LegacyMigrationTest, MovesTheEarlierFolderAndCopiesSettingsOnce) {
    auto& earlierDomain = sim->simDefaults().suiteDomain("com.spacekest.SpaceKest");
    auto& standard = sim->simDefaults().standardDomain();
    earlierDomain.set("spacekest.enableDragSnap", false);
    earlierDomain.set("spacekest.didSeedDefaultSnaps", 3);
    standard.set("kestr.didSeedDefaultSnaps", true);
    put("snaps.json", "S");
    LegacyMigration::run();
    EXPECT_EQ(standard.values, (PlistDict{{"kestr.enableDragSnap", false}, {"kestr.didSeedDefaultSnaps", true}}));
    EXPECT_EQ(earlierDomain.values.size(), 2u);  // the earlier domain stays as it was
    EXPECT_FALSE(sim->simFiles().exists(earlier()));
    EXPECT_EQ(sim->simFiles().read(current() + "/snaps.json"), "S");
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{"kestr: migrated Application Support/SpaceKest → kestr"});

    put("layouts.json", "old");
    LegacyMigration::run();
    EXPECT_EQ(sim->simFiles().read(earlier() + "/layouts.json"), "old");
    EXPECT_FALSE(sim->simFiles().exists(current() + "/layouts.json"));
    EXPECT_EQ(sim->simLog().lines().size(), 1u);
}

}  // namespace
}  // namespace kestr
