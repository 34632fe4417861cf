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
        sim->simFiles().createDirectories(file.substr(0, file.find_last_of('/')));
        sim->simFiles().writeAtomically(file, bytes);
    }
};

TEST_F(LegacyMigrationTest, MovesTheEarlierFolderOnceAndNeverMerges) {
    put(earlier() + "/snaps.json", "S");
    LegacyMigration::run();
    EXPECT_FALSE(sim->simFiles().exists(earlier()));
    EXPECT_EQ(sim->simFiles().read(current() + "/snaps.json"), "S");
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{"kestr: migrated Application Support/SpaceKest → kestr"});

    put(earlier() + "/layouts.json", "old");
    LegacyMigration::run();
    EXPECT_EQ(sim->simFiles().read(earlier() + "/layouts.json"), "old");
    EXPECT_FALSE(sim->simFiles().exists(current() + "/layouts.json"));
    EXPECT_EQ(sim->simLog().lines().size(), 1u);
}

TEST_F(LegacyMigrationTest, CopiesSettingsThatAreNotSetYet) {
    auto& earlierDomain = sim->simDefaults().suiteDomain("com.spacekest.SpaceKest");
    auto& standard = sim->simDefaults().standardDomain();
    earlierDomain.set("spacekest.enableDragSnap", false);
    earlierDomain.set("spacekest.didSeedDefaultSnaps", 3);
    standard.set("kestr.didSeedDefaultSnaps", true);  // never overwritten
    LegacyMigration::run();
    EXPECT_EQ(standard.values, (PlistDict{{"kestr.enableDragSnap", false}, {"kestr.didSeedDefaultSnaps", true}}));
    EXPECT_EQ(earlierDomain.values.size(), 2u);  // the earlier domain stays as it was
}

}  // namespace
}  // namespace kestr
