// A fixture's tests run twice: on the simulated desktop as it is, and as an X11 session
// behaves (SimPreset). Write them with TEST_P and name the fixture once with
// RUN_ON_BOTH_DESKTOPS(Fixture).
#pragma once

#include <gtest/gtest.h>

#include "Platform/Sim/SimDesktop.h"

namespace kestr::test {

template <class Fixture>
class OnBothDesktops : public Fixture, public ::testing::WithParamInterface<SimPreset> {
protected:
    void SetUp() override {
        Fixture::SetUp();
        this->sim->usePreset(this->GetParam());
    }
    bool onX11() const { return this->GetParam() == SimPreset::x11; }
};

inline std::string presetName(const ::testing::TestParamInfo<SimPreset>& info) {
    return info.param == SimPreset::x11 ? "X11" : "Standard";
}

}  // namespace kestr::test

#define RUN_ON_BOTH_DESKTOPS(Fixture)                                                                           \
    INSTANTIATE_TEST_SUITE_P(Desktops, Fixture, ::testing::Values(::kestr::SimPreset::standard, ::kestr::SimPreset::x11), \
                             ::kestr::test::presetName)
