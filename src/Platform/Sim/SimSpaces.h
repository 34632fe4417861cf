// Spaces of the simulated desktop: the world's current Space and the highest one a
// window lives on.
#pragma once

#include "Platform/Sim/SimWorld.h"
#include "Platform/Spaces.h"

namespace kestr {

class SimSpaces : public Spaces {
public:
    explicit SimSpaces(SimWorld& world) : world_(world) {}
    int count() override;
    int current() override { return world_.currentSpace - 1; }
    Task<bool> createAndSwitch() override;

private:
    SimWorld& world_;
};

}  // namespace kestr
