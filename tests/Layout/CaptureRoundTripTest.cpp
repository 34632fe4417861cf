// The engine end to end: a captured desktop, stored and read back, put back in place
// by an apply after every window has been moved, captures as it did before.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "Core/LayoutStore.h"
#include "Layout/ApplyFixture.h"
#include "Layout/LayoutCapture.h"

namespace kestr::test {
namespace {

class CaptureRoundTripTest : public ApplyFixture {
protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        addRightDisplay();
        for (const auto& [id, name] :
             std::vector<std::pair<std::string, std::string>>{{"com.example.editor", "Editor"},
                                                              {"com.apple.Terminal", "Terminal"},
                                                              {"com.example.viewer", "Viewer"},
                                                              {"com.example.mail", "Mail"}}) {
            install(id, name, std::nullopt);
            pids[id] = run(id);
        }
        // Main display: the editor on the left half, two terminals stacked on the right,
        // their edges a few points off each other.
        addWindow(pids["com.example.editor"], "main.cpp", Rect(0, 25, 720, 875));
        addWindow(pids["com.apple.Terminal"], "build", Rect(722, 25, 718, 437));
        addWindow(pids["com.apple.Terminal"], "logs", Rect(722, 465, 718, 435));
        // Right display: two viewers side by side with the same title (captured with
        // index matchers), one window below each.
        addWindow(pids["com.example.viewer"], "Viewer", Rect(1540, 100, 800, 600));
        addWindow(pids["com.example.viewer"], "Viewer", Rect(2440, 100, 800, 600));
        addWindow(pids["com.example.mail"], "Inbox", Rect(1540, 750, 800, 300));
        addWindow(pids["com.example.editor"], "notes.md", Rect(2440, 750, 700, 300));
    }

    // Every window somewhere else on its own display.
    void scatterWindows() {
        double n = 0;
        for (const auto& [id, pid] : pids) {
            for (SimWindow& w : sim->world().process(pid)->windows) {
                const double originX = w.position.x >= 1440 ? 1440 : 0;
                w.position = Point{originX + 40 + 30 * n, 60 + 20 * n};
                w.size = Size{500, 400};
                ++n;
            }
        }
    }

    // Each application's window frames, global and sorted.
    std::map<std::string, std::vector<Rect>> windowFrames() {
        std::map<std::string, std::vector<Rect>> out;
        for (const auto& [id, pid] : pids) {
            for (const SimWindow& w : sim->world().process(pid)->windows) out[id].push_back(w.frame());
        }
        for (auto& [id, frames] : out) std::sort(frames.begin(), frames.end(), before);
        return out;
    }

    // Each item's captured frame, made global.
    static std::map<std::string, std::vector<Rect>> capturedFrames(const Layout& layout) {
        std::map<std::string, std::vector<Rect>> out;
        for (const LayoutItem& item : layout.items) {
            const ScreenFrame& f = *item.capturedFrame;
            out[item.appBundleID].push_back(Rect(f.x + *f.dispX, f.y + *f.dispY, f.width, f.height));
        }
        for (auto& [id, frames] : out) std::sort(frames.begin(), frames.end(), before);
        return out;
    }

    static bool before(const Rect& a, const Rect& b) {
        return std::tie(a.origin.y, a.origin.x, a.size.width, a.size.height) <
               std::tie(b.origin.y, b.origin.x, b.size.width, b.size.height);
    }

    // The kest with its identifiers and dates blanked: items numbered in order, edge
    // members renamed after them and each side put in that order.
    static Layout withoutIdentity(Layout layout) {
        std::map<Uuid, Uuid> renamed;
        for (std::size_t i = 0; i < layout.items.size(); ++i) {
            Uuid number;
            number.bytes[15] = static_cast<std::uint8_t>(i + 1);
            renamed[layout.items[i].id] = number;
            layout.items[i].id = number;
        }
        for (EdgeGroup& group : layout.edgeGroups) {
            group.id = Uuid{};
            for (auto* side : {&group.leftOrTopItems, &group.rightOrBottomItems}) {
                for (EdgeMember& m : *side) m.itemID = renamed.at(m.itemID);
                std::sort(side->begin(), side->end(), [](auto& a, auto& b) { return a.itemID < b.itemID; });
            }
        }
        layout.id = Uuid{};
        layout.createdAt = layout.updatedAt = Date{};
        return layout;
    }

    std::map<std::string, std::int32_t> pids;
};

TEST_F(CaptureRoundTripTest, ApplyingAStoredCapturePutsEveryWindowBack) {
    const Layout first = LayoutCapture::captureCurrent("Desk", std::nullopt, false);
    ASSERT_EQ(first.items.size(), 7u);
    ASSERT_EQ(first.edgeGroups.size(), 2u);  // editor | terminals, build / logs
    std::size_t indexed = 0;
    for (const LayoutItem& item : first.items) indexed += item.windowMatcher.is<WindowMatcher::WindowIndex>();
    ASSERT_EQ(indexed, 2u);

    LayoutStore store;
    store.layouts = {first};
    store.save();
    LayoutStore reread;
    reread.load();
    ASSERT_EQ(reread.layouts.size(), 1u);
    const Layout loaded = reread.layouts[0];
    EXPECT_EQ(loaded, first);

    scatterWindows();
    ASSERT_NE(windowFrames(), capturedFrames(loaded));
    sim->virtualTime().advance(5);
    const ApplyReport report = applyToEnd(loaded, ApplyMode::restoreMissing, leftID, FrameSource::captured);
    EXPECT_EQ(report.applied, 7);
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_EQ(report.fellBackToMainDisplay, 0);

    EXPECT_EQ(windowFrames(), capturedFrames(loaded));

    const Layout second = LayoutCapture::captureCurrent("Desk", std::nullopt, false);
    EXPECT_NE(second.id, first.id);
    EXPECT_GT(second.createdAt, first.createdAt);
    EXPECT_EQ(withoutIdentity(second), withoutIdentity(first));
}

}  // namespace
}  // namespace kestr::test
