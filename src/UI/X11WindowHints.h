// What a window of kestr's own asks of an X11 window manager beyond Qt's flags. Elsewhere
// than on X11 these do nothing.
#pragma once

class QRect;
class QWidget;

namespace kestr {

// Shows the window on every desktop, so switching desktops never takes it away. Call it
// before the window is first shown.
void showOnEveryDesktop(QWidget& window);

// Keeps the strip of the screen's top edge under `area` (root coordinates) out of other
// windows' way, as a panel does: maximised windows start below it rather than under it.
// An area not at the top edge reserves nothing.
void reserveTopEdge(QWidget& window, const QRect& area);

}  // namespace kestr
