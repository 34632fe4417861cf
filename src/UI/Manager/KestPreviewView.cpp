#include "UI/Manager/KestPreviewView.h"

#include <QPainter>
#include <QPainterPath>

#include "UI/Manager/SettingsKit.h"

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
    p.fillPath(backdrop, SettingsKit::cardFill(this));

    if (!layout_ || layout_->items.empty()) {
        QFont font = p.font();
        font.setPointSizeF(12);
        p.setFont(font);
        p.setPen(tertiaryLabelColor(this));
        p.drawText(QRectF(0, height() / 2.0 - 9, width(), 18), Qt::AlignCenter, QStringLiteral("No kest selected"));
        return;
    }
    const QRectF content = QRectF(rect()).adjusted(contentInset, contentInset, -contentInset, -contentInset);
    if (content.width() <= 0 || content.height() <= 0) return;
}

}  // namespace kestr
