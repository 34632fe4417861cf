// The display dump, the content dump and the limit of a render, run in-process on the
// simulated desktop.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "App/DiagnosticModes.h"
#include "App/RenderOutput.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Platform/Sim/SimEventMonitors.h"
#include "Platform/Sim/SimHotKeys.h"
#include "Snap/SnapStore.h"
#include "Support/SampleKests.h"
#include "Support/CapturedOutput.h"
#include "Support/DesktopTest.h"
#include "Support/StartedTask.h"
#include "UI/Panel/KestRowView.h"
#include "UI/Snap/SnapCellView.h"

namespace kestr {
namespace {

class DiagnosticModesTest : public test::DesktopTest {
protected:
    int run(Task<int> task) {
        auto started = test::start(std::move(task));
        sim->virtualTime().runUntilIdle();
        return started.succeeded() ? started.value() : -1;
    }
    // The editor render of the stored kests, read back; empty when it failed.
    QImage renderedEditor() {
        const std::string path = sim->simFiles().homeDirectory() + "/e.png";
        if (DiagnosticModes::renderEditor(output, path) != 0) return {};
        const std::string png = sim->files().read(path);
        return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()))
            .convertToFormat(QImage::Format_RGB32);
    }
    CapturedOutput output;
};

TEST_F(DiagnosticModesTest, DisplayDumpWritesThreeLinesPerScreen) {
    addDisplay(1, Rect(0, 0, 1920, 1200), Insets{25, 0, 70, 0}).uuid("37D8832A-2D66-4B0F-9F3F-1234567890AB");
    addDisplay(0, Rect(1920, 0, 100, 100)).noIdentifier().uuid(std::nullopt);
    addDisplay(7, Rect(-1440.5, -300, 1440, 900)).uuid(std::nullopt);
    EXPECT_EQ(run(DiagnosticModes::displayDump(output)), 0);
    EXPECT_EQ(output.stdoutText,
              "=== Displays (CGMainDisplayID=1) ===\n"
              "  uuid=37D8832A id=1 [MAIN]\n"
              "      axBounds   =(0,0 1920x1200)\n"
              "      visibleLocal=(0,25 1920x1105)\n"
              "  (NSScreen with no displayID)\n"
              "  uuid=? id=7\n"
              "      axBounds   =(-1440,-300 1440x900)\n"
              "      visibleLocal=(0,0 1440x900)\n");
}

TEST_F(DiagnosticModesTest, ContentDumpListsReadingsProbesAndMatches) {
    addDisplay(1, Rect(0, 0, 1920, 1200));
    // Downloads is in front, so it is listed first.
    app("com.apple.finder", "Finder")
        .window("Downloads", Rect(900, 600, 600, 400))
        .window("Projects", Rect(-12.7, 40, 800, 500))
        .run();
    app("com.example.Notes", "Notes").run();
    sim->simScriptHost().handler = [](const std::string& source) -> std::optional<ScriptOutcome> {
        if (source.find("repeat") != std::string::npos || source.find("for i from") != std::string::npos)
            return SimScriptHost::success("-12,40,788,540\t180\t/Users/me/Projects\n");
        if (source.find("count of Finder windows") != std::string::npos) return SimScriptHost::success("2");
        if (source.find("get name of") != std::string::npos) return SimScriptHost::success(std::nullopt);
        if (source.find("as alias") != std::string::npos) return SimScriptHost::notCreated();
        return SimScriptHost::failure(-1743, "Not authorized to send Apple events to Finder.");
    };
    EXPECT_EQ(run(DiagnosticModes::contentDump(output)), 0);
    EXPECT_EQ(output.stdoutText,
              "=== AX windows (bundleID @ position size) ===\n"
              "  com.apple.finder  pos=(900,600)  size=(600,400)  title=Downloads\n"
              "  com.apple.finder  pos=(-12,40)  size=(800,500)  title=Projects\n"
              "\n=== Finder read (in-process) ===\n"
              "  frame=(-12.0, 40.0, 800.0, 500.0)  path=/Users/me/Projects\n"
              "\n=== Chrome read (in-process) ===\n"
              "  (empty — script failed, permission denied, or no windows)\n"
              "\n=== Finder target probe (in-process) ===\n"
              "  [finder-count] OK → 2\n"
              "  [finder-w1-name] OK → (non-string)\n"
              "  [finder-w1-target-url] ERROR -1743: Not authorized to send Apple events to Finder.\n"
              "  [finder-w1-target-posix] compile failed\n"
              "\n=== bestMatch per window ===\n"
              "  Finder  → (no match)\n"
              "  Finder  → /Users/me/Projects\n");
}

