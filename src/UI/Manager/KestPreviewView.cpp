#include "UI/Manager/KestPreviewView.h"

#include <QPainter>
#include <QPainterPath>

#include "UI/Manager/SettingsKit.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {
constexpr double contentInset = 16;
}

KestPreviewView::KestPreviewView(QWidget* parent) : QWidget(parent) {}

void KestPreviewView::setLayout(std::optional<Layout> layout) {
    layout_ = std::move(layout);
    update();
}

void KestPreviewView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath backdrop;
    backdrop.addRoundedRect(QRectF(rect()), 12, 12);
    p.fillPath(backdrop, SettingsKit::cardFill().resolved());

    if (!layout_ || layout_->items.empty()) {
        p.setFont(SystemStyle::font(12));
        p.setPen(SystemStyle::tertiaryLabel().resolved());
        p.drawText(QRectF(0, height() / 2.0 - 9, width(), 18), Qt::AlignCenter, QStringLiteral("No kest selected"));
        return;
    }
    const QRectF content = QRectF(rect()).adjusted(contentInset, contentInset, -contentInset, -contentInset);
    if (content.width() <= 0 || content.height() <= 0) return;
    // A band as high as the content, narrowed when the displays side by side would not fit.
    const auto blocks = KestThumbnailRenderer::blocks(*layout_, true);
    double band = content.height();
    double estimated = 0;
    for (const auto& block : blocks) {
        estimated += block.source.width() / std::max(1.0, block.source.height()) * band;
    }
    estimated += 2 * std::max(0.0, static_cast<double>(blocks.size()) - 1);
    if (estimated > 0 && estimated > content.width()) band = band * content.width() / estimated;
    KestThumbnailRenderer::draw(p, *layout_,
                                Rect{{content.left(), content.center().y() - band / 2}, {content.width(), band}},
                                KestThumbnailRenderer::Style::preview(), true);
}

}  // namespace kestr
