// --render-panel PATH [empty] [snaps] [untrusted]: the floating panel's content under its
// tab strip (the segmented control), filled from the stored kests and snap bindings, drawn offscreen to a PNG.
#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>

#include "App/DiagnosticModes.h"
#include "App/RenderOutput.h"
#include "Core/ConflictingApps.h"
#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Platform.h"
#include "Snap/SnapStore.h"
#include "UI/AdaptiveColor.h"
#include "UI/Panel/KestPanelContentView.h"
#include "UI/Panel/PanelTabs.h"
#include "UI/Panel/PanelWidgets.h"

namespace kestr {

namespace {

constexpr double panelWidth = 296;
constexpr double stripHeight = 48;

bool has(const std::vector<std::string>& arguments, const char* word) {
    return std::find(arguments.begin(), arguments.end(), word) != arguments.end();
}

std::vector<SnapCellView::Model> snapCells() {
    std::vector<SnapBinding> bindings = SnapStore::shared().bindings;
    std::stable_sort(bindings.begin(), bindings.end(), [](const SnapBinding& a, const SnapBinding& b) {
        return SnapAction::Value(a.action) < SnapAction::Value(b.action);
    });
    std::vector<SnapCellView::Model> cells;
    for (const SnapBinding& binding : bindings) cells.push_back(SnapCellView::model(binding));
    return cells;
}

// The light sheet the render draws on: rounded, off-white.
class RenderSheet : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(0.96f, 0.96f, 0.96f));
        p.drawRoundedRect(QRectF(rect()), 12, 12);
    }
};

}  // namespace

int DiagnosticModes::renderPanel(ConsoleOutput& output, const std::vector<std::string>& arguments,
                                 const std::string& path) {
    RenderOutput::loadStores();
    // The panel render is always drawn in the light appearance.
    const AdaptiveColor::LightScope light;

    const bool empty = has(arguments, "empty");
    const bool snaps = has(arguments, "snaps");
    std::vector<Layout> shown;
    if (!empty) {
        for (const Layout& kest : LayoutStore::shared().layouts) shown.push_back(kest.strippingDesktopJunk());
    }
    const std::vector<KestRowView::Model> rows = KestRowView::models(shown);
    const std::vector<SnapCellView::Model> cells = snapCells();
    if (!empty) {
        // Drawn as the active kest only: edge resizing would start following the pointer.
        const auto& layouts = LayoutStore::shared().layouts;
        EdgeProximityTracker::shared().activeLayout =
            layouts.empty() ? std::nullopt : std::optional<Layout>(layouts.front());
    }

    RenderSheet sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    auto* content = new KestPanelContentView(&sheet);
    content->trusted = !has(arguments, "untrusted");
    content->conflicts = ConflictingApps::running();
    const double contentHeight = content->build(
        snaps ? KestPanelContentView::Mode::snaps : KestPanelContentView::Mode::kests, rows, cells, panelWidth);
    const double height = contentHeight + stripHeight;
    sheet.resize(int(panelWidth), int(std::ceil(height)));
    content->move(0, int(stripHeight));

    // The live panel's segmented control, with the shown tab selected.
    auto* tabs = new PanelTabs(&sheet);
    tabs->setSelectedSegment(snaps ? 1 : 0);
    tabs->centreInStrip(panelWidth, stripHeight);
    PanelWidgets::separator(&sheet, Rect(0, stripHeight - 1, panelWidth, 1));

    return RenderOutput::write(output, sheet, path, "panel", QSize(int(panelWidth), static_cast<int>(height)));
}

}  // namespace kestr
