#include "Platform/Sim/SimAccessibility.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "Platform/AXAttributes.h"
#include "Platform/Sim/ScenarioReader.h"

namespace kestr {

namespace {

AXError elementOrNone(AXElement element, AXValue& value) {
    if (element.isNull()) return AXError::noValue;
    value = element;
    return AXError::success;
}

AXError optionalText(const std::optional<std::string>& text, AXValue& value) {
    if (!text) return AXError::noValue;
    value = *text;
    return AXError::success;
}

AXElementList elementsOf(const std::vector<SimElement>& children) {
    AXElementList out;
    for (const auto& c : children) out.push_back(c.element);
    return out;
}

template <class T>
AXError give(AXValue& out, T v) {
    out = std::move(v);
    return AXError::success;
}

template <class T>
const T* as(const AXValue& value) {
    return std::get_if<T>(&value);
}

}  // namespace

bool SimAccessibility::isProcessTrustedWithOptions(bool prompt) {
    if (prompt && !world_.trusted) ++promptsShown_;
    return world_.trusted;
}

std::uint64_t SimAccessibility::totalReads() const {
    return std::accumulate(reads_.begin(), reads_.end(), std::uint64_t{0});
}

std::uint64_t SimAccessibility::totalWrites() const {
    return std::accumulate(writes_.begin(), writes_.end(), std::uint64_t{0});
}

void SimAccessibility::resetCounts() {
    reads_.fill(0);
    writes_.fill(0);
}

std::optional<std::int32_t> SimAccessibility::pid(AXElement element) {
    auto info = world_.lookup(element);
    if (!info || info->kind == SimElementKind::systemWide) return std::nullopt;
    return info->pid;
}

// ---- reads ----

AXError SimAccessibility::copyAttributeValue(AXElement element, const std::string& attribute, AXValue& value) {
    auto info = world_.lookup(element);
    ++reads_[index(info ? info->kind : SimElementKind::other)];
    if (!world_.trusted) return AXError::apiDisabled;
    if (!info) return AXError::invalidUIElement;
    if (info->kind == SimElementKind::systemWide) {
        if (attribute != ax::focusedApplication) return AXError::attributeUnsupported;
        SimProcess* front = world_.frontmostPid ? world_.process(*world_.frontmostPid) : nullptr;
        if (!front || front->terminated) return AXError::noValue;
        value = world_.applicationElement(front->pid);
        return AXError::success;
    }
    SimProcess* process = world_.process(info->pid);
    if (!process || process->terminated) return AXError::invalidUIElement;
    if (!process->responds) return AXError::cannotComplete;
    switch (info->kind) {
        case SimElementKind::application:
            return readApplication(*process, attribute, value);
        case SimElementKind::window: {
            const SimWindow* w = process->window(element);
            return w ? readWindow(*w, attribute, value) : AXError::invalidUIElement;
        }
        default: {
            const SimElement* c = world_.child(element);
            return c ? readChild(*c, attribute, value) : AXError::invalidUIElement;
        }
    }
}

AXError SimAccessibility::readApplication(SimProcess& process, const std::string& attribute, AXValue& value) {
    if (attribute == ax::windows || attribute == ax::children) {
        AXElementList list;
        for (const auto& w : process.windows) list.push_back(w.element);
        value = list;
        return AXError::success;
    }
    if (attribute == ax::role) return give(value, ax::applicationRole);
    if (attribute == ax::title) return optionalText(process.name, value);
    if (attribute == ax::focusedWindow) return elementOrNone(process.focusedWindow, value);
    if (attribute == ax::mainWindow) return elementOrNone(process.mainWindow, value);
    const auto* flag = attribute == ax::enhancedUserInterface ? &process.enhancedUserInterface
                       : attribute == ax::manualAccessibility ? &process.manualAccessibility
                                                              : nullptr;
    if (!flag || !*flag) return AXError::attributeUnsupported;
    value = **flag;
    return AXError::success;
}

AXError SimAccessibility::readWindow(const SimWindow& window, const std::string& attribute, AXValue& value) {
    if (window.unreadable.count(attribute)) return AXError::cannotComplete;
    if (attribute == ax::position) return give(value, window.position);
    if (attribute == ax::size) return give(value, window.size);
    if (attribute == ax::title) return give(value, window.title);
    if (attribute == ax::role) return give(value, window.role);
    if (attribute == ax::subrole) return optionalText(window.subrole, value);
    if (attribute == ax::minimized) return give(value, window.minimized);
    if (attribute == ax::fullScreen) return give(value, window.fullScreen);
    if (attribute == ax::children) return give(value, elementsOf(window.children));
    if (window.reportsSizeHints) {
        if (attribute == ax::minimumSize)
            return window.minimumSize == Size{} ? AXError::noValue : give(value, window.minimumSize);
        if (attribute == ax::sizeIncrement)
            return window.sizeRule.cell ? give(value, *window.sizeRule.cell) : AXError::noValue;
    }
    return AXError::attributeUnsupported;
}

AXError SimAccessibility::readChild(const SimElement& child, const std::string& attribute, AXValue& value) {
    if (attribute == ax::position) return give(value, child.position);
    if (attribute == ax::size) return give(value, child.size);
    if (attribute == ax::role) return give(value, child.role);
    if (attribute == ax::subrole) return optionalText(child.subrole, value);
    if (attribute == ax::title) return optionalText(child.title, value);
    if (attribute == ax::children) return give(value, elementsOf(child.children));
    return AXError::attributeUnsupported;
}

// ---- writes ----

AXError SimAccessibility::setAttributeValue(AXElement element, const std::string& attribute, const AXValue& value) {
    auto info = world_.lookup(element);
    ++writes_[index(info ? info->kind : SimElementKind::other)];
    if (!world_.trusted) return AXError::apiDisabled;
    if (!info) return AXError::invalidUIElement;
    if (info->kind == SimElementKind::systemWide) return AXError::attributeUnsupported;
    SimProcess* process = world_.process(info->pid);
    if (!process || process->terminated) return AXError::invalidUIElement;
    if (!process->responds) return AXError::cannotComplete;
    if (info->kind == SimElementKind::application) return writeApplication(*process, attribute, value);
    if (info->kind == SimElementKind::window) {
        SimWindow* w = process->window(element);
        return w ? writeWindow(*w, attribute, value) : AXError::invalidUIElement;
    }
    return world_.child(element) ? AXError::attributeUnsupported : AXError::invalidUIElement;
}

AXError SimAccessibility::writeApplication(SimProcess& process, const std::string& attribute, const AXValue& value) {
    if (attribute == ax::focusedWindow || attribute == ax::mainWindow) {
        const AXElement* w = as<AXElement>(value);
        if (!w || !process.window(*w)) return AXError::illegalArgument;
        (attribute == ax::focusedWindow ? process.focusedWindow : process.mainWindow) = *w;
        return AXError::success;
    }
    auto* flag = attribute == ax::enhancedUserInterface ? &process.enhancedUserInterface
                 : attribute == ax::manualAccessibility ? &process.manualAccessibility
                                                        : nullptr;
    if (!flag || !*flag) return AXError::attributeUnsupported;
    const bool* b = as<bool>(value);
    if (!b) return AXError::illegalArgument;
    *flag = *b;
    return AXError::success;
}

AXError SimAccessibility::writeWindow(SimWindow& window, const std::string& attribute, const AXValue& value) {
    if (attribute == ax::position || attribute == ax::size) {
        // A full-screen window keeps its frame until it leaves full screen.
        if (window.fullScreen) return AXError::cannotComplete;
        // Like a real window server, the desktop keeps windows within the coordinates it
        // can hold (those its scenario file accepts); a value that is no number at all is refused.
        const auto held = [](double v) {
            return std::clamp(v, -ScenarioReader::geometryLimit, ScenarioReader::geometryLimit);
        };
        const Rect before = window.frame();
        if (attribute == ax::position) {
            const Point* p = as<Point>(value);
            if (!p || std::isnan(p->x) || std::isnan(p->y)) return AXError::illegalArgument;
            window.position = Point{held(p->x), held(p->y)};
            world_.windowsChanged();
        } else {
            const Size* s = as<Size>(value);
            if (!s || std::isnan(s->width) || std::isnan(s->height)) return AXError::illegalArgument;
            world_.resize(window, Size{held(s->width), held(s->height)});
        }
        if (window.frame() != before) framedAt_[window.element] = actor_.now();
        return AXError::success;
    }
    if (attribute == ax::minimized || attribute == ax::fullScreen) {
        const bool* b = as<bool>(value);
        if (!b) return AXError::illegalArgument;
        if (attribute == ax::minimized) {
            window.minimized = *b;
            world_.windowsChanged();
        } else {
            world_.setFullScreen(window, *b);
        }
        return AXError::success;
    }
    return AXError::attributeUnsupported;
}

Task<void> SimAccessibility::quiet(AXElement window, double quietPeriod, double deadline) {
    const double end = actor_.now() + deadline;
    for (;;) {
        const auto at = framedAt_.find(window);
        const double until = std::min(at == framedAt_.end() ? 0 : at->second + quietPeriod, end);
        if (until <= actor_.now()) co_return;
        try {
            co_await sleepFor(until - actor_.now());
        } catch (const CancellationError&) {
            co_return;
        }
    }
}

}  // namespace kestr
