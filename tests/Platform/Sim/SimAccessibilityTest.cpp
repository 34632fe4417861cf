#include "Platform/Sim/SimAccessibility.h"

#include "Support/SimTest.h"

namespace kestr {
namespace {

class SimAccessibilityTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        loadDefaultScenario();
    }
    Accessibility& ax() { return sim->accessibility(); }
    AXElement app(std::int32_t pid) { return ax().createApplication(pid); }
    AXElementList windows(std::int32_t pid) {
        auto v = ax().copy(app(pid), "AXWindows");
        return v ? std::get<AXElementList>(*v) : AXElementList{};
    }
    template <class T>
    std::optional<T> read(AXElement e, const std::string& attribute) {
        auto v = ax().copy(e, attribute);
        if (!v || !std::holds_alternative<T>(*v)) return std::nullopt;
        return std::get<T>(*v);
    }
};

TEST_F(SimAccessibilityTest, WindowsKeepTheirElementAndReportTheirAttributes) {
    const auto terminal = windows(412);
    ASSERT_EQ(terminal.size(), 2u);
    EXPECT_EQ(windows(412), terminal);
    EXPECT_EQ(read<std::string>(terminal[0], "AXTitle"), "user — -zsh — 80×24");
    EXPECT_EQ(read<Point>(terminal[0], "AXPosition"), (Point{200, 660}));
    EXPECT_EQ(read<std::string>(terminal[0], "AXRole"), "AXWindow");
    EXPECT_EQ(read<std::string>(terminal[0], "AXSubrole"), "AXStandardWindow");
    EXPECT_EQ(read<AXElement>(app(412), "AXFocusedWindow"), terminal[0]);
    EXPECT_EQ(read<AXElement>(ax().createSystemWide(), "AXFocusedApplication"), app(412));
    EXPECT_EQ(ax().pid(terminal[1]), 412);
    EXPECT_EQ(read<bool>(windows(745)[1], "AXMinimized"), true);
}

TEST_F(SimAccessibilityTest, SizeWritesFollowTheWindowsRule) {
    const AXElement terminal = windows(412)[0];
    EXPECT_EQ(ax().setAttributeValue(terminal, "AXSize", Size{800, 600}), AXError::success);
    EXPECT_EQ(read<Size>(terminal, "AXSize"), (Size{799, 590}));
    EXPECT_EQ(ax().setAttributeValue(terminal, "AXSize", Size{1, 1}), AXError::success);
    EXPECT_EQ(read<Size>(terminal, "AXSize"), (Size{260, 212}));
    const AXElement finder = windows(301)[0];
    ax().setAttributeValue(finder, "AXSize", Size{1, 1});
    EXPECT_EQ(read<Size>(finder, "AXSize"), (Size{316, 288}));
    EXPECT_EQ(ax().setAttributeValue(finder, "AXSize", Point{1, 1}), AXError::illegalArgument);
}

TEST_F(SimAccessibilityTest, FullScreenTakesTheDisplayAndGivesTheFrameBack) {
    const AXElement chrome = windows(523)[0];
    ax().setAttributeValue(chrome, "AXFullScreen", true);
    EXPECT_EQ(read<Point>(chrome, "AXPosition"), (Point{1920, 0}));
    EXPECT_EQ(read<Size>(chrome, "AXSize"), (Size{2560, 1440}));
    EXPECT_EQ(ax().setAttributeValue(chrome, "AXPosition", Point{0, 0}), AXError::cannotComplete);
    ax().setAttributeValue(chrome, "AXFullScreen", false);
    EXPECT_EQ(read<Point>(chrome, "AXPosition"), (Point{1960, 60}));
    EXPECT_EQ(read<Size>(chrome, "AXSize"), (Size{1400, 1000}));
}

TEST_F(SimAccessibilityTest, WithoutTrustEveryCallFailsUntilThePromptIsAnswered) {
    sim->world().trusted = false;
    AXValue value;
    EXPECT_EQ(ax().copyAttributeValue(app(301), "AXWindows", value), AXError::apiDisabled);
    EXPECT_EQ(ax().setAttributeValue(app(301), "AXEnhancedUserInterface", false), AXError::apiDisabled);
    EXPECT_FALSE(ax().isProcessTrustedWithOptions(false));
    EXPECT_EQ(sim->simAccessibility().promptsShown(), 0);
    EXPECT_FALSE(ax().isProcessTrustedWithOptions(true));
    EXPECT_EQ(sim->simAccessibility().promptsShown(), 1);
    sim->simAccessibility().answerPrompt(true, 2.0);
    sim->virtualTime().advance(1.9);
    EXPECT_FALSE(ax().isProcessTrusted());
    sim->virtualTime().advance(0.1);
    EXPECT_TRUE(ax().isProcessTrusted());
    EXPECT_EQ(windows(301).size(), 1u);
}

