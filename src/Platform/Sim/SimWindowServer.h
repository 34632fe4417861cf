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
    std::optional<PlistDict> copyWindowInfo(std::uint32_t number, std::uint32_t options) override;
    std::optional<PlistDict> copyWindowAt(Point global, std::int64_t layer) override;
    void addChangeObserver(std::function<void()> observer) override {
        world_.windowsObservers.push_back(std::move(observer));
    }
    // Makes every call answer none, as when the window server cannot be reached.
    bool unavailable = false;

private:
    // Each window of the world front to back, with its owner, until `visit` answers true.
    template <typename Visit>
    void eachWindow(Visit visit) const;
    PlistDict entryOf(const SimWindow& window, const SimProcess& owner) const;

    SimWorld& world_;
};

}  // namespace kestr
