#include "UI/Manager/SettingsKit.h"
#include "UI/SystemStyle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace kestr {

namespace {

QColor grey(double white, double alpha) { return QColor::fromRgbF(white, white, white, alpha); }

// A filled rectangle with rounded corners in the card colour.
class CardBox : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 10, 10);
        p.fillPath(path, SettingsKit::cardFill().resolved());
    }
};

class Hairline : public QWidget {
public:
    Hairline() { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), SettingsKit::dividerColor().resolved()); }
};

}  // namespace

AdaptiveColor SettingsKit::cardFill() { return {grey(0.965, 1), grey(0.17, 1)}; }
AdaptiveColor SettingsKit::headerShade() { return {grey(0.937, 1), grey(0.22, 1)}; }
AdaptiveColor SettingsKit::dividerColor() { return {grey(0.0, 0.06), grey(1.0, 0.1)}; }
QColor SettingsKit::pageFill() { return QApplication::palette().color(QPalette::Base); }

QLabel* SettingsKit::value(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(SystemStyle::font(13));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, SystemStyle::secondaryLabel().resolved());
    label->setPalette(pal);
    return label;
}

QWidget* SettingsKit::row(const QString& title, QWidget* trailing) {
    auto* row = new QWidget;
    row->setFixedHeight(44);
    auto* titleLabel = new QLabel(title, row);
    titleLabel->setFont(SystemStyle::font(13));
    // The title gives way first; the trailing view keeps its own width.
    titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    titleLabel->setMinimumWidth(0);
    trailing->setSizePolicy(QSizePolicy::Fixed, trailing->sizePolicy().verticalPolicy());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(16, 0, 16, 0);
    layout->setSpacing(8);
    layout->addWidget(titleLabel, 1, Qt::AlignVCenter);
    layout->addWidget(trailing, 0, Qt::AlignVCenter | Qt::AlignRight);
    return row;
}

QWidget* SettingsKit::hairline() { return new Hairline; }

QWidget* SettingsKit::card(const std::vector<QWidget*>& rows) {
    auto* box = new CardBox;
    if (rows.empty()) return box;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            // Hairlines start 16 points in and run to the right edge.
            auto* holder = new QWidget;
            auto* inset = new QHBoxLayout(holder);
            inset->setContentsMargins(16, 0, 0, 0);
            inset->addWidget(hairline());
            layout->addWidget(holder);
        }
        layout->addWidget(rows[i]);
    }
    return box;
}

}  // namespace kestr
