// A window that belongs to no single desktop: the window manager shows it on each one,
// so switching desktops never takes it away.
#pragma once

class QWidget;

namespace kestr {

// Asks the window manager (on X11) to show the window on every desktop. Call it before the
// window is first shown; elsewhere nothing happens.
void showOnEveryDesktop(QWidget& window);

}  // namespace kestr
