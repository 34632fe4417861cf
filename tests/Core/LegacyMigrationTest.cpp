#include "Core/LegacyMigration.h"

#include <gtest/gtest.h>

#include "Support/SimTest.h"

namespace kestr {
namespace {

class LegacyMigrationTest : public test::SimTest {
protected:
    std::string support() { return sim->simFiles().folders().applicationSupport; }
    std::string earlier() { return support() + "/SpaceKest"; }
    std::string current() { return support() + "/kestr"; }
    void put(const std::string& file, const std::string& bytes) {
        sim->simFiles().createDirectories(file.substr(0, file.find_last_of('/')));
        sim->simFiles().writeAtomically(file, bytes);
    }
    SimDefaultsDomain& earlierDomain() { return sim->simDefaults().suiteDomain("com.spacekest.SpaceKest"); }
    SimDefaultsDomain& standard() { return sim->simDefaults().standardDomain(); }
};

TEST_F(LegacyMigrationTest, MovesTheEarlierFolderOnce) {
    put(earlier() + "/layouts.json", "L");
    put(earlier() + "/snaps.json", "S");
    LegacyMigration::run();
    EXPECT_FALSE(sim->simFiles().exists(earlier()));
    EXPECT_EQ(sim->simFiles().list(current()), (std::vector<std::string>{"layouts.json", "snaps.json"}));
    EXPECT_EQ(sim->simFiles().read(current() + "/layouts.json"), "L");
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{"kestr: migrated Application Support/SpaceKest → kestr"});

    sim->simLog().clear();
    LegacyMigration::run();  // the next start-up finds nothing to do
    EXPECT_TRUE(sim->simLog().lines().empty());
}

TEST_F(LegacyMigrationTest, NeverMergesIntoAnExistingFolder) {
    put(earlier() + "/layouts.json", "old");
    put(current() + "/layouts.json", "new");
    LegacyMigration::run();
    EXPECT_EQ(sim->simFiles().read(earlier() + "/layouts.json"), "old");
    EXPECT_EQ(sim->simFiles().list(current()), std::vector<std::string>{"layouts.json"});
    EXPECT_EQ(sim->simFiles().read(current() + "/layouts.json"), "new");
    EXPECT_TRUE(sim->simLog().lines().empty());
}

TEST_F(LegacyMigrationTest, FailedMoveIsLogged) {
    put(earlier() + "/layouts.json", "old");
    sim->simFiles().failOperation(FileOperation::move, "SpaceKest", 1);
    LegacyMigration::run();
    ASSERT_EQ(sim->simLog().lines().size(), 1u);
    EXPECT_EQ(sim->simLog().lines()[0].rfind("kestr: legacy data migration failed: ", 0), 0u);
    EXPECT_TRUE(sim->simFiles().exists(earlier() + "/layouts.json"));
    EXPECT_FALSE(sim->simFiles().exists(current()));
}

TEST_F(LegacyMigrationTest, WithoutApplicationSupportNothingHappens) {
    const std::string home = sim->simFiles().homeDirectory();
    put(home + "/Library/Application Support/SpaceKest/layouts.json", "old");
    SimDesktop other(SimDesktopOptions{nullptr, UserFolders{home, "", home + "/Desktop"}});
    installPlatform(&other);
    LegacyMigration::run();
    installPlatform(sim.get());
    EXPECT_TRUE(sim->simFiles().exists(home + "/Library/Application Support/SpaceKest/layouts.json"));
    EXPECT_FALSE(sim->simFiles().exists(home + "/Library/Application Support/kestr"));
    EXPECT_TRUE(other.simLog().lines().empty());
}

TEST_F(LegacyMigrationTest, CopiesSettingsThatAreNotSetYet) {
    earlierDomain().set("spacekest.enableDragSnap", false);
    earlierDomain().set("spacekest.smartSnapToKest", PlistValue("yes"));
    earlierDomain().set("spacekest.didSeedDefaultSnaps", 3);
    earlierDomain().set("spacekest.other", true);
    standard().set("kestr.didSeedDefaultSnaps", true);
    LegacyMigration::run();
    EXPECT_EQ(standard().values, (PlistDict{{"kestr.enableDragSnap", false},
                                            {"kestr.smartSnapToKest", PlistValue("yes")},
                                            {"kestr.didSeedDefaultSnaps", true}}));
    EXPECT_EQ(earlierDomain().values.size(), 4u);  // the earlier domain stays as it was

    // A value set since then is never overwritten.
    standard().set("kestr.enableDragSnap", true);
    LegacyMigration::run();
    EXPECT_EQ(standard().values.at("kestr.enableDragSnap"), PlistValue(true));
    EXPECT_TRUE(sim->simLog().lines().empty());
}

TEST_F(LegacyMigrationTest, SettingsUntouchedWithoutTheEarlierValues) {
    earlierDomain();
    LegacyMigration::run();
    EXPECT_TRUE(standard().values.empty());
    sim->simDefaults().setSuiteUnavailable("com.spacekest.SpaceKest");
    earlierDomain().set("spacekest.enableDragSnap", true);
    LegacyMigration::run();
    EXPECT_TRUE(standard().values.empty());
}

}  // namespace
}  // namespace kestr
