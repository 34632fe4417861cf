#include "UI/Manager/SidebarFooterButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "UI/Manager/SettingsKit.h"
#include "UI/SystemStyle.h"
#include "UI/SymbolImages.h"

namespace kestr {

namespace {

void setColor(QLabel* label, const QColor& color) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
}

}  // namespace

SidebarFooterButton::SidebarFooterButton(QWidget* parent)
    : QWidget(parent),
      icon_(new QLabel),
      titleLabel_(new QLabel(QStringLiteral("Settings"))),
      hotkeyLabel_(new QLabel) {
    setFixedHeight(44);
    titleLabel_->setFont(SystemStyle::font(13));
    hotkeyLabel_->setFont(SystemStyle::font(11));
    hotkeyLabel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    icon_->setFixedWidth(16);
    auto* layout = new QHBoxLayout(this);
    // The separator line is painted along the top; contents sit 1 point below centre.
    layout->setContentsMargins(16, 2, 12, 0);
    layout->setSpacing(8);
    layout->addWidget(icon_);
    layout->addWidget(titleLabel_);
    layout->addStretch(1);
    layout->addSpacing(6 - 8);
    layout->addWidget(hotkeyLabel_);
    setMouseTracking(true);
    restyle();
}

void SidebarFooterButton::setActiveSelection(bool active) {
    active_ = active;
    restyle();
}

void SidebarFooterButton::setShortcutText(const QString& text) { hotkeyLabel_->setText(text); }

void SidebarFooterButton::restyle() {
    setColor(titleLabel_, active_ ? Qt::white : palette().color(QPalette::WindowText));
    setColor(hotkeyLabel_, active_ ? QColor::fromRgbF(1, 1, 1, 0.85) : SystemStyle::tertiaryLabel().resolved());
    icon_->setPixmap(
        SymbolImages::pixmap("gearshape", 13, active_ ? QColor(Qt::white) : SystemStyle::secondaryLabel().resolved()));
    update();
}

void SidebarFooterButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRect(0, 0, width(), 1), SettingsKit::dividerColor().resolved());
    if (!active_ && !hovering_) return;
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(8, 5, -8, -5), 7, 7);
    QColor hover = palette().color(QPalette::WindowText);
    hover.setAlphaF(0.07);
    p.fillPath(path, active_ ? palette().color(QPalette::Highlight) : hover);
}

void SidebarFooterButton::mousePressEvent(QMouseEvent* event) {
    // Only the left button clicks; the others pass on unused.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (onClick) onClick();
}

void SidebarFooterButton::enterEvent(QEnterEvent*) {
    hovering_ = true;
    setCursor(Qt::PointingHandCursor);
    update();
}

void SidebarFooterButton::leaveEvent(QEvent*) {
    hovering_ = false;
    setCursor(Qt::ArrowCursor);
    update();
}

}  // namespace kestr
