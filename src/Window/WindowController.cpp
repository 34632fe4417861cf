#include "Window/WindowController.h"

#include <cmath>

#include "Core/WholeNumber.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Window/WindowCache.h"

namespace kestr {

namespace {

// Small windows are helper panels and slivers, never arranged.
constexpr double minimumWindowSide = 5.0;
// A window within this many points of the asked size counts as honouring it; one that
// sizes itself in steps (a terminal's character cells) is allowed one step.
constexpr double sizeTolerance = 2.0;
constexpr double retryDelay = 0.06;
// How long a window manager may take to carry out a move before the frame is read as
// it stands.
constexpr double settleDeadline = 0.5;

std::optional<AXValue> copyValue(AXElement element, const std::string& attribute) {
    return platform().accessibility().copy(element, attribute);
}

std::optional<AXElement> readElement(AXElement element, const std::string& attribute) {
    const auto v = copyValue(element, attribute);
    if (!v) return std::nullopt;
    const auto* e = std::get_if<AXElement>(&*v);
    if (!e || e->isNull()) return std::nullopt;
    return *e;
}

std::optional<Size> readSizeAttribute(AXElement element, const std::string& attribute) {
    const auto v = copyValue(element, attribute);
    const auto* s = v ? std::get_if<Size>(&*v) : nullptr;
    return s ? std::optional<Size>(*s) : std::nullopt;
}

Size tolerance(AXElement window) {
    const auto step = readSizeAttribute(window, ax::sizeIncrement);
    if (!step) return Size{sizeTolerance, sizeTolerance};
    return Size{std::fmax(sizeTolerance, step->width), std::fmax(sizeTolerance, step->height)};
}

}  // namespace

WindowController::Remembered& WindowController::memory() {
    static Remembered remembered;
    return remembered;
}

WindowController::Remembered& WindowController::remembered() {
    Remembered& m = memory();
    const Accessibility* source = &platform().accessibility();
    if (m.source != source) {
        m.source = source;
        m.roles.clear();
        m.plainInterface.clear();
        m.titles.clear();
    }
    return m;
}

// Scopes only count; they may end after the platform has gone (a task frame destroyed
// with its main actor), so they never ask it for anything.
WindowController::ReadScope::ReadScope() { ++memory().readScopes; }

WindowController::ReadScope::~ReadScope() {
    Remembered& m = memory();
    if (--m.readScopes > 0) return;
    m.roles.clear();
    m.plainInterface.clear();
}

WindowController::TitleScope::TitleScope() { ++memory().titleScopes; }

WindowController::TitleScope::~TitleScope() {
    Remembered& m = memory();
    if (--m.titleScopes == 0) m.titles.clear();
}

std::optional<std::string> WindowController::role(AXElement window) {
    Remembered& memory = remembered();
    if (memory.readScopes == 0) return axString(window, ax::role);
    if (const auto known = memory.roles.find(window); known != memory.roles.end()) return known->second;
    // A failed read is not remembered: the application may answer the next time.
    auto read = axString(window, ax::role);
    if (read) memory.roles.emplace(window, *read);
    return read;
}

WindowLimits WindowController::limits(AXElement window) {
    return WindowLimits{readSizeAttribute(window, ax::minimumSize), readSizeAttribute(window, ax::sizeIncrement)};
}

ItemWindowLimits WindowController::limits(const std::map<Uuid, AXElement>& windows) {
    ItemWindowLimits result;
    for (const auto& [id, window] : windows) {
        WindowLimits l = limits(window);
        if (l != WindowLimits{}) result.emplace(id, l);
    }
    return result;
}

std::optional<Size> WindowController::minimumSize(const std::string& bundleID) {
    std::optional<Size> largest;
    for (AXElement window : windows(bundleID)) {
        const auto own = readSizeAttribute(window, ax::minimumSize);
        if (!own) return std::nullopt;
        largest = Size{std::fmax(largest ? largest->width : 0, own->width),
                       std::fmax(largest ? largest->height : 0, own->height)};
    }
    return largest;
}

std::optional<std::string> WindowController::title(AXElement window) {
    if (WindowCache* cache = WindowCache::active())
        return WindowCache::remembered(cache->titles_, window, [&] { return axString(window, ax::title); });
    Remembered& memory = remembered();
    if (memory.titleScopes == 0) return axString(window, ax::title);
    if (const auto known = memory.titles.find(window); known != memory.titles.end()) return known->second;
    return memory.titles.emplace(window, axString(window, ax::title)).first->second;
}

std::vector<std::int32_t> WindowController::pids(const std::string& bundleID) {
    return platform().workspace().processIdentifiers(bundleID);
}

AXElementList WindowController::windowList(AXElement application) {
    auto v = copyValue(application, ax::windows);
    auto* list = v ? std::get_if<AXElementList>(&*v) : nullptr;
    return list ? std::move(*list) : AXElementList{};
}

AXElementList WindowController::axWindows(AXElement application) {
    if (WindowCache* cache = WindowCache::active()) {
        return WindowCache::remembered(cache->usable_, application, [&] { return usableWindows(application); });
    }
    return usableWindows(application);
}

AXElementList WindowController::usableWindows(AXElement application) {
    AXElementList usable;
    for (const AXElement& window : windowList(application)) {
        if (const auto size = readSize(window)) {
            if (size->width < minimumWindowSide || size->height < minimumWindowSide) continue;
        }
        if (const auto role = WindowController::role(window)) {
            if (*role != ax::windowRole) continue;
        }
        usable.push_back(window);
    }
    return usable;
}

AXElementList WindowController::windows(const std::string& bundleID) {
    Accessibility& ax = platform().accessibility();
    AXElementList result;
    for (const std::int32_t pid : pids(bundleID)) {
        const AXElementList own = axWindows(ax.createApplication(pid));
        result.insert(result.end(), own.begin(), own.end());
    }
    return result;
}

std::optional<Point> WindowController::readPosition(AXElement window) {
    if (WindowCache* cache = WindowCache::active())
        return WindowCache::remembered(cache->positions_, window, [&] { return livePosition(window); });
    return livePosition(window);
}

std::optional<Point> WindowController::livePosition(AXElement window) {
    const auto v = copyValue(window, ax::position);
    const auto* p = v ? std::get_if<Point>(&*v) : nullptr;
    return p ? std::optional<Point>(*p) : std::nullopt;
}

std::optional<Size> WindowController::readSize(AXElement window) {
    if (WindowCache* cache = WindowCache::active())
        return WindowCache::remembered(cache->sizes_, window, [&] { return liveSize(window); });
    return liveSize(window);
}

std::optional<Size> WindowController::liveSize(AXElement window) { return readSizeAttribute(window, ax::size); }

std::optional<bool> WindowController::axBool(AXElement element, const std::string& attribute) {
    const auto v = copyValue(element, attribute);
    if (!v) return std::nullopt;
    if (const auto* b = std::get_if<bool>(&*v)) return *b;
    // Numbers 0 and 1 stand for booleans, as the system's number objects do.
    if (const auto* i = std::get_if<std::int64_t>(&*v)) {
        if (*i == 0 || *i == 1) return *i == 1;
    }
    if (const auto* d = std::get_if<double>(&*v)) {
        if (*d == 0 || *d == 1) return *d == 1;
    }
    return std::nullopt;
}

std::optional<std::string> WindowController::axString(AXElement element, const std::string& attribute) {
    const auto v = copyValue(element, attribute);
    const auto* s = v ? std::get_if<std::string>(&*v) : nullptr;
    return s ? std::optional<std::string>(*s) : std::nullopt;
}

Task<void> WindowController::applyFrame(AXElement window, Point globalPosition, Size size) {
    Accessibility& ax = platform().accessibility();
    // The enhanced interface animates every change and drops writes that arrive during
    // the animation; it stays off once turned off, and only assistive software turns it
    // on, so one read per application serves a whole apply.
    Remembered& memory = remembered();
    if (const auto pid = ax.pid(window); pid && !memory.plainInterface.contains(*pid)) {
        const AXElement app = ax.createApplication(*pid);
        if (axBool(app, ax::enhancedUserInterface) == true) ax.setAttributeValue(app, ax::enhancedUserInterface, false);
        if (memory.readScopes > 0) memory.plainInterface.insert(*pid);
    }
    // Write errors are ignored: a window that refuses shows up in the size check.
    ax.setFrame(window, globalPosition, size, 2);
    co_await ax.settled(window, settleDeadline);

    const auto got = readSize(window);
    if (!got) co_return;
    const auto within = [&](Size allowed) {
        return !(std::fabs(got->width - size.width) > allowed.width) &&
               !(std::fabs(got->height - size.height) > allowed.height);
    };
    // The size step is asked only of a window that missed by more than the plain tolerance.
    if (within(Size{sizeTolerance, sizeTolerance}) || within(tolerance(window))) co_return;
    platform().log().line("kestr[applyFrame]: size not honored (asked " + wholeNumberText(size.width) + "x" +
                          wholeNumberText(size.height) + ", got " + wholeNumberText(got->width) + "x" +
                          wholeNumberText(got->height) + ") \u2014 retry");
    // The retry happens even when cancelled: a half-placed window is worse than a late one.
    co_await sleepUnlessCancelled(retryDelay);
    ax.setFrame(window, globalPosition, size, 1);
    co_await ax.settled(window, settleDeadline);
}

bool WindowController::exitFullScreen(AXElement window) {
    if (axBool(window, ax::fullScreen) != true) return false;
    platform().accessibility().setAttributeValue(window, ax::fullScreen, false);
    return true;
}

bool WindowController::isFrontmostWindowFullScreen() {
    const auto front = platform().workspace().frontmostApplication();
    if (!front) return false;
    const AXElement app = platform().accessibility().createApplication(front->processIdentifier);
    for (const std::string& attribute : {ax::focusedWindow, ax::mainWindow}) {
        const auto window = readElement(app, attribute);
        if (!window) continue;
        if (const auto fullScreen = axBool(*window, ax::fullScreen)) return *fullScreen;
    }
    return false;
}

}  // namespace kestr
