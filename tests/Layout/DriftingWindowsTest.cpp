#include <gtest/gtest.h>

#include "Layout/ApplyContext.h"
#include "Layout/ApplyFixture.h"

namespace kestr {
namespace {

using Placement = LayoutApplier::Placement;

class DriftingWindowsTest : public test::ApplyFixture {
protected:
    // Each item's placement is its saved frame on the left display.
    LayoutApplier::Placements placementsOf(const std::vector<LayoutItem>& items) {
        LayoutApplier::Placements out;
        for (const LayoutItem& i : items) {
            out[i.id] = Placement{leftID, uuidOf(leftID), i.appBundleID,
                                  Rect(i.targetFrame.x, i.targetFrame.y, i.targetFrame.width, i.targetFrame.height)};
        }
        return out;
    }
    std::map<Uuid, AXElement> preassign(const std::vector<LayoutItem>& items) {
        LayoutApplier::ApplyContext ctx;
        LayoutApplier::preassignDriftingWindows(items, placementsOf(items), ctx);
        return ctx.preassignedWindows;
    }
    static LayoutItem titled(LayoutItem item, const std::string& title) {
        item.capturedWindowTitle = title;
        return item;
    }
};

TEST_F(DriftingWindowsTest, TitleFirstThenTheLastWindowWithoutMeasuring) {
    install("com.apple.Terminal", "Terminal");
    const std::int32_t pid = run("com.apple.Terminal");
    // Listed: "vim notes.txt" first, "zsh" second (each added window goes in front).
    const AXElement zsh = addWindow(pid, "zsh", Rect(1000, 500, 400, 300));
    const AXElement vim = addWindow(pid, "vim notes.txt", Rect(0, 25, 400, 300));
    const LayoutItem htop = titled(item("com.apple.Terminal", "Terminal", Rect(0, 25, 400, 300)), "htop");
    const LayoutItem editor = titled(item("com.apple.Terminal", "Terminal", Rect(1000, 500, 400, 300)), "vim");

    const auto assigned = preassign({htop, editor});

    EXPECT_EQ(assigned.at(editor.id), vim);
    // The one window left goes to the unmatched item although the other lies nearer.
    EXPECT_EQ(assigned.at(htop.id), zsh);
}

TEST_F(DriftingWindowsTest, NearestWindowToEachSlotCentreInKestOrder) {
    install("com.google.Chrome", "Chrome");
    const std::int32_t pid = run("com.google.Chrome");
    const AXElement far = addWindow(pid, "Docs", Rect(900, 400, 500, 400));
    const AXElement near = addWindow(pid, "Mail", Rect(100, 100, 500, 400));
    const LayoutItem a = item("com.google.Chrome", "Chrome", Rect(0, 25, 400, 300));
    const LayoutItem b = item("com.google.Chrome", "Chrome", Rect(1000, 500, 400, 300));
    const LayoutItem c = item("com.google.Chrome", "Chrome", Rect(500, 25, 400, 300));

    const auto assigned = preassign({a, b, c});

    EXPECT_EQ(assigned.at(a.id), near);
    EXPECT_EQ(assigned.at(b.id), far);
    EXPECT_FALSE(assigned.contains(c.id));
}

TEST_F(DriftingWindowsTest, OnlyWindowsWhoseCornerLiesOnTheTargetDisplayArePooled) {
    addRightDisplay();
    install("com.apple.Terminal", "Terminal");
    const std::int32_t pid = run("com.apple.Terminal");
    // Its corner lies exactly on the left display's right edge: it belongs to the right one.
    addWindow(pid, "one", Rect(1440, 100, 400, 300));
    const AXElement inside = addWindow(pid, "two", Rect(1439, 100, 400, 300));
    const LayoutItem a = item("com.apple.Terminal", "Terminal", Rect(0, 25, 400, 300));
    const LayoutItem b = item("com.apple.Terminal", "Terminal", Rect(500, 25, 400, 300));

    const auto assigned = preassign({a, b});

    ASSERT_EQ(assigned.size(), 1u);
    EXPECT_EQ(assigned.begin()->second, inside);
}

TEST_F(DriftingWindowsTest, SingleItemsAndStableTitlesAreLeftToTheOrdinarySearch) {
    install("com.apple.Terminal", "Terminal");
    addWindow(run("com.apple.Terminal"), "zsh", Rect(0, 25, 400, 300));
    install("com.apple.finder", "Finder");
    const std::int32_t finder = run("com.apple.finder");
    addWindow(finder, "Documents", Rect(0, 25, 400, 300));
    addWindow(finder, "Downloads", Rect(500, 25, 400, 300));

    EXPECT_TRUE(preassign({item("com.apple.Terminal", "Terminal", Rect(0, 25, 400, 300)),
                           item("com.apple.finder", "Finder", Rect(0, 25, 400, 300)),
                           item("com.apple.finder", "Finder", Rect(500, 25, 400, 300))})
                    .empty());
}

TEST_F(DriftingWindowsTest, AnApplyPreassignsOnlyWhenRestoringFromAnAnchor) {
    // Two Terminal items; the second one's saved title shows in the first-listed window.
    // Preassigned, the first item gets the other window; searched for in kest order
    // without preassignment, the first item takes the window nearest its slot.
    install("com.apple.Terminal", "Terminal");
    const std::int32_t pid = run("com.apple.Terminal");
    const AXElement zsh = addWindow(pid, "zsh", Rect(1000, 500, 400, 300));
    const AXElement vim = addWindow(pid, "vim notes.txt", Rect(0, 25, 400, 300));
    const Layout layout = kest({item("com.apple.Terminal", "Terminal", Rect(0, 25, 700, 400)),
                                titled(item("com.apple.Terminal", "Terminal", Rect(720, 400, 700, 500)), "vim")});

    applyToEnd(layout, LayoutApplier::ApplyMode::restoreMissing, leftID);
    EXPECT_EQ(frameOf(zsh), Rect(0, 25, 700, 400));
    EXPECT_EQ(frameOf(vim), Rect(720, 400, 700, 500));

    // Put them back and re-apply as an edge move: no anchor, no preassignment.
    sim->world().window(zsh)->position = Point{1000, 500};
    sim->world().window(vim)->position = Point{0, 25};
    applyToEnd(layout, LayoutApplier::ApplyMode::reuseExisting, std::nullopt, FrameSource::target);
    EXPECT_EQ(frameOf(vim), Rect(0, 25, 700, 400));
    EXPECT_EQ(frameOf(zsh), Rect(720, 400, 700, 500));
}

}  // namespace
}  // namespace kestr