// A panel of thousands of kests is taller than a PNG may be: said in points before
// gigabytes are spent on an image, and nothing is written.
TEST_F(DiagnosticModesTest, ARenderTooTallToDrawIsRefusedBeforeItIsDrawn) {
    const std::string path = sim->simFiles().homeDirectory() + "/panel.png";
    QWidget sheet;
    sheet.resize(296, 600000);
    EXPECT_EQ(RenderOutput::write(output, sheet, path, "panel", sheet.size()), 1);
    EXPECT_EQ(output.stderrText, "Failed to write panel render to " + path +
                                     ": the image would be too tall (600000 points; at most 500000 points can be "
                                     "drawn)\n");
    EXPECT_EQ(output.stdoutText, "");
    EXPECT_FALSE(sim->files().exists(path));
}

// The renders draw each kest's shortcut, its own or the automatic one, and take no key
// and no event of the user's desktop to do it.
TEST_F(DiagnosticModesTest, RendersDrawTheShortcutsWithoutRegisteringAny) {
    LayoutStore::shared().layouts = {test::sampleKest(1, 2), test::sampleKest(2, 1)};
    LayoutStore::shared().layouts[0].hotkey.reset();
    LayoutStore::shared().save();
    const std::string home = sim->simFiles().homeDirectory();
    EXPECT_EQ(DiagnosticModes::renderPanel(output, {"--render-panel", home + "/p.png"}, home + "/p.png"), 0)
        << output.stderrText;
    EXPECT_EQ(DiagnosticModes::renderEditor(output, home + "/e.png"), 0) << output.stderrText;
    EXPECT_TRUE(sim->simHotKeys().registrations().empty());
    EXPECT_FALSE(sim->simHotKeys().hasHandler());
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), 0u);
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{});
    HotkeyManager& hotkeys = HotkeyManager::shared();
    EXPECT_EQ(hotkeys.effectiveHotkey(LayoutStore::shared().layouts[0].id), (Hotkey{18, 0x1900}));
    EXPECT_EQ(hotkeys.effectiveHotkey(LayoutStore::shared().layouts[1].id), LayoutStore::shared().layouts[1].hotkey);
    EXPECT_TRUE(hotkeys.captureHotkey());
}

// A window manager that keeps the Super key for itself takes every shortcut with it: the
// renders find that as the running program does, mark those shortcuts, and the empty
// panel offers no "or press" shortcut (its line, 16 points, is left out); still nothing is
// registered or logged.
TEST_F(DiagnosticModesTest, TheRendersMarkTheShortcutsOfAModifierAnotherProgramKeeps) {
    LayoutStore::shared().layouts = {test::sampleKest(1, 2)};
    LayoutStore::shared().save();
    const Hotkey superKeys = *LayoutStore::shared().layouts[0].hotkey;
    ASSERT_TRUE(superKeys.modifiers & CarbonModifier::control);
    const std::string path = sim->simFiles().homeDirectory() + "/p.png";
    const auto renderedHeight = [&] {
        CapturedOutput written;
        EXPECT_EQ(DiagnosticModes::renderPanel(written, {"--render-panel", path, "empty"}, path), 0);
        const std::string& line = written.stdoutText;
        return std::stoi(line.substr(line.find("(296x") + 5));
    };
    const int free = renderedHeight();
    EXPECT_EQ(HotkeyManager::shared().shownKeys(superKeys), superKeys.displayString());

    sim->simHotKeys().heldModifiers = CarbonModifier::control;
    EXPECT_EQ(renderedHeight(), free - 16);
    HotkeyManager& hotkeys = HotkeyManager::shared();
    EXPECT_EQ(hotkeys.shownKeys(superKeys), "\u26A0 " + superKeys.displayString());
    EXPECT_FALSE(hotkeys.arrivingCaptureHotkey());
    EXPECT_TRUE(sim->simHotKeys().registrations().empty());
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{});
}

