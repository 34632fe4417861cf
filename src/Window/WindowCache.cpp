#include "Window/WindowCache.h"

namespace kestr {

namespace {
WindowCache*& current() {
    static WindowCache* cache = nullptr;
    return cache;
}
}  // namespace

WindowCache::Use::Use(WindowCache& cache) : outer_(current()) { current() = &cache; }

WindowCache::Use::~Use() { current() = outer_; }

WindowCache* WindowCache::active() { return current(); }

void WindowCache::forget(AXElement window) {
    titles_.erase(window);
    positions_.erase(window);
    sizes_.erase(window);
}

}  // namespace kestr
