#include "UI/Shell/OnboardingViews.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "UI/Shell/MenuBarHintView.h"
#include "UI/SymbolImages.h"
#include "UI/SystemStyle.h"

namespace kestr::OnboardingViews {

namespace {

QString rgba(const QColor& c, double alpha) {
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(alpha);
}

QLabel* wrapping(const QString& text, const QFont& font, const QColor& color, Qt::Alignment alignment) {
    auto* label = new QLabel(text);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(alignment);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
    return label;
}

// A rounded card around a piece, 14 points above and below it, 16 at its sides.
QWidget* card(QLayout* content) {
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("onboardingCard"));
    box->setAttribute(Qt::WA_StyledBackground);
    box->setStyleSheet(QStringLiteral("#onboardingCard { background: %1; border-radius: 10px; }")
                           .arg(rgba(SystemStyle::label().resolved(), 0.18 * 0.12)));
    content->setContentsMargins(16, 14, 16, 14);
    box->setLayout(content);
    return box;
}

QLabel* symbolLabel(const std::string& symbol, double pointSize, const QColor& tint) {
    auto* label = new QLabel;
    label->setPixmap(SymbolImages::pixmap(symbol, pointSize, tint));
    return label;
}

}  // namespace

QColor systemGreen() { return AdaptiveColor{QColor(52, 199, 89), QColor(48, 209, 88)}.resolved(); }

QWidget* stack(const std::vector<QWidget*>& pieces) {
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    for (QWidget* piece : pieces) {
        const bool fullWidth = qobject_cast<QLabel*>(piece) || piece->objectName() == QStringLiteral("onboardingCard");
        layout->addWidget(piece, 0, fullWidth ? Qt::Alignment() : Qt::AlignHCenter);
    }
    return view;
}

QWidget* hint(bool notched) {
    auto* view = new MenuBarHintView;
    view->notched = notched;
    view->setFixedSize(360, 86);
    return view;
}

QLabel* title(const QString& text) {
    QLabel* label =
        wrapping(text, SystemStyle::font(20, QFont::Bold), SystemStyle::label().resolved(), Qt::AlignHCenter);
    label->setMaximumHeight(label->fontMetrics().lineSpacing() * 2 + 2);
    return label;
}

QLabel* body(const QString& text) {
    return wrapping(text, SystemStyle::font(13), SystemStyle::secondaryLabel().resolved(), Qt::AlignHCenter);
}

QLabel* note(const QString& text) {
    return wrapping(text, SystemStyle::font(11), SystemStyle::tertiaryLabel().resolved(), Qt::AlignHCenter);
}

QWidget* hintCard(const std::vector<QString>& lines) {
    auto* column = new QVBoxLayout;
    column->setSpacing(8);
    for (const QString& line : lines) {
        column->addWidget(
            wrapping(line, SystemStyle::font(12), SystemStyle::secondaryLabel().resolved(), Qt::AlignLeft));
    }
    return card(column);
}

QWidget* iconBullets(const std::vector<Bullet>& bullets) {
    auto* column = new QVBoxLayout;
    column->setSpacing(14);
    const QColor label = SystemStyle::label().resolved();
    const QColor secondary = SystemStyle::secondaryLabel().resolved();
    for (const Bullet& bullet : bullets) {
        auto* row = new QHBoxLayout;
        row->setSpacing(11);
        QLabel* icon = symbolLabel(bullet.symbol, 15, SystemStyle::controlAccent().resolved());
        icon->setFixedWidth(24);
        icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
        auto* text = new QLabel(QStringLiteral("<span style=\"font-weight:600; color:%1\">%2</span>"
                                               "<span style=\"color:%3\"> — %4</span>")
                                    .arg(label.name(QColor::HexArgb), bullet.lead.toHtmlEscaped(),
                                         secondary.name(QColor::HexArgb), bullet.detail.toHtmlEscaped()));
        text->setFont(SystemStyle::font(13));
        text->setWordWrap(true);
        text->setMaximumWidth(358);
        row->addWidget(icon, 0, Qt::AlignTop | Qt::AlignLeft);
        row->addWidget(text, 1);
        row->addStretch(0);
        column->addLayout(row);
    }
    return card(column);
}

QWidget* badge(const std::string& symbol, const QColor& color, int diameter) {
    auto* disc = new QWidget;
    disc->setObjectName(QStringLiteral("badge"));
    disc->setAttribute(Qt::WA_StyledBackground);
    disc->setFixedSize(diameter, diameter);
    disc->setStyleSheet(
        QStringLiteral("#badge { background: %1; border-radius: %2px; }").arg(rgba(color, 0.12)).arg(diameter / 2));
    auto* layout = new QHBoxLayout(disc);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(symbolLabel(symbol, 0.44 * diameter, color), 0, Qt::AlignCenter);
    return disc;
}

std::pair<QWidget*, QLabel*> statusPill() {
    auto* pill = new QWidget;
    pill->setObjectName(QStringLiteral("pill"));
    pill->setAttribute(Qt::WA_StyledBackground);
    pill->setFixedHeight(22);
    auto* label = new QLabel;
    label->setFont(SystemStyle::font(12.5, QFont::DemiBold));
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(pill);
    layout->setContentsMargins(13, 0, 13, 0);
    layout->addWidget(label);
    return {pill, label};
}

void setPill(QLabel* label, QWidget* background, bool trusted) {
    const QColor green = systemGreen();
    label->setText(trusted ? QStringLiteral("✓  Granted") : QStringLiteral("◌  Waiting for permission…"));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, trusted ? green : SystemStyle::secondaryLabel().resolved());
    label->setPalette(pal);
    background->setStyleSheet(QStringLiteral("#pill { background: %1; border-radius: 11px; }")
                                  .arg(trusted ? rgba(green, 0.15) : rgba(SystemStyle::label().resolved(), 0.08)));
}

QPushButton* link(const QString& text) {
    auto* button = new QPushButton(text);
    button->setFlat(true);
    button->setFont(SystemStyle::font(12));
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    button->setStyleSheet(
        QStringLiteral("QPushButton { border: none; color: %1; }").arg(SystemStyle::controlAccent().resolved().name()));
    return button;
}

QWidget* conflictRow(const QString& name, const QString& key, QPushButton** quit) {
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    auto* label = new QLabel(name);
    label->setFont(SystemStyle::font(13, QFont::Medium));
    *quit = new QPushButton(QStringLiteral("Quit ") + name);
    (*quit)->setObjectName(key);
    (*quit)->setAutoDefault(false);
    row->addWidget(label);
    row->addStretch(1);
    row->addWidget(*quit);
    return card(row);
}

QWidget* dot(const QColor& color) {
    auto* dot = new QWidget;
    dot->setObjectName(QStringLiteral("dot"));
    dot->setAttribute(Qt::WA_StyledBackground);
    dot->setFixedSize(7, 7);
    dot->setStyleSheet(QStringLiteral("#dot { background: %1; border-radius: 3px; }").arg(rgba(color, color.alphaF())));
    return dot;
}

}  // namespace kestr::OnboardingViews
