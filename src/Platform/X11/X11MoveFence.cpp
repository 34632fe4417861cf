#include "Platform/X11/X11MoveFence.h"

#include <algorithm>

namespace kestr {

namespace {

// A window manager that stopped answering (paused, or gone without a successor) would
// have kestr make windows without end: past this many unanswered fences, none is sent.
constexpr std::size_t mostWaiting = 64;

}  // namespace

X11MoveFence::X11MoveFence(X11Connection& connection)
    : x_(connection), request_(connection.ewmh()._NET_REQUEST_FRAME_EXTENTS),
      extents_(connection.ewmh()._NET_FRAME_EXTENTS) {
    x_.addListener([this](const xcb_generic_event_t& event) { handle(event); });
}

X11MoveFence::~X11MoveFence() {
    for (const xcb_window_t w : made_) xcb_destroy_window(x_.raw(), w);
    x_.flush();
}

bool X11MoveFence::supported() {
    if (!supported_) {
        const auto listed = x_.cardinals(x_.root(), x_.ewmh()._NET_SUPPORTED);
        supported_ = listed && std::find(listed->begin(), listed->end(), request_) != listed->end();
    }
    return *supported_;
}

X11MoveFence::Mark X11MoveFence::raise() {
    if (waiting_.size() >= mostWaiting || !supported()) return {};
    xcb_window_t w = XCB_NONE;
    if (!free_.empty()) {
        w = free_.back();
        free_.pop_back();
    } else {
        // Never mapped, so never managed: only the fences' answers are written to it.
        w = xcb_generate_id(x_.raw());
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(x_.raw(), XCB_COPY_FROM_PARENT, w, x_.root(), -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        x_.countRequest();
        made_.push_back(w);
    }
    x_.sendRootMessage(w, request_, 0);
    waiting_[w] = ++serial_;
    return Mark{w, serial_};
}

bool X11MoveFence::passed(Mark mark) const {
    if (mark.window == XCB_NONE) return false;
    const auto it = waiting_.find(mark.window);
    return it == waiting_.end() || it->second != mark.serial;
}

void X11MoveFence::handle(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return;
    const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (e.window == x_.root() && e.atom == x_.ewmh()._NET_SUPPORTING_WM_CHECK) {
        // Another window manager: the one that would have answered is gone, and the new
        // one may not answer at all.
        supported_.reset();
        for (const auto& [w, serial] : waiting_) free_.push_back(w);
        waiting_.clear();
        return;
    }
    if (e.atom != extents_) return;
    if (const auto it = waiting_.find(e.window); it != waiting_.end()) {
        waiting_.erase(it);
        free_.push_back(e.window);
    }
}

}  // namespace kestr
