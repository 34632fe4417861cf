#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

#include "Core/HotkeyManager.h"
#include "Core/OptionTiling.h"
#include "Core/Preferences.h"
#include "DragSnap/WindowDragTracker.h"
#include "Platform/EventMonitors.h"
#include "Platform/X11/X11Wording.h"
#include "Support/SimTest.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Snap/ShortcutRecorderView.h"

namespace kestr::test {
namespace {

class SettingsPageTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        standIn();
        HotkeyManager::shared().sync({}, {});
        editor().show(LayoutEditorWindow::Tab::kests);
        editor().selectCaptureSettings();
    }
    static LayoutEditorWindow& editor() { return LayoutEditorWindow::shared(); }
    std::optional<PlistValue> standard(const char* key) { return sim->defaults().standard().object(key); }
    // Makes the desktop stand for another before the page is built.
    virtual void standIn() {}
    QString notes() {
        QStringList out;
        for (QLabel* label : editor().captureDetail()->findChildren<QLabel*>()) out << label->text();
        return out.join('|');
    }
};

// The page on a desktop with no Option-drag tiling of its own and a package manager.
class X11SettingsPageTest : public SettingsPageTest {
protected:
    void standIn() override {
        sim->otherWording = &words;
        sim->simCapabilities.optionDragTiling = false;
    }
    X11Wording words{UpdateSource("/usr/bin/kestr")};
};

TEST_F(X11SettingsPageTest, TheNotesSpeakOfThisDesktop) {
    EXPECT_TRUE(
        notes().contains("hold the modifier to show the last applied kest's slots and drop into one; release "
                         "for free placement.|"))
        << notes().toStdString();
    EXPECT_FALSE(notes().contains("macOS"));
    EXPECT_TRUE(
        notes().contains("kestr is updated by your system's package manager, together with your other "
                         "software."));
}

TEST_F(SettingsPageTest, StartsFromTheDefaultsAndStoresTheCaptureShortcut) {
    EXPECT_TRUE(editor().captureDetail()->isVisible());
    EXPECT_EQ(editor().captureRecorder()->text(), "⌃⌥⌘↩");
    EXPECT_FALSE(editor().dragSnapSwitch()->isChecked());
    EXPECT_FALSE(editor().dragModifierPopup()->isEnabled());
    EXPECT_EQ(editor().dragModifierPopup()->currentText(), "⌘ Command");
    EXPECT_TRUE(notes().contains("also turns off macOS's own Option-drag tiling")) << notes().toStdString();

    int changes = 0;
    editor().onChange = [&] { ++changes; };
    editor().handleCaptureHotkeyRecorded(Hotkey{1, 0x1900});
    EXPECT_EQ(Preferences::shared().captureHotkey(), (Hotkey{1, 0x1900}));
    EXPECT_EQ(HotkeyManager::shared().captureHotkey(), (Hotkey{1, 0x1900}));
    EXPECT_EQ(editor().captureRecorder()->text(), "⌃⌥⌘S");

    // A shortcut another program holds: stored, not registered, the stored choice shown
    // marked as one that never arrives.
    sim->simHotKeys().holdByOtherProgram(2, 0x1900);
    editor().handleCaptureHotkeyRecorded(Hotkey{2, 0x1900});
    EXPECT_EQ(editor().captureRecorder()->text(), "⚠ ⌃⌥⌘D");
    EXPECT_FALSE(HotkeyManager::shared().captureHotkey());

    editor().handleCaptureHotkeyRecorded(std::nullopt);
    EXPECT_FALSE(standard(Preferences::captureHotkeyKey));
    EXPECT_EQ(editor().captureRecorder()->text(), "⌃⌥⌘↩");
    EXPECT_EQ(changes, 3);
}

TEST_F(SettingsPageTest, DragSnapSwitchAndModifierReachTheTrackerAndTheTiling) {
    editor().dragSnapSwitch()->click();
    EXPECT_EQ(standard("kestr.enableDragSnap"), PlistValue(true));
    EXPECT_TRUE(WindowDragTracker::shared().enabled);
    EXPECT_TRUE(editor().dragModifierPopup()->isEnabled());

    editor().dragModifierPopup()->setCurrentIndex(1);
    editor().handleDragModifierChanged();
    EXPECT_EQ(Preferences::shared().dragSnapModifier(), ModifierFlag::option);
    auto& suite = sim->simDefaults().suiteDomain(OptionTiling::suiteName);
    EXPECT_EQ(suite.object(OptionTiling::tilingKey), PlistValue(false));
    editor().dragSnapSwitch()->click();
    EXPECT_FALSE(WindowDragTracker::shared().enabled);
    EXPECT_EQ(suite.object(OptionTiling::tilingKey), PlistValue(false)) << "switching off restores nothing";
    editor().dragModifierPopup()->setCurrentIndex(0);
    editor().handleDragModifierChanged();
    EXPECT_EQ(suite.object(OptionTiling::tilingKey), std::nullopt);
}

// Drag snap stored as the number 1 (by hand, or by another program) is on here too.
TEST_F(SettingsPageTest, ASwitchStoredAsANumberShowsOnAndKeepsItsType) {
    sim->defaults().standard().set("kestr.enableDragSnap", PlistValue(1));
    editor().selectCaptureSettings();
    EXPECT_TRUE(editor().dragSnapSwitch()->isChecked());
    EXPECT_TRUE(editor().dragModifierPopup()->isEnabled());
    editor().dragSnapSwitch()->click();
    EXPECT_EQ(standard("kestr.enableDragSnap"), PlistValue(0));
}

TEST_F(SettingsPageTest, CheckingForUpdatesAsksTheUpdaterWhichSaysWhatItCanDo) {
    editor().handleCheckForUpdatesPressed();
    EXPECT_EQ(sim->simUpdater().checks, 1);
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "Can't check for updates");
}

}  // namespace
}  // namespace kestr::test
