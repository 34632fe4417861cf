// A widget's window as the window system knows it, for the requests of the platform's
// `NativeWindows` service.
#pragma once

#include <optional>

#include "Platform/NativeWindows.h"

class QWidget;

namespace kestr {

// The window of the top-level widget (made now if it was not yet) and Qt's connection to
// the window system it lives on; none where Qt draws without one (offscreen) or no
// platform is installed to ask.
std::optional<NativeWindow> nativeWindow(QWidget& window);

}  // namespace kestr
