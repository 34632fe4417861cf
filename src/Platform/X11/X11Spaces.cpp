#include "Platform/X11/X11Spaces.h"

namespace kestr {

namespace {
// How long the window manager may take to add a desktop or switch to it.
constexpr double answerDeadline = 3.0;
}  // namespace

Task<bool> X11Spaces::createAndSwitch() {
    const std::uint32_t added = model_.desktopCount();
    auto& e = x_.ewmh();
    // Root messages name the root window as their window.
    x_.sendRootMessage(x_.root(), e._NET_NUMBER_OF_DESKTOPS, added + 1);
    x_.flush();
    X11WindowModel& model = model_;
    if (!co_await model.waitFor([&model, added] { return model.desktopCount() > added; }, answerDeadline)) {
        co_return false;
    }
    x_.sendRootMessage(x_.root(), e._NET_CURRENT_DESKTOP, added, XCB_CURRENT_TIME);
    x_.flush();
    co_return co_await model.waitFor([&model, added] { return model.currentDesktop() == added; }, answerDeadline);
}

}  // namespace kestr
