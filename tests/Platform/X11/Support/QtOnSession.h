// Qt on the private session: the program's one QApplication, made on the xcb platform
// against the private display the first time a test asks, and waits that let Qt handle
// its events until a condition holds or a deadline passes.
#pragma once

#include <functional>

#include "Platform/X11/Support/WaitUntil.h"
#include "Platform/X11/Support/XvfbSession.h"

namespace kestr::x11test {

void ensureQtApplication(XvfbSession& session);
bool pumpQtUntil(const std::function<bool()>& condition, double seconds = kDeadlineSeconds);
// Runs Qt's loop as the program does, in one turn after another with nothing of the
// test's waking it, until the condition holds after an event of `connection` or the
// deadline passes. (pumpQtUntil wakes the loop every 10 ms, which sends whatever Qt
// holds for the server and so hides a loop that would not.)
bool runQtOnEventsUntil(xcb_connection_t* connection, const std::function<bool()>& condition,
                        double seconds = kDeadlineSeconds);

}  // namespace kestr::x11test
