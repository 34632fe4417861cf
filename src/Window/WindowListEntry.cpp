#include "Window/WindowListEntry.h"

#include "Core/WholeNumber.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

const PlistValue* find(const PlistDict& dict, const char* key) {
    const auto it = dict.find(key);
    return it == dict.end() ? nullptr : &it->second;
}

std::optional<std::int64_t> integer(const PlistDict& dict, const char* key) {
    const PlistValue* v = find(dict, key);
    const auto* i = v ? v->get<std::int64_t>() : nullptr;
    return i ? std::optional<std::int64_t>(*i) : std::nullopt;
}

std::optional<double> numberAt(const PlistDict& dict, const char* key) {
    const PlistValue* v = find(dict, key);
    return v ? v->number() : std::nullopt;
}

}  // namespace

WindowListEntry WindowListEntry::read(const PlistDict& window) {
    WindowListEntry entry;
    entry.layer = integer(window, "kCGWindowLayer");
    entry.ownerPID = integer(window, "kCGWindowOwnerPID");
    if (const PlistValue* n = find(window, "kCGWindowNumber")) {
        if (const auto i = n->get<std::int64_t>()) {
            entry.number = static_cast<std::uint32_t>(*i);
        } else if (const auto d = n->number()) {
            entry.number = static_cast<std::uint32_t>(truncatedWholeNumber(*d));
        }
    }
    const PlistValue* b = find(window, "kCGWindowBounds");
    if (const PlistDict* bounds = b ? b->get<PlistDict>() : nullptr) {
        const auto x = numberAt(*bounds, "X");
        const auto y = numberAt(*bounds, "Y");
        const auto w = numberAt(*bounds, "Width");
        const auto h = numberAt(*bounds, "Height");
        if (x && y && w && h) entry.bounds = Rect(*x, *y, *w, *h);
    }
    return entry;
}

std::optional<std::vector<WindowListEntry>> WindowListEntry::onScreen() {
    const auto list = platform().windowServer().copyWindowList(WindowListOption::onScreenOnly, 0);
    if (!list) return std::nullopt;
    std::vector<WindowListEntry> entries;
    entries.reserve(list->size());
    for (const PlistValue& value : *list) {
        const PlistDict* window = value.get<PlistDict>();
        if (!window) return std::nullopt;
        entries.push_back(read(*window));
    }
    return entries;
}

std::optional<WindowListEntry> WindowListEntry::onScreen(std::uint32_t number) {
    const auto window = platform().windowServer().copyWindowInfo(number, WindowListOption::onScreenOnly);
    return window ? std::optional(read(*window)) : std::nullopt;
}

std::optional<WindowListEntry> WindowListEntry::frontmostAt(Point global, std::int64_t layer) {
    const auto window = platform().windowServer().copyWindowAt(global, layer);
    return window ? std::optional(read(*window)) : std::nullopt;
}

}  // namespace kestr
