#include "Platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace kestr {

namespace {
Platform* installed = nullptr;
}

Platform::~Platform() { destroySharedInstances(); }

void Platform::destroySharedInstances() {
    while (!order_.empty()) {
        auto instance = std::move(order_.back());
        order_.pop_back();
        for (auto it = shared_.begin(); it != shared_.end(); ++it) {
            if (it->second == instance) {
                shared_.erase(it);
                break;
            }
        }
        instance.reset();
    }
}

NativeWindows& Platform::nativeWindows() {
    static NativeWindows none;
    return none;
}

void installPlatform(Platform* platform) { installed = platform; }

bool hasPlatform() { return installed != nullptr; }

Platform& platform() {
    if (!installed) {
        std::fputs("kestr: no platform installed\n", stderr);
        std::abort();
    }
    return *installed;
}

}  // namespace kestr
