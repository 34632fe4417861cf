// What the windows kestr draws over other programs' windows have in common: they stay
// out of the window manager's hands, take the mouse only where they show something, and
// draw opaque shapes when no compositing manager could blend them with what lies below.
#pragma once

#include <QRegion>
#include <Qt>

class QWidget;

namespace kestr {

// Frameless, above everything, never focused, unmanaged, and deaf to the mouse from its
// creation.
Qt::WindowFlags overlayWindowFlags();

// Whether translucent pixels are blended with the windows below (else they show black).
bool overlaysBlend();

// Where the window takes the mouse (empty: nowhere), set on the window system's input
// shape in place through the platform; changing Qt's window flag instead would re-create
// the window. Where the desktop has no input shapes Qt's own attribute for mouse
// transparency, which the caller sets too, is all there is.
void setOverlayInputRegion(QWidget& window, const QRegion& region);

// Shows only the region (bounding shape); an empty region shows nothing.
void setOverlayVisibleRegion(QWidget& window, const QRegion& region);

}  // namespace kestr
