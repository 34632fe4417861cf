#include "UI/Panel/PanelWidgets.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "UI/SystemStyle.h"

namespace kestr {

namespace {

QRect frameOf(const Rect& r) { return QRectF(r.x(), r.y(), r.width(), r.height()).toRect(); }

QString css(const QColor& c) {
    return QString("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alphaF());
}

QPushButton* pushButton(QWidget* parent, const QString& title, std::function<void()> action) {
    auto* button = new QPushButton(title, parent);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    QObject::connect(button, &QPushButton::clicked, button, [action = std::move(action)] {
        if (action) action();
    });
    button->show();
    return button;
}

// A line that paints its colour itself: the panel makes one under every kest row it
// builds, and a style sheet of its own would be parsed and matched again for each.
class SeparatorLine final : public QWidget {
public:
    SeparatorLine(QWidget* parent, const QColor& colour) : QWidget(parent), colour_(colour) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

}  // namespace

QLabel* PanelWidgets::label(QWidget* parent, const QString& text, const QFont& font, const AdaptiveColor& colour,
                            const Rect& frame, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet("QLabel { color: " + css(colour.resolved()) + "; background: transparent; }");
    label->setAlignment(alignment | Qt::AlignTop);
    label->setGeometry(frameOf(frame));
    label->show();
    return label;
}

QWidget* PanelWidgets::separator(QWidget* parent, const Rect& frame) {
    auto* line = new SeparatorLine(parent, SystemStyle::separator().resolved());
    line->setGeometry(frameOf(frame));
    line->show();
    return line;
}

QWidget* PanelWidgets::banner(QWidget* parent, const Rect& frame, const QColor& fill, const QColor& border) {
    auto* box = new QWidget(parent);
    box->setAttribute(Qt::WA_StyledBackground);
    box->setStyleSheet("background: " + css(fill) + "; border: 1px solid " + css(border) + "; border-radius: 10px;");
    box->setGeometry(frameOf(frame));
    box->show();
    return box;
}

QPushButton* PanelWidgets::accentButton(QWidget* parent, const QString& title, std::function<void()> action) {
    QPushButton* button = pushButton(parent, title, std::move(action));
    button->setFont(SystemStyle::font(12, QFont::DemiBold));
    const QColor accent = SystemStyle::controlAccent().resolved();
    button->setStyleSheet("QPushButton { color: white; background: " + css(accent) +
                          "; border: none; border-radius: 6px; padding: 0 8px; }"
                          "QPushButton:pressed { background: " +
                          css(accent.darker(120)) + "; }");
    return button;
}

QPushButton* PanelWidgets::button(QWidget* parent, const QString& title, std::function<void()> action) {
    QPushButton* button = pushButton(parent, title, std::move(action));
    button->setFont(SystemStyle::font(12));
    const QColor text = SystemStyle::label().resolved();
    const bool dark = AdaptiveColor::darkAppearance();
    button->setStyleSheet("QPushButton { color: " + css(text) +
                          "; background: " + (dark ? "rgba(255, 255, 255, 0.16)" : "white") + "; border: 1px solid " +
                          (dark ? "rgba(255, 255, 255, 0.2)" : "rgba(0, 0, 0, 0.18)") +
                          "; border-radius: 5px; padding: 0 10px; }"
                          "QPushButton:pressed { background: " +
                          (dark ? "rgba(255, 255, 255, 0.08)" : "rgba(0, 0, 0, 0.08)") + "; }");
    return button;
}

QFont PanelWidgets::fitted(QFont font, const QString& text, double width, int minimumSize) {
    while (font.pixelSize() > minimumSize && QFontMetricsF(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

double PanelWidgets::wrappedHeight(const QFont& font, const QString& text, double width, double maxHeight) {
    const QRectF bounds =
        QFontMetricsF(font).boundingRect(QRectF(0, 0, width, maxHeight), Qt::TextWordWrap | Qt::AlignHCenter, text);
    return std::min(std::ceil(bounds.height()), maxHeight);
}

}  // namespace kestr
