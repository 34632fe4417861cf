#include "Platform/X11/X11Accessibility.h"

#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cmath>

#include "Platform/AXAttributes.h"

namespace kestr {

namespace {

template <class T>
AXError give(AXValue& out, T v) {
    out = std::move(v);
    return AXError::success;
}

// EWMH: the request comes from a pager or a tool acting for the user.
constexpr std::uint32_t sourceIsTool = 2;

// How long a window's frame stays still before a move counts as over.
constexpr double quietPeriod = 0.03;
// How long a move may go unanswered before a fence goes behind it.
constexpr double fenceDelay = 0.005;

}  // namespace

X11Accessibility::X11Accessibility(X11Connection& connection, X11WindowModel& model)
    : x_(connection), model_(model), fence_(connection) {
    // Answers of windows that went away are forgotten.
    model_.addClientListObserver(
        [this] { std::erase_if(answers_, [this](const auto& entry) { return !model_.client(entry.first); }); });
}

AXElement X11Accessibility::createApplication(std::int32_t pid) {
    return AXElement{applicationTag | static_cast<std::uint32_t>(pid)};
}

std::optional<xcb_window_t> X11Accessibility::windowOf(AXElement element) {
    if ((element.handle & tagMask) != windowTag) return std::nullopt;
    return static_cast<xcb_window_t>(element.handle & 0xFFFFFFFFULL);
}

const X11Client* X11Accessibility::clientOf(AXElement element) const {
    const auto window = windowOf(element);
    const X11Client* c = window ? model_.client(*window) : nullptr;
    if (!c || (c->generation & generationMask) != ((element.handle >> 32) & generationMask)) return nullptr;
    return c;
}

std::optional<std::int32_t> X11Accessibility::pid(AXElement element) {
    const std::uint64_t tag = element.handle & tagMask;
    if (tag == applicationTag) return static_cast<std::int32_t>(element.handle & 0xFFFFFFFFULL);
    if (const X11Client* c = clientOf(element)) return c->pid;
    return std::nullopt;
}

std::vector<xcb_window_t> X11Accessibility::windowsOf(std::int32_t pid) const {
    std::vector<xcb_window_t> out;
    const X11Owners::Owner* owner = model_.owners().find(pid);
    if (!owner) return out;
    for (xcb_window_t w : owner->windows) {
        const X11Client* c = model_.client(w);
        if (c && model_.onCurrentDesktop(*c)) out.push_back(w);
    }
    return out;
}

std::optional<xcb_window_t> X11Accessibility::focusedWindowOf(std::int32_t pid) const {
    if (const auto active = model_.activeWindow()) {
        if (const X11Client* c = model_.client(*active); c && c->pid == pid) return *active;
    }
    for (xcb_window_t w : windowsOf(pid)) {
        const X11Client* c = model_.client(w);
        if (c && c->isArrangeable() && !c->hidden) return w;
    }
    return std::nullopt;
}

// ---- reads ----

AXError X11Accessibility::copyAttributeValue(AXElement element, const std::string& attribute, AXValue& value) {
    const std::uint64_t tag = element.handle & tagMask;
    if (tag == systemWideTag) {
        if (attribute != ax::focusedApplication) return AXError::attributeUnsupported;
        const auto active = model_.activeWindow();
        const X11Client* c = active ? model_.client(*active) : nullptr;
        if (!c || !c->pid) return AXError::noValue;
        return give(value, createApplication(*c->pid));
    }
    if (tag == applicationTag)
        return readApplication(static_cast<std::int32_t>(element.handle & 0xFFFFFFFFULL), attribute, value);
    const X11Client* c = clientOf(element);
    if (!c) return AXError::invalidUIElement;
    return readWindow(*c, attribute, value);
}

AXError X11Accessibility::readApplication(std::int32_t pid, const std::string& attribute, AXValue& value) {
    if (attribute == ax::windows) {
        AXElementList list;
        for (xcb_window_t w : windowsOf(pid)) list.push_back(windowElement(*model_.client(w)));
        return give(value, std::move(list));
    }
    if (attribute == ax::role) return give(value, ax::applicationRole);
    if (attribute == ax::title) {
        const auto name = applicationName ? applicationName(pid) : std::nullopt;
        if (!name) return AXError::noValue;
        return give(value, *name);
    }
    if (attribute == ax::focusedWindow || attribute == ax::mainWindow) {
        const auto w = focusedWindowOf(pid);
        if (!w) return AXError::noValue;
        return give(value, windowElement(*model_.client(*w)));
    }
    return AXError::attributeUnsupported;
}

AXError X11Accessibility::readWindow(const X11Client& c, const std::string& attribute, AXValue& value) {
    if (attribute == ax::position) return give(value, model_.shownFrame(c).origin);
    if (attribute == ax::size) return give(value, model_.shownFrame(c).size);
    if (attribute == ax::title) return give(value, c.title);
    if (attribute == ax::role) return give(value, c.isArrangeable() ? ax::windowRole : ax::unknownRole);
    if (attribute == ax::subrole) {
        if (c.type == X11WindowType::dialog) return give(value, ax::dialogSubrole);
        if (c.type == X11WindowType::utility) return give(value, ax::floatingWindowSubrole);
        if (c.type == X11WindowType::normal) return give(value, ax::standardWindowSubrole);
        return AXError::noValue;
    }
    if (attribute == ax::minimized) return give(value, c.hidden);
    if (attribute == ax::fullScreen) return give(value, c.fullScreen);
    if (attribute == ax::maximized) {
        return give(value,
                    (c.maximizedAcross ? ax::maximizedAcross : 0) | (c.maximizedUpDown ? ax::maximizedUpDown : 0));
    }
    if (attribute == ax::sizeIncrement) {
        if (!c.sizeIncrement) return AXError::noValue;
        return give(value, *c.sizeIncrement);
    }
    if (attribute == ax::minimumSize) {
        // The hints give the client's own size; the frame adds the decorations. Without
        // a minimum, the base size stands for it; without either, the window takes any
        // size down to one pixel.
        const Size client = c.minSize ? *c.minSize : c.baseSize.value_or(Size{});
        return give(value, Size{std::max(client.width, 1.0) + c.extents.left + c.extents.right,
                                std::max(client.height, 1.0) + c.extents.top + c.extents.bottom});
    }
    return AXError::attributeUnsupported;
}

// ---- writes ----

AXError X11Accessibility::setAttributeValue(AXElement element, const std::string& attribute, const AXValue& value) {
    const std::uint64_t tag = element.handle & tagMask;
    if (tag == systemWideTag) return AXError::attributeUnsupported;
    if (tag == applicationTag) {
        if (attribute != ax::focusedWindow && attribute != ax::mainWindow) return AXError::attributeUnsupported;
        const auto* target = std::get_if<AXElement>(&value);
        const X11Client* c = target ? clientOf(*target) : nullptr;
        if (!c || c->pid != static_cast<std::int32_t>(element.handle & 0xFFFFFFFFULL)) return AXError::illegalArgument;
        activate(c->id);
        return AXError::success;
    }
    const X11Client* c = clientOf(element);
    if (!c) return AXError::invalidUIElement;
    return writeWindow(*c, attribute, value);
}

AXError X11Accessibility::writeWindow(const X11Client& c, const std::string& attribute, const AXValue& value) {
    auto& e = x_.ewmh();
    if (attribute == ax::position) {
        const auto* p = std::get_if<Point>(&value);
        if (!p) return AXError::illegalArgument;
        moveResize(c, *p, std::nullopt);
        return AXError::success;
    }
    if (attribute == ax::size) {
        const auto* s = std::get_if<Size>(&value);
        if (!s) return AXError::illegalArgument;
        moveResize(c, std::nullopt, *s);
        return AXError::success;
    }
    const auto* flag = std::get_if<bool>(&value);
    if (attribute == ax::minimized) {
        if (!flag) return AXError::illegalArgument;
        if (*flag) {
            x_.sendRootMessage(c.id, x_.atom("WM_CHANGE_STATE"), XCB_ICCCM_WM_STATE_ICONIC);
        } else {
            activate(c.id);
        }
        x_.flush();
        return AXError::success;
    }
    if (attribute == ax::maximized) {
        const auto* directions = std::get_if<std::int64_t>(&value);
        if (!directions) return AXError::illegalArgument;
        // Both directions go in one request where they go the same way: xfwm4 takes a second
        // direction asked alone as leaving the first.
        std::vector<xcb_atom_t> add, remove;
        for (const auto& [bit, state] : {std::pair{ax::maximizedAcross, e._NET_WM_STATE_MAXIMIZED_HORZ},
                                         std::pair{ax::maximizedUpDown, e._NET_WM_STATE_MAXIMIZED_VERT}}) {
            (*directions & bit ? add : remove).push_back(state);
        }
        for (const auto& [action, states] :
             {std::pair{XCB_EWMH_WM_STATE_REMOVE, &remove}, std::pair{XCB_EWMH_WM_STATE_ADD, &add}}) {
            if (!states->empty()) askState(c.id, action, states->front(), states->size() > 1 ? states->back() : 0);
        }
        // The window manager picks the frame: settled() waits for it to be done, as behind a move.
        const X11MoveFence::Mark fence = fence_.raise();
        x_.flush();
        requested_[c.id] = Request{std::nullopt, 0, fence, true, c.extents};
        return AXError::success;
    }
    if (attribute == ax::fullScreen) {
        if (!flag) return AXError::illegalArgument;
        askState(c.id, *flag ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE, e._NET_WM_STATE_FULLSCREEN);
        x_.flush();
        return AXError::success;
    }
    return AXError::attributeUnsupported;
}

void X11Accessibility::askState(xcb_window_t window, std::uint32_t action, xcb_atom_t state, xcb_atom_t other) {
    x_.sendRootMessage(window, x_.ewmh()._NET_WM_STATE, action, state, other, sourceIsTool);
}

void X11Accessibility::activate(xcb_window_t window) {
    x_.sendRootMessage(window, x_.ewmh()._NET_ACTIVE_WINDOW, sourceIsTool, XCB_CURRENT_TIME, 0);
    x_.flush();
}

// One request for position and size: the frame's top-left corner (north-west gravity)
// and the client's size, which is the frame's without the decorations. A frame between
// pixels (an edge shared by two windows at y 545.5) is rounded edge by edge, not origin
// and size apart: neighbours keep their shared edge, and a frame inside the screen stays
// inside it (545.5 + 534.5 would otherwise end at 546 + 535 = 1081).
void X11Accessibility::moveResize(const X11Client& c, std::optional<Point> position, std::optional<Size> size) {
    const Rect frame = c.frame();
    const Point p = position.value_or(frame.origin);
    const Size s = size.value_or(frame.size);
    const double left = std::round(p.x), top = std::round(p.y);
    const double width = std::round(p.x + s.width) - left, height = std::round(p.y + s.height) - top;
    const auto whole = [](double v) { return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v))); };
    const double clientWidth = std::max(1.0, width - c.extents.left - c.extents.right);
    const double clientHeight = std::max(1.0, height - c.extents.top - c.extents.bottom);
    // A maximised window keeps the size of the work area, whatever it is asked: it leaves
    // that state first, as a minimised or full-screen one does before a move.
    if (c.maximized) {
        auto& e = x_.ewmh();
        askState(c.id, XCB_EWMH_WM_STATE_REMOVE, e._NET_WM_STATE_MAXIMIZED_VERT, e._NET_WM_STATE_MAXIMIZED_HORZ);
    }
    std::uint32_t flags = XCB_GRAVITY_NORTH_WEST | (sourceIsTool << 12);
    if (position) flags |= (1 << 8) | (1 << 9);
    if (size) flags |= (1 << 10) | (1 << 11);
    const std::uint32_t sequence = x_.sendRootMessage(c.id, x_.ewmh()._NET_MOVERESIZE_WINDOW, flags, whole(left),
                                                      whole(top), whole(clientWidth), whole(clientHeight));
    x_.flush();
    requested_[c.id] =
        Request{Rect(left, top, width, height), sequence, {}, !c.maximized && !c.fullScreen && !c.hidden, c.extents};
}

