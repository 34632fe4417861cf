// Base of the tests of the backend on a server without one extension: the session's,
// seen through a proxy that hides it (`Hidden` names it as the server does).
#pragma once

#include <memory>
#include <string>

#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/ExtensionHidingProxy.h"

namespace kestr::x11test {

template <const char* Hidden>
class WithoutExtensionTest : public BackendTest {
protected:
    std::string platformDisplay() override {
        proxy_ = std::make_unique<ExtensionHidingProxy>(session().display(), Hidden);
        return proxy_->display();
    }
    void TearDown() override {
        BackendTest::TearDown();
        proxy_.reset();
    }

private:
    std::unique_ptr<ExtensionHidingProxy> proxy_;
};

}  // namespace kestr::x11test
