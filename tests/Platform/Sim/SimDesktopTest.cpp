#include "Platform/Sim/SimDesktop.h"

#include <filesystem>

#include "Support/SimTest.h"

namespace kestr {
namespace {

namespace fs = std::filesystem;

TEST(SimDesktop, TemporaryHomeIsMadeAndRemoved) {
    std::string home;
    {
        SimDesktop desktop;
        home = desktop.files().homeDirectory();
        EXPECT_TRUE(fs::is_directory(home + "/Desktop"));
        EXPECT_EQ(desktop.files().applicationSupportDirectories(), std::vector<std::string>{home + "/.local/share"});
        EXPECT_EQ(desktop.files().desktopDirectory(), home + "/Desktop");
        desktop.files().createDirectories(home + "/.local/share/kestr");
        desktop.files().writeAtomically(home + "/.local/share/kestr/layouts.json", "{}");
    }
    EXPECT_FALSE(fs::exists(home));
}

TEST(SimDesktop, GivenFoldersAndActorAreUsedAndKept) {
    SimDesktop scratch;
    const std::string home = scratch.files().homeDirectory() + "/other";
    fs::create_directories(home);
    {
        SimDesktopOptions options;
        options.mainActor = std::make_unique<RealTimeMainActor>();
        options.folders = UserFolders{home, "", home + "/Desktop"};
        SimDesktop desktop(std::move(options));
        EXPECT_TRUE(desktop.files().applicationSupportDirectories().empty());
        EXPECT_NE(dynamic_cast<RealTimeMainActor*>(&desktop.mainActor()), nullptr);
        EXPECT_DEATH(desktop.virtualTime(), "virtual time");
    }
    EXPECT_TRUE(fs::exists(home));
}

class SimDesktopFixture : public test::SimTest {};

TEST_F(SimDesktopFixture, FilesCanFailAndTheClockFollowsVirtualTime) {
    const std::string path = sim->files().homeDirectory() + "/a.txt";
    sim->simFiles().failOperation(FileOperation::atomicWrite, "a.txt");
    EXPECT_THROW(sim->files().writeAtomically(path, "x"), FileError);
    sim->files().writeAtomically(path, "x");
    EXPECT_EQ(sim->files().read(path), "x");
    EXPECT_EQ(sim->simClock().now(), sim->simClock().start);
    sim->virtualTime().advance(2);
    EXPECT_EQ(sim->clock().now(), sim->simClock().start + 2);
}

}  // namespace
}  // namespace kestr
