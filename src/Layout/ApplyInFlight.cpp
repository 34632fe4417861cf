#include "Layout/ApplyInFlight.h"

#include "Platform/Platform.h"

namespace kestr {

ApplyInFlight& ApplyInFlight::shared() { return platform().shared<ApplyInFlight>(); }

}  // namespace kestr
