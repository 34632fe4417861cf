// Hands the shared services the callbacks and presenters through which they reach one
// another and the screen: what a kest's or a snap's shortcut runs, who becomes the
// active kest after such an apply, and the windows that drag snap draws.
#pragma once

namespace kestr {

struct ServiceWiring {
    static void connect();
};

}  // namespace kestr
