// A one-line label that cuts its text with an ellipsis at the end when it is too narrow.
#pragma once

#include <QWidget>

namespace kestr {

class ElidedLabel : public QWidget {
public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    const QString& text() const { return text_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace kestr