void X11Accessibility::setFrame(AXElement window, Point position, Size size, int) {
    if (const X11Client* c = clientOf(window)) moveResize(*c, position, size);
}

Task<void> X11Accessibility::settled(AXElement window, double deadline) {
    const auto id = windowOf(window);
    if (!id) co_return;
    const auto asked = requested_.find(*id);
    if (asked == requested_.end()) co_return;
    const Request request = asked->second;
    requested_.erase(asked);
    co_await waitForAnswer(*id, request, deadline);
    if (!request.frame) co_return;
    // A window that left a state on the way, or changed its decorations, was asked a client
    // size worked out with borders it no longer has (a maximised window gets its borders
    // back): it is asked once more, with the ones it has now.
    const X11Client* c = model_.client(*id);
    if (!c || (request.answerEndsWait && c->extents == request.extents)) co_return;
    if (c->frame() == request.frame || c->maximized || c->fullScreen || c->hidden) co_return;
    answers_.erase(*id);
    moveResize(*c, request.frame->origin, request.frame->size);
    const Request again = requested_[*id];
    requested_.erase(*id);
    co_await waitForAnswer(*id, again, deadline);
}

void X11Accessibility::deliverWrites() {
    x_.reply<xcb_get_input_focus_reply_t>(xcb_get_input_focus_reply, xcb_get_input_focus(x_.raw()));
}

