// kestr_test_client: top-level windows for the X11 tests, on plain xcb. Options and commands
// are listed in ClientOptions.h and TestClient.h; each mapped window prints "window 0x…".
#include <cstdio>
#include <exception>

#include "ClientOptions.h"
#include "TestClient.h"

int main(int argc, char** argv) {
    try {
        kestr::x11test::TestClient client(kestr::x11test::parseClientOptions({argv + 1, argv + argc}));
        return client.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kestr_test_client: %s\n", e.what());
        return 2;
    }
}
