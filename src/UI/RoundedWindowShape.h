// The outline of a frameless top-level window drawn as a rounded rectangle. Where a
// compositing manager blends translucent pixels with the windows below, the corners are
// left clear; without one they would show black, so the window's own shape is cut to the
// outline instead (jagged at the corners, but what lies below shows through), kept as the
// window is shown again and resized.
#pragma once

#include <QColor>
#include <QObject>
#include <QRegion>

class QPainter;
class QWidget;

namespace kestr {

class RoundedWindowShape final : public QObject {
public:
    // Made before the window is first shown: translucency is chosen when its native window
    // is made. Owned by the window.
    RoundedWindowShape(QWidget& window, double radius);

    // Fills the outline with the colour: antialiased where the window blends, else the
    // whole (cut) window, opaque.
    void paint(QPainter& painter, QColor colour) const;
    // Whether the window's shape is cut to the outline.
    bool cut() const;

    // The pixels inside a rounded rectangle.
    static QRegion region(const QRect& rect, double radius);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reshape();

    QWidget& window_;
    double radius_;
};

}  // namespace kestr