Task<void> X11Accessibility::quiet(AXElement window, double stillFor, double deadline) {
    if (const X11Client* c = clientOf(window)) co_await model_.waitForQuiet(c->id, stillFor, deadline);
}

Task<void> X11Accessibility::waitForAnswer(xcb_window_t w, Request request, double deadline) {
    const std::optional<Rect> asked = request.frame;
    X11WindowModel& model = model_;
    // There, within one size step (a terminal's character cells round its size).
    const auto arrived = [&model, w, asked] {
        const X11Client* c = model.client(w);
        if (!c) return true;
        if (!asked) return false;
        const Rect f = c->frame(), target = *asked;
        const Size step = c->sizeIncrement.value_or(Size{1, 1});
        return std::fabs(f.x() - target.x()) < 1 && std::fabs(f.y() - target.y()) < 1 &&
               std::fabs(f.width() - target.width()) < std::max(1.0, step.width) &&
               std::fabs(f.height() - target.height()) < std::max(1.0, step.height);
    };
    const auto changes = [&model, w] {
        const X11Client* c = model.client(w);
        return c ? c->frameChanges : ~std::uint64_t{0};
    };
    // Asked again for a frame the window manager answered with another, and nothing has
    // moved the window since: it answers the same, often with no event at all.
    if (const auto known = answers_.find(w);
        asked && known != answers_.end() && known->second.asked == *asked && known->second.frameChanges == changes()) {
        co_return;
    }
    const auto done = [&] {
        return arrived() || (request.answerEndsWait && ((asked && model.answeredSince(w, request.sequence)) ||
                                                        fence_.passed(request.fence)));
    };
    // A window manager that leaves the frame as it is sends no event at all (openbox), and
    // other programs write the window's properties as they please (xfwm4 its states at
    // every focus change): behind a move not answered at once goes a request that only the
    // window manager answers, and only to kestr. Not behind every move: it costs the window
    // manager more than the move, and the moves that follow would wait for it.
    const std::uint64_t before = changes();
    if (asked && request.answerEndsWait) {
        co_await model.waitFor(done, fenceDelay);
        if (!done()) {
            request.fence = fence_.raise();
            x_.flush();
        }
        deadline = std::max(0.0, deadline - fenceDelay);
    }
    // Wait for the first change, then for the changes to stop, unless the window manager's
    // answer is all there: a window manager that rounds or clamps the size never reaches
    // the target exactly.
    bool changed = changes() != before || co_await waitForChange(w, done, deadline);
    while (changed && !done()) changed = co_await waitForChange(w, done, quietPeriod);
    // A window manager may still be setting the frame and the decorations of a changed state
    // when it has answered the request: they are awaited until they stop.
    const auto never = [] { return false; };
    for (bool moving = !asked; moving;) moving = co_await waitForChange(w, never, quietPeriod);
    if (asked && !arrived()) answers_[w] = Answer{*asked, changes()};
}

Task<bool> X11Accessibility::waitForChange(xcb_window_t window, std::function<bool()> done, double seconds) {
    const X11Client* c = model_.client(window);
    const std::uint64_t seen = c ? c->frameChanges : 0;
    X11WindowModel& model = model_;
    const bool changed = co_await model_.waitFor(
        [&] {
            const X11Client* now = model.client(window);
            return !now || now->frameChanges != seen || done();
        },
        seconds);
    if (!changed) ++timedOutWaits_;
    co_return changed;
}

}  // namespace kestr
