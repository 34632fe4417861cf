#include "Platform/X11/X11CompositorWatch.h"

#include <xcb/xfixes.h>

#include <string>

namespace kestr {

X11CompositorWatch::X11CompositorWatch(X11Connection& connection) : x_(connection) {
    selection_ = x_.atom("_NET_WM_CM_S" + std::to_string(x_.screenNumber()));
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(x_.raw(), &xcb_xfixes_id);
    if (extension && extension->present) {
        // The server answers XFixes requests only from clients that said which version
        // they speak; selection notes came with version 1.
        auto version = x_.reply<xcb_xfixes_query_version_reply_t>(
            xcb_xfixes_query_version_reply,
            xcb_xfixes_query_version(x_.raw(), XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION));
        if (version && version->major_version >= 1) {
            firstEvent_ = extension->first_event;
            xcb_xfixes_select_selection_input(x_.raw(), x_.root(), selection_,
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                                  XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                                  XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
            x_.countRequest();
            x_.addListener([this](const xcb_generic_event_t& event) { heard(event); });
        }
    }
    // Read after asking for the notes: a change in between arrives as a note after this
    // answer, and the notes are heard in order.
    running_ = askOwner();
}

bool X11CompositorWatch::running() const { return firstEvent_ ? running_ : askOwner(); }

bool X11CompositorWatch::askOwner() const {
    auto owner = x_.reply<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner_reply,
                                                           xcb_get_selection_owner(x_.raw(), selection_));
    return owner && owner->owner != XCB_NONE;
}

void X11CompositorWatch::heard(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != firstEvent_ + XCB_XFIXES_SELECTION_NOTIFY) return;
    const auto& note = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event);
    if (note.selection != selection_) return;
    running_ = note.subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER && note.owner != XCB_NONE;
}

}  // namespace kestr
