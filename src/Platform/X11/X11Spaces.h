// The window manager's desktops (EWMH) as Spaces.
#pragma once

#include "Platform/Spaces.h"
#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

class X11Spaces : public Spaces {
public:
    X11Spaces(X11Connection& connection, X11WindowModel& model) : x_(connection), model_(model) {}
    int count() override { return static_cast<int>(model_.desktopCount()); }
    int current() override { return static_cast<int>(model_.currentDesktop()); }
    Task<bool> createAndSwitch() override;

private:
    X11Connection& x_;
    X11WindowModel& model_;
};

}  // namespace kestr
