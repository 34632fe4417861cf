// Qt on the private session: the program's one QApplication, made on the xcb platform
// against the private display the first time a test asks, and a wait that lets Qt
// handle its events until a condition holds or a deadline passes.
#pragma once

#include <functional>

#include "Platform/X11/Support/WaitUntil.h"
#include "Platform/X11/Support/XvfbSession.h"

namespace kestr::x11test {

void ensureQtApplication(XvfbSession& session);
bool pumpQtUntil(const std::function<bool()>& condition, double seconds = kDeadlineSeconds);

}  // namespace kestr::x11test
