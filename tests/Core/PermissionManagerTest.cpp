#include <gtest/gtest.h>

#include "Core/PermissionManager.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class PermissionManagerTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        sim->world().trusted = true;
    }
    PermissionManager& manager() {
        auto& m = PermissionManager::shared();
        if (!observing) {
            m.observers.push_back([this](bool v) { changes.push_back(v ? "granted" : "revoked"); });
            m.onAccessRevoked = [this] { changes.push_back("alert"); };
            observing = true;
        }
        return m;
    }
    VirtualMainActor& loop() { return sim->virtualTime(); }
    std::vector<std::string> changes;
    bool observing = false;
};

TEST_F(PermissionManagerTest, RevocationIsNoticedByTheSlowPollOnceThenStaysQuiet) {
    auto& m = manager();
    EXPECT_TRUE(m.isTrusted);
    m.startMonitoring();
    loop().advance(1.0);
    sim->world().trusted = false;
    loop().advance(3.9);
    EXPECT_TRUE(changes.empty()) << "nothing before the first tick at 5 s";
    loop().advance(0.2);
    EXPECT_EQ(changes, (std::vector<std::string>{"revoked", "alert"}));
    loop().advance(30);
    EXPECT_EQ(changes.size(), 2u);
    m.refresh();
    EXPECT_EQ(changes.size(), 2u) << "a refresh without a change calls nobody";
}

TEST_F(PermissionManagerTest, ActivationRefreshesAtOnce) {
    auto& m = manager();
    m.startMonitoring();
    sim->world().trusted = false;
    sim->simWorkspace().activateThisProgram();
    EXPECT_EQ(changes, (std::vector<std::string>{"revoked", "alert"}));
    sim->world().trusted = true;
    sim->simWorkspace().activateThisProgram();
    EXPECT_EQ(changes.back(), "granted");
    EXPECT_EQ(changes.size(), 3u) << "a grant calls only the observers";
}

TEST_F(PermissionManagerTest, FastWatchNoticesAGrantWithinHalfASecondAndStops) {
    sim->world().trusted = false;
    auto& m = manager();
    EXPECT_FALSE(m.isTrusted);
    m.beginFastWatch(30.0);
    loop().advance(2.0);
    sim->world().trusted = true;
    loop().advance(0.5);
    EXPECT_EQ(changes, (std::vector<std::string>{"granted"}));
    EXPECT_EQ(m.fastTimer, nullptr);
    EXPECT_FALSE(loop().hasPendingWork());
}

TEST_F(PermissionManagerTest, SecondFastWatchExtendsTheDeadlineWithOneTimer) {
    sim->world().trusted = false;
    auto& m = manager();
    m.beginFastWatch(30.0);
    const auto firstTimer = m.fastTimer;
    loop().advance(10.0);
    m.beginFastWatch(30.0);
    EXPECT_EQ(m.fastTimer, firstTimer);
    loop().advance(29.0);
    EXPECT_NE(m.fastTimer, nullptr) << "still watching 39 s after the first call";
    loop().advance(1.5);
    EXPECT_EQ(m.fastTimer, nullptr) << "stopped 40 s after the first call";
    EXPECT_TRUE(changes.empty());
}

TEST_F(PermissionManagerTest, OpensTheAccessibilitySettingsPane) {
    manager().openAccessibilitySettings();
    EXPECT_EQ(sim->simWorkspace().openedURLs(),
              (std::vector<std::string>{"x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"}));
}

}  // namespace
}  // namespace kestr
