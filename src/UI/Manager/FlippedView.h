// The opaque page background of the manager window's pages (detail and settings).
#pragma once

#include <QWidget>

namespace kestr {

class FlippedView : public QWidget {
public:
    explicit FlippedView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kestr