TEST_F(SimAccessibilityTest, ApplicationThatDoesNotAnswerFailsEveryCall) {
    const AXElement window = windows(745)[0];
    sim->world().process(745)->responds = false;
    AXValue value;
    EXPECT_EQ(ax().copyAttributeValue(app(745), "AXWindows", value), AXError::cannotComplete);
    EXPECT_EQ(ax().copyAttributeValue(window, "AXTitle", value), AXError::cannotComplete);
    EXPECT_EQ(ax().setAttributeValue(window, "AXPosition", Point{0, 0}), AXError::cannotComplete);
    EXPECT_EQ(sim->world().window(window)->position, (Point{1100, 100}));
}

TEST_F(SimAccessibilityTest, ClosedWindowsAndQuitApplicationsBecomeInvalid) {
    const AXElement window = windows(745)[0];
    sim->world().closeWindow(window);
    AXValue value;
    EXPECT_EQ(ax().copyAttributeValue(window, "AXTitle", value), AXError::invalidUIElement);
    sim->world().terminate(745);
    EXPECT_EQ(ax().copyAttributeValue(app(745), "AXWindows", value), AXError::invalidUIElement);
    EXPECT_EQ(ax().copyAttributeValue(app(9999), "AXWindows", value), AXError::invalidUIElement);
}

TEST_F(SimAccessibilityTest, UnreadableAndUnsupportedAttributesFail) {
    const AXElement window = windows(301)[0];
    sim->world().window(window)->unreadable.insert("AXPosition");
    AXValue value;
    EXPECT_EQ(ax().copyAttributeValue(window, "AXPosition", value), AXError::cannotComplete);
    EXPECT_EQ(ax().copyAttributeValue(window, "AXSize", value), AXError::success);
    // Finder has the enhanced flag but not the manual one; Chrome has both.
    EXPECT_EQ(ax().copyAttributeValue(app(301), "AXManualAccessibility", value), AXError::attributeUnsupported);
    EXPECT_EQ(ax().setAttributeValue(app(523), "AXManualAccessibility", true), AXError::success);
    EXPECT_EQ(sim->world().process(523)->manualAccessibility, true);
}

TEST_F(SimAccessibilityTest, ChildrenFormATreeOfScrollAreas) {
    const AXElement finder = windows(301)[0];
    auto children = read<AXElementList>(finder, "AXChildren");
    ASSERT_TRUE(children);
    ASSERT_EQ(children->size(), 1u);
    EXPECT_EQ(read<std::string>((*children)[0], "AXRole"), "AXSplitGroup");
    auto areas = read<AXElementList>((*children)[0], "AXChildren");
    ASSERT_EQ(areas->size(), 2u);
    EXPECT_EQ(read<std::string>((*areas)[0], "AXRole"), "AXScrollArea");
    EXPECT_EQ(read<Size>((*areas)[0], "AXSize"), (Size{180, 508}));
    EXPECT_EQ(ax().pid((*areas)[1]), 301);
}

TEST_F(SimAccessibilityTest, CallsAreCountedByElementKind) {
    auto& sax = sim->simAccessibility();
    sax.resetCounts();
    const auto list = windows(412);
    read<Point>(list[0], "AXPosition");
    read<Size>(list[1], "AXSize");
    ax().setAttributeValue(list[0], "AXPosition", Point{10, 30});
    read<AXElement>(ax().createSystemWide(), "AXFocusedApplication");
    EXPECT_EQ(sax.reads(SimElementKind::application), 1u);
    EXPECT_EQ(sax.reads(SimElementKind::window), 2u);
    EXPECT_EQ(sax.reads(SimElementKind::systemWide), 1u);
    EXPECT_EQ(sax.writes(SimElementKind::window), 1u);
    EXPECT_EQ(sax.totalReads(), 4u);
    EXPECT_EQ(sax.totalWrites(), 1u);
    sax.resetCounts();
    EXPECT_EQ(sax.totalReads() + sax.totalWrites(), 0u);
}

}  // namespace
}  // namespace kestr
