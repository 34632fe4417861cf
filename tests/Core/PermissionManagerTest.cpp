#include <gtest/gtest.h>

#include "Core/PermissionManager.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class PermissionManagerTest : public test::SimTest {
protected:
    PermissionManager& manager(bool trusted) {
        sim->world().trusted = trusted;
        auto& m = PermissionManager::shared();
        m.observers.push_back([this](bool v) { changes.push_back(v ? "granted" : "revoked"); });
        m.onAccessRevoked = [this] { changes.push_back("alert"); };
        return m;
    }
    VirtualMainActor& loop() { return sim->virtualTime(); }
    std::vector<std::string> changes;
};

TEST_F(PermissionManagerTest, RevocationIsNoticedByTheSlowPollOnceAndActivationChecksAtOnce) {
    auto& m = manager(true);
    m.startMonitoring();
    loop().advance(1.0);
    sim->world().trusted = false;
    loop().advance(3.9);
    EXPECT_TRUE(changes.empty()) << "nothing before the first tick at 5 s";
    loop().advance(0.2);
    EXPECT_EQ(changes, (std::vector<std::string>{"revoked", "alert"}));
    loop().advance(30);
    EXPECT_EQ(changes.size(), 2u) << "no change calls nobody";

    // Bringing kestr to the front checks at once; a grant calls only the observers.
    sim->world().trusted = true;
    sim->simWorkspace().activateThisProgram();
    EXPECT_EQ(changes, (std::vector<std::string>{"revoked", "alert", "granted"}));
}

// A desktop without a permission to grant is read once and never polled.
TEST_F(PermissionManagerTest, APermissionThatCannotChangeIsNotWatched) {
    sim->simCapabilities.trustCanChange = false;
    auto& m = manager(true);
    sim->world().trusted = false;
    m.startMonitoring();
    EXPECT_EQ(changes, (std::vector<std::string>{"revoked", "alert"}));
    EXPECT_EQ(m.timer, nullptr);
    EXPECT_FALSE(sim->virtualTime().hasPendingWork());
}

TEST_F(PermissionManagerTest, FastWatchNoticesAGrantWithinHalfASecondAndStops) {
    auto& m = manager(false);
    m.beginFastWatch(30.0);
    loop().advance(2.0);
    sim->world().trusted = true;
    loop().advance(0.5);
    EXPECT_EQ(changes, (std::vector<std::string>{"granted"}));
    EXPECT_FALSE(loop().hasPendingWork());
}

}  // namespace
}  // namespace kestr