// A key this keyboard does not have never arrives: each render asks the keyboard as the
// running program does and marks the kest's F19 and the snap's F18, still taking and
// logging nothing.
TEST_F(DiagnosticModesTest, TheRendersMarkKeysTheKeyboardLacks) {
    const Hotkey f19{80, CarbonModifier::command | CarbonModifier::option};
    const Hotkey f18{79, f19.modifiers};
    LayoutStore::shared().layouts = {test::sampleKest(1, 2)};
    LayoutStore::shared().layouts[0].hotkey = f19;
    LayoutStore::shared().save();
    SnapStore::shared().bindings = {SnapBinding{Uuid::random(), SnapAction::leftHalf, f18}};
    SnapStore::shared().save();
    sim->simHotKeys().missingKeys = {f19.keyCode, f18.keyCode};
    const std::string path = sim->simFiles().homeDirectory() + "/r.png";
    HotkeyManager& hotkeys = HotkeyManager::shared();
    const auto marked = [](const Hotkey& h) { return "\u26A0 " + h.displayString(); };
    for (const bool panel : {true, false}) {
        hotkeys.lackingKeys.clear();
        ASSERT_EQ(panel ? DiagnosticModes::renderPanel(output, {"--render-panel", path}, path)
                        : DiagnosticModes::renderEditor(output, path),
                  0)
            << output.stderrText;
        const Layout& kest = LayoutStore::shared().layouts[0];
        EXPECT_EQ(KestRowView::models(LayoutStore::shared().layouts).at(0).hotkey, marked(f19)) << "panel row";
        EXPECT_EQ(hotkeys.shownKestKeys(kest), marked(f19)) << "gallery cell";
        EXPECT_EQ(SnapCellView::model(SnapStore::shared().bindings[0]).hotkey, marked(f18)) << "snap cell";
    }
    EXPECT_TRUE(sim->simHotKeys().registrations().empty());
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{});
}

// The kest's page keeps a margin at the sheet's right edge, as the gallery does at its
// left: the preview's and the content editor's cards end inside the picture.
TEST_F(DiagnosticModesTest, TheEditorRenderShowsThePagesCardsWhole) {
    LayoutStore::shared().layouts = {test::sampleKest(1, 2)};
    // A terminal's content editor: its card holds the terminal's tabs.
    LayoutStore::shared().layouts[0].items[0].appBundleID = "com.apple.Terminal";
    LayoutStore::shared().save();
    const QImage image = renderedEditor();
    ASSERT_EQ(image.width(), 1504) << output.stderrText;
    const QRgb sheet = image.pixel(2, 2);
    // The middles of the preview's card and of the content editor's, at twice the points.
    for (const int y : {2 * 190, 2 * 455}) {
        EXPECT_EQ(image.pixel(1503, y), sheet) << "the sheet's right edge, y " << y;
        EXPECT_NE(image.pixel(1480, y), sheet) << "the card, y " << y;
    }
}

// The kest's name heads its page as it is written: a name that looks like markup is not
// read as markup, which here would leave nothing to show.
TEST_F(DiagnosticModesTest, TheEditorRenderShowsTheKestsNameAsWritten) {
    LayoutStore::shared().layouts = {test::sampleKest(1, 1)};
    LayoutStore::shared().layouts[0].name = "<i></i>";
    LayoutStore::shared().save();
    const QImage image = renderedEditor();
    ASSERT_FALSE(image.isNull()) << output.stderrText;
    const QRgb sheet = image.pixel(2, 2);
    int inked = 0;
    // The name's line, 12 points from the top of the page, at twice the points.
    for (int y = 2 * 12; y < 2 * 40; ++y) {
        for (int x = 2 * 292; x < 2 * 400; ++x) inked += image.pixel(x, y) != sheet;
    }
    EXPECT_GT(inked, 50);
}

// The panel render's strip is the live panel's segmented control, the shown tab
// selected: a white segment on its side, never the other's.
TEST_F(DiagnosticModesTest, ThePanelRenderDrawsTheTabsAsTheSegmentedControl) {
    const std::string path = sim->simFiles().homeDirectory() + "/p.png";
    const auto whiteIn = [](const QImage& image, int fromX, int toX) {
        int count = 0;
        for (int y = 0; y < 96; ++y) {
            for (int x = fromX; x < toX; ++x) count += image.pixel(x, y) == qRgb(255, 255, 255);
        }
        return count;
    };
    for (const bool snaps : {false, true}) {
        std::vector<std::string> arguments = {"--render-panel", path};
        if (snaps) arguments.push_back("snaps");
        ASSERT_EQ(DiagnosticModes::renderPanel(output, arguments, path), 0) << output.stderrText;
        const std::string png = sim->files().read(path);
        const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()))
                                 .convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.width(), 592);
        // The two segments are as wide as their titles, so the middle is only nearly theirs.
        const int selected = whiteIn(image, snaps ? 296 : 0, snaps ? 592 : 296);
        EXPECT_GT(selected, 2000) << "the selected segment, snaps " << snaps;
        EXPECT_GT(selected, 10 * whiteIn(image, snaps ? 0 : 296, snaps ? 296 : 592)) << "snaps " << snaps;
    }
}

}  // namespace
}  // namespace kestr
