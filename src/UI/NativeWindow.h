// A widget's window as the window system knows it, for the requests of the platform's
// `NativeWindows` service, and the requests every showing of a window makes again.
#pragma once

#include <optional>

#include "Platform/NativeWindows.h"

class QWidget;

namespace kestr {

// The window of the top-level widget (made now if it was not yet) and Qt's connection to
// the window system it lives on; none where Qt draws without one (offscreen) or no
// platform is installed to ask.
std::optional<NativeWindow> nativeWindow(QWidget& window);

// Asks, each time the top-level widget is about to show, that taskbars and pagers leave
// it out: for kestr's small windows, which a person never switches to.
void keepOffTaskbars(QWidget& window);

// Asks, each time the top-level widget is about to show, that it show on every desktop:
// for windows that must stay where the user is when the desktop is switched.
void showOnEveryDesktop(QWidget& window);

// Asks, each time the top-level widget is about to show, that it be taken as a panel of
// the desktop: for a window that keeps a strip of the screen to itself.
void showAsPanel(QWidget& window);

}  // namespace kestr
