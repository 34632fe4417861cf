// The window server of the simulated desktop: the world's windows front to back, as
// dictionaries with the system's keys.
#pragma once

#include "Platform/Sim/SimWorld.h"
#include "Platform/WindowServer.h"

namespace kestr {

class SimWindowServer : public WindowServer {
public:
    explicit SimWindowServer(SimWorld& world) : world_(world) {}
    std::optional<PlistArray> copyWindowList(std::uint32_t options, std::uint32_t relativeToWindow) override;
    // Makes every call answer none, as when the window server cannot be reached.
    bool unavailable = false;

private:
    SimWorld& world_;
};

}  // namespace kestr
