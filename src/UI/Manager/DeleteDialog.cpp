#include "UI/Manager/DeleteDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "UI/Manager/SettingsKit.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr int margin = 24;

QLabel* wrappingLabel(const QString& text, double pointSize, bool bold, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    // The kest's name as it is written.
    label->setTextFormat(Qt::PlainText);
    label->setFont(SystemStyle::font(pointSize, bold ? QFont::Bold : QFont::Normal));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

}  // namespace

int DeleteDialog::dialogWidth(double iconWidth) {
    return std::max(static_cast<int>(std::ceil(iconWidth)) + 2 * margin, 380);
}

DeleteDialog::DeleteDialog(const QString& kestName, const QImage& icon, QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    const QSizeF iconSize = icon.isNull() ? QSizeF(0, 0) : icon.deviceIndependentSize();
    const int width = dialogWidth(iconSize.width());
    const int contentWidth = width - 2 * margin;
    const int iconHeight = static_cast<int>(std::ceil(iconSize.height()));

    auto* iconView = new QLabel(this);
    iconView->setAlignment(Qt::AlignCenter);
    iconView->setGeometry(margin, margin, contentWidth, iconHeight);
    if (!icon.isNull()) {
        // Scaled down to fit, never up.
        QPixmap pixmap = QPixmap::fromImage(icon);
        if (iconSize.width() > contentWidth) {
            pixmap = pixmap.scaledToWidth(static_cast<int>(contentWidth * icon.devicePixelRatio()),
                                          Qt::SmoothTransformation);
        }
        iconView->setPixmap(pixmap);
    }

    title_ = wrappingLabel(QStringLiteral("Delete the kest “") + kestName + QStringLiteral("”?"), 15, true, this);
    const int titleHeight = title_->heightForWidth(contentWidth);
    title_->setGeometry(margin, iconHeight + 40, contentWidth, titleHeight);

    message_ =
        wrappingLabel(QStringLiteral("This permanently removes the kest. This can't be undone."), 12, false, this);
    QPalette pal = message_->palette();
    pal.setColor(QPalette::WindowText, SystemStyle::secondaryLabel().resolved());
    message_->setPalette(pal);
    const int messageTop = iconHeight + 40 + titleHeight + 8;
    const int messageHeight = message_->heightForWidth(contentWidth);
    message_->setGeometry(margin, messageTop, contentWidth, messageHeight);

    const int buttonTop = messageTop + messageHeight + 22;
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    delete_->setGeometry(width - 114, buttonTop, 90, 30);
    delete_->setDefault(true);
    delete_->setAutoDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setGeometry(width - 214, buttonTop, 90, 30);
    cancel_->setAutoDefault(false);
    // Return deletes (the default button), Escape cancels (QDialog's reject).
    connect(delete_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(width, buttonTop + 50);
    delete_->setFocus();
}

}  // namespace kestr
