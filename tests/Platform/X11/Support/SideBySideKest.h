// A kest of two windows side by side filling one display, sharing one vertical edge in
// its middle: what edge resizing holds after such a kest is applied.
#pragma once

#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Platform/Geometry.h"
#include "Platform/X11/Client/ClientOptions.h"

namespace kestr::x11test {

Layout sideBySideKest(const std::string& displayUUID, double width, double height);
// Two windows of its application side by side over `area` (frames a title bar taller):
// its handle shows only on the desktop its windows are on.
std::vector<ClientOptions> sideBySideWindows(const Rect& area);

}  // namespace kestr::x11test
