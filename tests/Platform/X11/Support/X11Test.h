// Base of the X11 tests: the program's one private session, brought back before each test
// to a running window manager and no monitors of an earlier test, and the clients a test
// starts, ended after it with their windows gone from the window manager's list.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "Platform/X11/Support/ClientProcess.h"
#include "Platform/X11/Support/WaitUntil.h"
#include "Platform/X11/Support/XReads.h"
#include "Platform/X11/Support/XvfbSession.h"

namespace kestr::x11test {

class X11Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    XvfbSession& session() { return *session_; }
    xcb_connection_t* connection() { return session_->connection(); }
    // A client whose windows are watched on connection(), so waitUntil wakes for them.
    ClientProcess& spawn(ClientOptions options = {});
    bool waitUntil(const std::function<bool()>& condition, double seconds = kDeadlineSeconds) {
        return x11test::waitUntil(connection(), condition, seconds);
    }

private:
    XvfbSession* session_ = nullptr;
    std::vector<std::unique_ptr<ClientProcess>> clients_;
};

}  // namespace kestr::x11test
