// A checkable button drawn as a small on/off switch.
#pragma once

#include <QAbstractButton>

namespace kestr {

class SwitchButton : public QAbstractButton {
public:
    explicit SwitchButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kestr
