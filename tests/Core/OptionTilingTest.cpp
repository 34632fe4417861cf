#include "Core/OptionTiling.h"

#include "Platform/EventMonitors.h"
#include "Support/SimTest.h"

namespace kestr::test {
namespace {

class OptionTilingTest : public SimTest {
protected:
    std::optional<PlistValue> tiling() {
        return sim->simDefaults().suiteDomain(OptionTiling::suiteName).object(OptionTiling::tilingKey);
    }
    void setTiling(const PlistValue& v) {
        sim->simDefaults().suiteDomain(OptionTiling::suiteName).set(OptionTiling::tilingKey, v);
    }
    bool flag() {
        auto v = sim->defaults().standard().object(OptionTiling::disabledFlagKey);
        return v && v->get<bool>() && *v->get<bool>();
    }
    OptionTiling tilingSwitch() { return OptionTiling(sim->defaults()); }
};

TEST_F(OptionTilingTest, OptionTurnsTilingOffAndAnotherModifierGivesBackWhatWasThere) {
    // Absent before: absent again afterwards.
    tilingSwitch().reconcile(ModifierFlag::option);
    EXPECT_EQ(tiling(), PlistValue(false));
    EXPECT_TRUE(flag());
    tilingSwitch().reconcile(ModifierFlag::option);
    tilingSwitch().reconcile(ModifierFlag::command);
    EXPECT_EQ(tiling(), std::nullopt);
    EXPECT_FALSE(flag());
    tilingSwitch().reconcile(ModifierFlag::control);
    EXPECT_EQ(tiling(), std::nullopt);

    // The user's own true comes back as true, even after a second Option.
    setTiling(PlistValue(true));
    tilingSwitch().reconcile(ModifierFlag::option);
    tilingSwitch().reconcile(ModifierFlag::option);
    tilingSwitch().reconcile(ModifierFlag::shift);
    EXPECT_EQ(tiling(), PlistValue(true));
}

TEST_F(OptionTilingTest, AValueTheUserChangedMeanwhileIsLeftAlone) {
    setTiling(PlistValue(false));
    tilingSwitch().reconcile(ModifierFlag::option);
    setTiling(PlistValue(true));  // changed by the user while Option was the modifier
    tilingSwitch().reconcile(ModifierFlag::command);
    EXPECT_EQ(tiling(), PlistValue(true));
    EXPECT_FALSE(flag());

    // Opening the page: only when kestr has not turned it off yet.
    tilingSwitch().turnOffIfOwed(ModifierFlag::command);
    EXPECT_EQ(tiling(), PlistValue(true));
    tilingSwitch().turnOffIfOwed(ModifierFlag::option);
    EXPECT_EQ(tiling(), PlistValue(false));
    setTiling(PlistValue(std::int64_t{1}));
    tilingSwitch().turnOffIfOwed(ModifierFlag::option);
    EXPECT_EQ(tiling(), PlistValue(std::int64_t{1})) << "with the flag already set, opening writes nothing";
}

TEST_F(OptionTilingTest, ADesktopWithoutSuchTilingGetsNothingWritten) {
    sim->simCapabilities.optionDragTiling = false;
    tilingSwitch().reconcile(ModifierFlag::option);
    tilingSwitch().turnOffIfOwed(ModifierFlag::option);
    EXPECT_TRUE(sim->simDefaults().suiteDomains().empty());
    EXPECT_TRUE(sim->simDefaults().standardDomain().values.empty());
}

}  // namespace
}  // namespace kestr::test
