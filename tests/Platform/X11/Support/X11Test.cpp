#include "X11Test.h"

namespace kestr::x11test {

void X11Test::SetUp() {
    try {
        session_ = &XvfbSession::shared();
        session_->resumeWindowManager();
        session_->startWindowManager();
        session_->removeAllMonitors();
        session_->stopCompositingManager();
    } catch (const std::exception& e) {
        GTEST_FAIL() << e.what();
    }
}

void X11Test::TearDown() {
    if (!session_) return;
    clients_.clear();
    session_->resumeWindowManager();
    // A stopped window manager leaves its last list behind; the windows in it are gone.
    EXPECT_TRUE(waitUntil([&] {
        auto managed = clientList(connection());
        for (xcb_window_t w : managed)
            if (windowExists(connection(), w)) return false;
        return managed.empty() || !session_->windowManagerRunning();
    })) << "windows of this test outlived their clients";
}

ClientProcess& X11Test::spawn(ClientOptions options) {
    clients_.push_back(std::make_unique<ClientProcess>(session_->display(), std::move(options), connection()));
    return *clients_.back();
}

}  // namespace kestr::x11test
