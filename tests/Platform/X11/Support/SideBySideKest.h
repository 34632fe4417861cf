// A kest of two windows side by side filling one display, sharing one vertical edge in
// its middle: what edge resizing holds after such a kest is applied.
#pragma once

#include <string>

#include "Core/Layout.h"

namespace kestr::x11test {

Layout sideBySideKest(const std::string& displayUUID, double width, double height);

}  // namespace kestr::x11test
