// What one apply has learnt of the windows it searches: each application's usable
// windows, and each window's title, position and size, read once for the whole apply
// instead of once for every item (with many windows of one application, reads would
// grow with the square of their number). Only the searches read through it, while a
// WindowCache::Use lives, which never spans a suspension; moving a window, and the check
// after a move, read live. A window the apply takes is forgotten, since it is about to
// move, and so are the lists once the apply may have opened a window.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "Platform/Accessibility.h"
#include "Platform/Geometry.h"

namespace kestr {

class WindowCache {
public:
    // While it lives, WindowController reads through the cache. Uses nest; the
    // innermost one counts.
    class Use {
    public:
        explicit Use(WindowCache& cache);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        WindowCache* outer_;
    };

    // The cache in use now, if any.
    static WindowCache* active();

    void forget(AXElement window);
    void forgetWindowLists() { usable_.clear(); }

private:
    friend class WindowController;

    // Each answer is read once, through `read`, then remembered, a failed read included.
    template <class T, class Read>
    static T remembered(std::map<AXElement, T>& known, AXElement element, Read read) {
        if (const auto it = known.find(element); it != known.end()) return it->second;
        return known.emplace(element, read()).first->second;
    }

    std::map<AXElement, AXElementList> usable_;
    std::map<AXElement, std::optional<std::string>> titles_;
    std::map<AXElement, std::optional<Point>> positions_;
    std::map<AXElement, std::optional<Size>> sizes_;
};

}  // namespace kestr
