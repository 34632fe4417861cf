#include "Platform/X11/X11Pointer.h"

#include <poll.h>

namespace kestr {

namespace {

// Whether request `a` came after request `b`, across the wrap of the counter.
bool later(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) > 0; }

}  // namespace

X11Pointer::~X11Pointer() {
    if (!x_.broken()) dropQuestion();
}

bool X11Pointer::knownIsCurrent(double longest) const {
    // With a button held the pointer may be carried by warps (a remote control, scripted
    // input), which no raw event tells of: a drag asks every time.
    if (!following_ || !known_ || (known_->mask & anyButton)) return false;
    const double age = actor_.now() - knownAt_;
    if (x_.roundTrips() != knownRoundTrips_ || age >= longest) return false;
    if (age < freshFor) return true;
    // Unread bytes may be input that changed it.
    pollfd unread{x_.fd(), POLLIN, 0};
    return ::poll(&unread, 1, 0) == 0;
}

std::optional<X11Pointer::State> X11Pointer::state() { return state(longestKept); }

std::optional<X11Pointer::State> X11Pointer::position() { return state(freshFor); }

std::optional<X11Pointer::State> X11Pointer::state(double longest) {
    if (!asked_ && knownIsCurrent(longest)) return known_;
    const xcb_query_pointer_cookie_t cookie = asked_ ? *asked_ : xcb_query_pointer(x_.raw(), x_.root());
    asked_.reset();
    auto r = x_.reply<xcb_query_pointer_reply_t>(xcb_query_pointer_reply, cookie);
    if (!r) {
        known_.reset();
        return std::nullopt;
    }
    known_ = State{r->root_x, r->root_y, r->mask, r->child};
    knownAt_ = actor_.now();
    knownSequence_ = cookie.sequence;
    knownRoundTrips_ = x_.roundTrips();
    return known_;
}

void X11Pointer::inputAfter(std::uint32_t sequence) {
    // The event carries the last request the server had handled when it sent it: an
    // answer to that request or an earlier one predates the input.
    if (known_ && !later(knownSequence_, sequence)) known_.reset();
    if (asked_ && !later(asked_->sequence, sequence)) dropQuestion();
}

void X11Pointer::forget() {
    known_.reset();
    dropQuestion();
}

void X11Pointer::askAhead() {
    if (asked_ || !following_) return;
    asked_ = xcb_query_pointer(x_.raw(), x_.root());
    x_.countRequest();
    x_.flush();
}

void X11Pointer::follow(bool on) {
    following_ = on;
    forget();
}

void X11Pointer::dropQuestion() {
    if (!asked_) return;
    xcb_discard_reply(x_.raw(), asked_->sequence);
    asked_.reset();
}

}  // namespace kestr
