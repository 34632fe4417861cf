#include "UI/Panel/KestGalleryCell.h"

#include <QPainter>

#include "UI/Panel/KestCardRenderer.h"
#include "UI/SystemStyle.h"

namespace kestr {

KestGalleryCell::KestGalleryCell(QWidget* parent) : QWidget(parent) {}

void KestGalleryCell::configure(const std::optional<Layout>& layout, const std::optional<std::string>& hotkey) {
    layout_ = layout;
    hotkey_ = hotkey;
    update();
}

void KestGalleryCell::paintEvent(QPaintEvent*) {
    if (!layout_) return;
    QPainter p(this);
    KestCardRenderer::draw(p, *layout_, hotkey_, Rect(0, 0, width(), height()), SystemStyle::label().resolved(), false,
                           KestThumbnailRenderer::Style::gallery());
}

}  // namespace kestr
