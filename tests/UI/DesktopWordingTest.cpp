// On a Linux desktop the texts that show shortcuts name the keys as its keyboards label
// them ("Ctrl+Alt+Super+1"), through the desktop's wording; what is stored stays the same.
#include <QMenu>
#include <QTest>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Platform/X11/X11Wording.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapShortcutsModel.h"
#include "UI/Panel/KestPanelContentView.h"
#include "UI/Panel/KestPanelController.h"
#include "UI/Shell/StatusMenu.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "Support/SimTest.h"

namespace kestr::test {
namespace {

// The simulated desktop speaking a Linux desktop's words.
class LinuxWordedDesktop : public SimDesktop {
public:
    Wording& wording() override { return words; }
    X11Wording words;
};

class DesktopWordingTest : public SimTest {
protected:
    void SetUp() override {
        sim = std::make_unique<LinuxWordedDesktop>();
        installPlatform(sim.get());
    }
};

std::vector<std::string> shortcutColumn(const QMenu& menu) {
    std::vector<std::string> out;
    for (QAction* a : menu.actions()) {
        const QString text = a->text();
        if (text.contains(QLatin1Char('\t'))) out.push_back(text.section(QLatin1Char('\t'), 1).toStdString());
    }
    return out;
}

TEST_F(DesktopWordingTest, TheMenuTheRecorderAndTheResetQuestionNameTheKeys) {
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Split";
    kest.items.resize(1);
    LayoutStore::shared().layouts = {kest};
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, {});
    bool snapsTabOpened = false;
    StatusMenu::Actions actions;
    actions.importSnaps = [&] { snapsTabOpened = true; };
    const auto menu = StatusMenu::build(true, actions);
    EXPECT_EQ(shortcutColumn(*menu), (std::vector<std::string>{"Ctrl+Alt+Super+1", "Ctrl+Alt+Super+\u21A9", "Ctrl+Q"}));
    // The Snap submenu names no other system's tools; its last command still opens the
    // Snaps tab.
    QMenu* snap = nullptr;
    for (QAction* a : menu->actions())
        if (a->menu() && a->text() == "Snap") snap = a->menu();
    ASSERT_TRUE(snap);
    EXPECT_EQ(snap->actions().back()->text().toStdString(), "Check Shortcut Conflicts\u2026");
    snap->actions().back()->trigger();
    EXPECT_TRUE(snapsTabOpened);
    EXPECT_EQ(HotkeyManager::shared().effectiveHotkey(kest.id), (Hotkey{18, HotkeyManager::automaticModifiers}));

    ShortcutRecorderView recorder;
    recorder.show();
    recorder.beginRecording();
    QTest::keyPress(&recorder, Qt::Key_Control, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(recorder.text(), "Ctrl+Alt\u2026");
    QTest::keyClick(&recorder, Qt::Key_K);
    EXPECT_EQ(recorder.text(), "need Ctrl/Alt/Super/Shift\u2026");
    QTest::keyClick(&recorder, Qt::Key_Left, Qt::MetaModifier | Qt::AltModifier);
    EXPECT_EQ(recorder.hotkey(), (Hotkey{123, CarbonModifier::control | CarbonModifier::option}));
    EXPECT_EQ(recorder.text(), "Alt+Super+\u2190");

    SnapShortcutsModel::confirmReset();
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_NE(
        sim->simAlerts().requests[0].informativeText.find(
            "defaults — Alt+Super for placement, Alt+Shift+Super for detailed/move, Ctrl+Alt+Super for displays."),
        std::string::npos);
}

TEST_F(DesktopWordingTest, PanelSnapCellsWriteShortcutsShortAndKeepEveryModifier) {
    std::vector<SnapCellView::Model> cells;
    for (const SnapBinding& binding : SnapDefaults::magnetBindings()) cells.push_back(SnapCellView::model(binding));
    // A shortcut of the user's own with every modifier and a long key name.
    for (SnapCellView::Model& model : cells)
        if (model.action == SnapAction::restore)
            model = SnapCellView::model({Uuid::random(), SnapAction::restore, Hotkey{116, 0x1B00}});
    KestPanelContentView content;
    content.build(KestPanelContentView::Mode::snaps, {}, cells, KestPanelController::width);
    const auto cell = [&](SnapAction action) -> SnapCellView& {
        for (SelectableCell* c : content.selectableCells) {
            auto* snap = dynamic_cast<SnapCellView*>(c);
            if (snap && snap->model().action == action) return *snap;
        }
        throw std::runtime_error("no cell for " + action.rawValue());
    };
    const auto shown = [&](SnapAction action) {
        const auto badge = cell(action).badge();
        EXPECT_TRUE(badge);
        const double width = QFontMetricsF(badge->font).horizontalAdvance(badge->text) * badge->squeeze;
        EXPECT_LE(width, cell(action).width() - 14 + 0.01) << action.rawValue() << " fits its cell";
        EXPECT_FALSE(badge->text.contains(QChar(0x2026))) << action.rawValue() << " is never cut";
        return badge->text.toStdString();
    };
    EXPECT_EQ(shown(SnapAction::firstFourth), "Alt\u2009Sup\u20091");
    EXPECT_EQ(shown(SnapAction::firstThreeFourths), "Alt\u2009\u21E7\u2009Sup\u20091")
        << "the Shift that tells the two apart stays";
    EXPECT_EQ(shown(SnapAction::nextDisplay), "Ctrl\u2009Alt\u2009Sup\u2009\u2192");
    EXPECT_EQ(shown(SnapAction::restore), "Ctrl\u2009Alt\u2009\u21E7\u2009Sup\u2009PgUp") << "narrowed, whole";
    // Full names stay where there is room.
    EXPECT_EQ(cell(SnapAction::firstThreeFourths).accessibilityLabel().toStdString(),
              SnapAction(SnapAction::firstThreeFourths).displayName() + ", shortcut Alt+Shift+Super+1");
}

}  // namespace
}  // namespace kestr::test
