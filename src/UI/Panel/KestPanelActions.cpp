// The upper part of the panel: the permission banner, the banner of conflicting window
// managers, and the action rows.
#include <QFontMetricsF>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "Core/HotkeyManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "UI/Panel/KestPanelContentView.h"
#include "UI/Panel/PanelActionRowView.h"
#include "UI/Panel/PanelWidgets.h"
#include "UI/ShownText.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

QColor withAlpha(QColor colour, double alpha) {
    colour.setAlphaF(float(alpha));
    return colour;
}

}  // namespace

double KestPanelContentView::addPermissionBanner(double top, double width) {
    const QColor accent = SystemStyle::controlAccent().resolved();
    PanelWidgets::banner(page(), Rect(12, top, width - 24, 46), withAlpha(accent, 0.15), withAlpha(accent, 0.4));
    PanelWidgets::label(page(), "Accessibility required", SystemStyle::font(12, QFont::DemiBold), SystemStyle::label(),
                        Rect(24, top + 14, width - 122, 18));
    QPushButton* grant = makeAccentButton("Grant", [this] { handleRequestPermission(); });
    grant->setGeometry(int(width - 90), int(top + 11), 66, 24);
    return top + 46;
}

double KestPanelContentView::addConflictBanner(double top, double width) {
    const double n = double(conflicts.size());
    const QColor orange = SystemStyle::systemOrange().resolved();
    PanelWidgets::banner(page(), Rect(12, top, width - 24, 30 * n + 40), withAlpha(orange, 0.16),
                         withAlpha(orange, 0.35));
    // The title is shrunk rather than cut where the font runs wide.
    const QString title = QString::fromUtf8("\u26a0 These apps override kestr\u2019s shortcuts");
    PanelWidgets::label(page(), title,
                        PanelWidgets::fitted(SystemStyle::font(12, QFont::DemiBold), title, width - 48, 10),
                        SystemStyle::label(), Rect(24, top + 9, width - 48, 16));
    for (std::size_t i = 0; i < conflicts.size(); ++i) {
        const double rowTop = top + 32 + 30 * double(i);
        PanelWidgets::label(page(), QString::fromStdString(conflicts[i].name), SystemStyle::font(12),
                            SystemStyle::secondaryLabel(), Rect(24, rowTop + 5, 150, 18));
        const int tag = int(i);
        QPushButton* quit = PanelWidgets::button(page(), "Quit", [this, tag] { handleQuitConflict(tag); });
        const int w = std::max(quit->sizeHint().width(), 58);
        quit->setGeometry(int(width - 24 - w), int(rowTop + 2), w, 22);
        quit->setProperty("tag", tag);
    }
    return top + 30 * n + 40;
}

double KestPanelContentView::layoutActions(double top, double width) {
    std::optional<QString> saveShortcut;
    if (const auto capture = HotkeyManager::shared().captureHotkey())
        saveShortcut = QString::fromStdString(HotkeyManager::shared().shownKeys(*capture));
    QPointer<KestPanelContentView> self(this);
    // Each row reaches its callback through the view, so a row outliving it does nothing.
    const auto call = [self](std::function<void()> KestPanelContentView::*callback) {
        return [self, callback] {
            if (self && (self.data()->*callback)) (self.data()->*callback)();
        };
    };
    const auto addRow = [&](const QString& title, const char* symbol, std::optional<QString> shortcut,
                            std::function<void()> click, double y) {
        auto* row = new PanelActionRowView(title, symbol, std::move(shortcut), std::move(click), page());
        row->setGeometry(0, int(y), int(width), 30);
        row->show();
    };
    double y = top + 2;
    if (const auto active = EdgeProximityTracker::shared().activeKestName()) {
        addRow(QString::fromUtf8("Release \u201c") + ShownText::of(*active) + QString::fromUtf8("\u201d"), "eject",
               std::nullopt, call(&KestPanelContentView::onReleaseKest), y);
        y += 36;
        addSeparator(y, width);
        y += 1 + 6;
    }
    addRow("Save Kest", "plus.square", saveShortcut, call(&KestPanelContentView::onSaveCurrent), y);
    y += 30;
    addRow(QString::fromUtf8("Preferences\u2026"), "gearshape", std::nullopt, call(&KestPanelContentView::onManage), y);
    y += 30;
    addRow("Quit kestr", "power", std::nullopt, call(&KestPanelContentView::onQuit), y);
    y += 30;
    return y + 2;
}

void KestPanelContentView::handleRequestPermission() {
    if (onRequestPermission) onRequestPermission();
}

void KestPanelContentView::handleQuitConflict(int tag) {
    if (tag < 0 || tag >= int(conflicts.size())) return;
    if (onQuitConflict) onQuitConflict(conflicts[std::size_t(tag)]);
}

}  // namespace kestr
