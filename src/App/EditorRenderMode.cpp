// --render-editor PATH: the manager's gallery, the first kest's preview and its content
// editor side by side, filled from the stored kests, drawn offscreen to a PNG.
#include <QLabel>
#include <QPainter>

#include "App/ConsoleOutput.h"
#include "App/DiagnosticModes.h"
#include "App/RenderOutput.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Snap/SnapStore.h"
#include "UI/Manager/KestContentEditor.h"
#include "UI/Manager/KestPreviewView.h"
#include "UI/Panel/KestGalleryCell.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/ShownText.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr int sheetWidth = 752;
constexpr int sheetHeight = 600;
// The kest's page: its cards keep the gallery's 8-point margin from the sheet's right
// edge, so their borders and rounded corners show whole.
constexpr int pageX = 292;
constexpr int pageWidth = sheetWidth - pageX - 8;

// The sheet takes the window background of the current appearance.
class EditorSheet : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), palette().color(QPalette::Window)); }
};

// A frame given with its bottom edge measured up from the sheet's bottom.
QRect fromBottom(int x, int bottom, int width, int height) { return {x, sheetHeight - bottom - height, width, height}; }

}  // namespace

int DiagnosticModes::renderEditor(ConsoleOutput& output, const std::string& path) {
    RenderOutput::loadStores();
    const auto& layouts = LayoutStore::shared().layouts;
    if (layouts.empty()) {
        output.err("no layouts to render\n");
        return 1;
    }

    EditorSheet sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(sheetWidth, sheetHeight);
    int bottom = 592;
    for (std::size_t i = 0; i < std::min<std::size_t>(4, layouts.size()); ++i) {
        const Layout shown = layouts[i].strippingDesktopJunk();
        const int height = KestThumbnailRenderer::hasBlocks(shown, false) ? 83 : 52;
        bottom -= height;
        auto* cell = new KestGalleryCell(&sheet);
        cell->setGeometry(fromBottom(8, bottom, 264, height));
        cell->configure(shown, HotkeyManager::shared().shownKestKeys(layouts[i]));
    }

    const Layout& first = layouts.front();
    auto* name = new QLabel(ShownText::of(first.name), &sheet);
    name->setTextFormat(Qt::PlainText);
    name->setFont(SystemStyle::font(13, QFont::Bold));
    name->setGeometry(fromBottom(pageX, 560, pageWidth, 28));
    auto* preview = new KestPreviewView(&sheet);
    preview->setGeometry(fromBottom(pageX, 270, pageWidth, 280));
    preview->setLayout(first.strippingDesktopJunk());
    auto* editor = new KestContentEditor(&sheet);
    editor->setGeometry(fromBottom(pageX, 30, pageWidth, 230));
    editor->configure(first);

    return RenderOutput::write(output, sheet, path, "editor", QSize(sheetWidth, sheetHeight));
}

}  // namespace kestr
