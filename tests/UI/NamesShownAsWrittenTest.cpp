// Names and titles from a kest file or another program read letter for letter wherever
// kestr shows them, even when they look like markup: nothing turns bold, nothing is left
// out, no link can be followed.
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>
#include <gtest/gtest.h>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/UnicodeText.h"
#include "Platform/Sim/SimHotKeys.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"
#include "Support/ReadText.h"
#include "Support/SimTest.h"
#include "UI/Manager/DeleteDialog.h"
#include "UI/ShownText.h"
#include "UI/Shell/MessageBoxAlerts.h"
#include "UI/Shell/StatusMenu.h"
#include "UI/Shell/ToastPresenter.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "UI/Snap/SnapShortcutsView.h"

namespace kestr::test {
namespace {

const std::string name = "<b>Bold</b> &amp; <i>it</i> <a href=\"https://example.com\">here</a>";
const QString isolated = ShownText::of(name);

QString labelSaying(const QWidget& parent, const QString& part) {
    for (const QLabel* label : parent.findChildren<QLabel*>()) {
        if (label->text().contains(part)) return readText(*label);
    }
    return "(no label with " + part + ")";
}

class NamesShownAsWrittenTest : public SimTest {};

TEST_F(NamesShownAsWrittenTest, EveryPlaceShowsTheNameAsWritten) {
    constexpr std::uint32_t ctrlOpt = CarbonModifier::control | CarbonModifier::option;
    SnapStore::shared().bindings = SnapDefaults::magnetBindings();
    Layout kest;
    kest.id = Uuid::random();
    kest.name = name;
    kest.hotkey = Hotkey{123, ctrlOpt};  // the left half's default
    Layout held = kest;
    held.id = Uuid::random();
    held.hotkey = Hotkey{0, ctrlOpt};
    sim->simHotKeys().holdByOtherProgram(0, ctrlOpt);
    LayoutStore::shared().layouts = {kest, held};
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);

    const DeleteDialog dialog(isolated, QImage());
    const auto alert = MessageBoxAlerts::makeBox({AlertStyle::warning,
                                                  "A kest named “" + name + "” already exists",
                                                  "“" + name + "” and a link <a href=\"x\">x</a>",
                                                  {"OK"},
                                                  {}});
    ToastPresenter& toasts = ToastPresenter::shared();
    const ToastText toast = ToastText::around("“", UnicodeText::isolatedForDisplay(name), "” wasn't applied.");
    toasts.show(toast, ToastFeel::alert, 1);
    const QString toastRead = readText(*toasts.label());
    // A long name is cut in its middle, through its tags.
    const ToastText cut = ToastText::around("“", UnicodeText::isolatedForDisplay(name + std::string(200, 'x') + name),
                                            "” wasn't applied.");
    toasts.show(cut, ToastFeel::alert, 1);
    const QString cutRead = readText(*toasts.label());
    SnapShortcutsView snaps;
    snaps.refresh();
    const auto menu = StatusMenu::build(true, {});
    const auto actions = menu->findChildren<QAction*>();
    const auto snapEntry = std::find_if(actions.begin(), actions.end(),
                                        [](const QAction* a) { return a->text().trimmed().startsWith("Left Half"); });

    const struct {
        const char* place;
        QString read;
        QString expected;
    } places[] = {
        {"delete dialog", readText(*dialog.titleLabel()), "Delete the kest “" + isolated + "”?"},
        {"alert's message", labelSaying(*alert, "already exists"),
         "A kest named “" + QString::fromStdString(name) + "” already exists"},
        {"alert's informative text", labelSaying(*alert, "and a link"),
         "“" + QString::fromStdString(name) + "” and a link <a href=\"x\">x</a>"},
        {"toast", toastRead, ToastPresenter::fit(toast).text},
        {"cut toast", cutRead, ToastPresenter::fit(cut).text},
        {"snap shortcut's tooltip", readToolTip(snaps.toolTip(2, 0)),
         "This hotkey is also used by Kest: " + isolated + "."},
        {"keys held elsewhere", labelSaying(*snaps.conflictCard(), "Kest: "), "Kest: " + isolated + " (⌃⌥A)"},
        {"menu's tooltip", readToolTip(snapEntry != actions.end() ? (*snapEntry)->toolTip() : QString()),
         "kestr's kest “" + isolated + "” uses this shortcut, so it never runs this"},
        {"shortcut field's tooltip", readToolTip(snaps.recorder(0)->toolTip()),
         "kestr's kest “" + isolated + "” uses this shortcut, so it never runs this"},
    };
    for (const auto& p : places) EXPECT_EQ(p.read.toStdString(), p.expected.toStdString()) << p.place;
    EXPECT_TRUE(cutRead.startsWith("“\u2068<b>Bold")) << cutRead.toStdString();
    EXPECT_TRUE(cutRead.contains(QChar(0x2026))) << cutRead.toStdString();
}

}  // namespace
}  // namespace kestr::test
