#include "Platform/X11/X11EventMonitors.h"

#include <xcb/xinput.h>

namespace kestr {

namespace {

// How long a press waits for the window manager to activate the window under it; a
// window manager that leaves it inactive costs the press this much delay, no more.
constexpr double pressAnswerSeconds = 0.25;

// While a button is held the pointer is asked this often: a drag carried by warps (a
// remote control, scripted input) sends no raw motion.
constexpr double warpWatchInterval = 1.0 / 30;

// The modifier keys by keysym, with the key codes and flags they stand for; every other
// key is named through the key table shared with the hot keys (keys outside it arrive
// with key code 0: nothing listening globally asks for them).
struct KeyName {
    xcb_keysym_t keysym;
    std::uint16_t keyCode;
    std::uint64_t modifier;
};
constexpr KeyName keyNames[] = {
    {0xffe1, 56, ModifierFlag::shift},     // Shift_L
    {0xffe2, 60, ModifierFlag::shift},     // Shift_R
    {0xffe3, 55, ModifierFlag::command},   // Control_L: plays Command
    {0xffe4, 54, ModifierFlag::command},   // Control_R
    {0xffe9, 58, ModifierFlag::option},    // Alt_L
    {0xffea, 61, ModifierFlag::option},    // Alt_R
    {0xffeb, 59, ModifierFlag::control},   // Super_L: plays Control
    {0xffec, 62, ModifierFlag::control},   // Super_R
    {0xffe5, 57, ModifierFlag::capsLock},  // Caps_Lock
};

const KeyName* keyName(xcb_keysym_t keysym) {
    for (const KeyName& k : keyNames) {
        if (k.keysym == keysym) return &k;
    }
    return nullptr;
}

std::uint64_t flagsOfState(std::uint16_t state) {
    std::uint64_t flags = 0;
    if (state & XCB_MOD_MASK_SHIFT) flags |= ModifierFlag::shift;
    if (state & XCB_MOD_MASK_LOCK) flags |= ModifierFlag::capsLock;
    if (state & XCB_MOD_MASK_CONTROL) flags |= ModifierFlag::command;
    if (state & XCB_MOD_MASK_1) flags |= ModifierFlag::option;
    if (state & XCB_MOD_MASK_4) flags |= ModifierFlag::control;
    return flags;
}

std::uint32_t buttonsOfState(std::uint16_t state) {
    std::uint32_t buttons = 0;
    if (state & XCB_BUTTON_MASK_1) buttons |= 1u;
    if (state & XCB_BUTTON_MASK_3) buttons |= 2u;
    if (state & XCB_BUTTON_MASK_2) buttons |= 4u;
    return buttons;
}

}  // namespace

X11EventMonitors::X11EventMonitors(X11Connection& connection, X11WindowModel& model, X11Displays& displays,
                                   X11Pointer& pointer, X11KeyTable& keys, MainActor& actor, std::int32_t ownPid)
    : x_(connection),
      model_(model),
      displays_(displays),
      pointer_(pointer),
      actor_(actor),
      ownPid_(ownPid),
      self_(std::make_shared<X11EventMonitors*>(this)),
      keys_(keys),
      shownClients_(model, [&model](const X11Client& c) -> std::optional<Rect> {
          if (!model.shows(c)) return std::nullopt;
          return c.frame();
      }) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(x_.raw(), &xcb_input_id);
    if (extension && extension->present) {
        auto version = x_.reply<xcb_input_xi_query_version_reply_t>(xcb_input_xi_query_version_reply,
                                                                    xcb_input_xi_query_version(x_.raw(), 2, 2));
        if (version && version->major_version >= 2) xiOpcode_ = extension->major_opcode;
    }
    x_.addListener([this](const xcb_generic_event_t& event) { handle(event); });
}

X11EventMonitors::~X11EventMonitors() {
    if (holdDeadline_) actor_.cancel(holdDeadline_);
    if (warpWatch_) warpWatch_->invalidate();
    if (selected_ && !x_.broken()) selectRawEvents(false);
}

std::optional<MonitorToken> X11EventMonitors::addGlobalMonitor(EventMask mask,
                                                               std::function<void(const Event&)> handler) {
    if (!available()) return std::nullopt;
    const MonitorToken token = monitors_.addGlobal(mask, std::move(handler));
    if (!selected_) selectRawEvents(true);
    return token;
}

std::optional<MonitorToken> X11EventMonitors::addLocalMonitor(
    EventMask mask, std::function<std::optional<Event>(const Event&)> handler) {
    return monitors_.addLocal(mask, std::move(handler));
}

void X11EventMonitors::removeMonitor(MonitorToken token) {
    monitors_.remove(token);
    // Raw motion flows all the time; nobody listening, nobody woken.
    if (selected_ && !monitors_.anyGlobal()) selectRawEvents(false);
}

void X11EventMonitors::selectRawEvents(bool on) {
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{};
    mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    mask.head.mask_len = 1;
    mask.bits = on ? XCB_INPUT_XI_EVENT_MASK_RAW_MOTION | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                         XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                         XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE
                   : 0;
    // Checked, so that input after this call is heard.
    x_.check(xcb_input_xi_select_events_checked(x_.raw(), x_.root(), 1, &mask.head));
    selected_ = on;
    pointer_.follow(on);
}

std::uint64_t X11EventMonitors::modifierFlags() {
    const auto p = pointer_.state();
    return p ? flagsOfState(p->mask) : 0;
}

std::uint32_t X11EventMonitors::pressedMouseButtons() {
    const auto p = pointer_.state();
    return p ? buttonsOfState(p->mask) : 0;
}

void X11EventMonitors::handle(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7F;
    // The active window changed: a held press may go on.
    if (holdFor_ && model_.activeWindow() == holdFor_) releaseHeld();
    if (type != XCB_GE_GENERIC || !selected_) return;
    const auto& ge = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
    if (ge.extension != xiOpcode_) return;
    // Raw button and key events share one layout; detail is the button or key code.
    const auto& raw = reinterpret_cast<const xcb_input_raw_button_press_event_t&>(event);
    // The pointer or the keys changed: what the server said before is old.
    pointer_.inputAfter(event.full_sequence);
    handleRaw(ge.event_type, raw.detail);
}

void X11EventMonitors::handleRaw(std::uint16_t type, std::uint32_t detail) {
    if (type == XCB_INPUT_RAW_MOTION) {
        // Where it went is asked now and read when the motion is delivered.
        pointer_.askAhead();
        // A burst of motion is answered once, after the events queued with it.
        if (motionPending_) return;
        motionPending_ = true;
        actor_.post([weak = std::weak_ptr(self_)] {
            if (const auto self = weak.lock()) (*self)->deliverMotion();
        });
        return;
    }
    const auto pointer = pointer_.state();
    // Motion before a press, release or key is heard before it, with the button as it
    // was; so is a move no device made (a warp), which sends no raw event at all.
    if (motionPending_ || (pointer && movedUnheard(*pointer))) {
        const bool button = type == XCB_INPUT_RAW_BUTTON_PRESS || type == XCB_INPUT_RAW_BUTTON_RELEASE;
        const std::uint16_t bit =
            button && detail >= 1 && detail <= 5 ? std::uint16_t(XCB_BUTTON_MASK_1 << (detail - 1)) : 0;
        deliverMotion(type == XCB_INPUT_RAW_BUTTON_PRESS ? bit : 0, type == XCB_INPUT_RAW_BUTTON_RELEASE ? bit : 0);
    }
    if (!pointer) return;
    heardAt_ = *pointer;
    if (type == XCB_INPUT_RAW_BUTTON_PRESS) followWarps();
    if (type == XCB_INPUT_RAW_BUTTON_PRESS || type == XCB_INPUT_RAW_BUTTON_RELEASE) {
        const bool press = type == XCB_INPUT_RAW_BUTTON_PRESS;
        EventType eventType;
        if (detail == 1) {
            eventType = press ? EventType::leftMouseDown : EventType::leftMouseUp;
        } else if (detail == 3) {
            eventType = press ? EventType::rightMouseDown : EventType::rightMouseUp;
        } else {
            return;  // middle button and wheel
        }
        if (pointerOnOwnWindow(*pointer)) return;
        if (press && detail == 1 && !holdFor_) {
            const X11Client* pressed = clientAt(pointer->x, pointer->y);
            if (pressed && pressed->isArrangeable() && model_.activeWindow() != pressed->id)
                holdUntilActive(pressed->id);
        }
        deliver(eventAt(eventType, *pointer));
        return;
    }
    if (type != XCB_INPUT_RAW_KEY_PRESS && type != XCB_INPUT_RAW_KEY_RELEASE) return;
    if (keyboardWithOwnWindow()) return;
    const bool press = type == XCB_INPUT_RAW_KEY_PRESS;
    const xcb_keysym_t keysym = keys_.keysymOf(static_cast<xcb_keycode_t>(detail));
    const KeyName* key = keyName(keysym);
    Event e = eventAt(press ? EventType::keyDown : EventType::keyUp, *pointer);
    if (key) {
        e.keyCode = key->keyCode;
    } else if (const auto code = X11KeyTable::keyCode(keysym)) {
        e.keyCode = static_cast<std::uint16_t>(*code);
    }
    if (key && key->modifier) {
        // The server may not have applied this key to its state yet when it answers.
        e.type = EventType::flagsChanged;
        e.modifierFlags = press ? e.modifierFlags | key->modifier : e.modifierFlags & ~key->modifier;
    }
    deliver(e);
}

void X11EventMonitors::deliver(const Event& event) {
    if (holdFor_) {
        held_.push_back(event);
        return;
    }
    monitors_.deliverGlobal(event);
}

void X11EventMonitors::holdUntilActive(xcb_window_t window) {
    holdFor_ = window;
    holdDeadline_ = actor_.schedule(pressAnswerSeconds, [weak = std::weak_ptr(self_)] {
        if (const auto self = weak.lock()) {
            (*self)->holdDeadline_ = 0;
            (*self)->releaseHeld();
        }
    });
}

void X11EventMonitors::releaseHeld() {
    if (holdDeadline_) actor_.cancel(holdDeadline_);
    holdDeadline_ = 0;
    holdFor_.reset();
    // A handler may add or remove monitors; the events go out in the order they came.
    const std::vector<Event> events = std::move(held_);
    held_.clear();
    for (const Event& e : events) monitors_.deliverGlobal(e);
}

bool X11EventMonitors::movedUnheard(const Pointer& now) const {
    return heardAt_ && (now.x != heardAt_->x || now.y != heardAt_->y);
}

void X11EventMonitors::followWarps() {
    if (warpWatch_) return;
    warpWatch_ = actor_.scheduleRepeating(warpWatchInterval, [weak = std::weak_ptr(self_)] {
        const auto self = weak.lock();
        if (!self) return;
        X11EventMonitors& m = **self;
        const auto pointer = m.selected_ ? m.pointer_.state() : std::nullopt;
        if (!pointer || !(pointer->mask & X11Pointer::anyButton)) {
            m.warpWatch_->invalidate();
            m.warpWatch_.reset();
        } else if (!m.motionPending_ && m.movedUnheard(*pointer)) {
            m.deliverMotion();
        }
    });
}

void X11EventMonitors::deliverMotion(std::uint16_t clearButtons, std::uint16_t setButtons) {
    motionPending_ = false;
    if (!selected_) return;
    auto pointer = pointer_.state();
    if (pointer) heardAt_ = *pointer;
    if (!pointer || pointerOnOwnWindow(*pointer)) return;
    pointer->mask = std::uint16_t((pointer->mask & ~clearButtons) | setButtons);
    const bool dragging = pointer->mask & XCB_BUTTON_MASK_1;
    deliver(eventAt(dragging ? EventType::leftMouseDragged : EventType::mouseMoved, *pointer));
}

Event X11EventMonitors::eventAt(EventType type, const Pointer& pointer) const {
    Event e;
    e.type = type;
    const double height = displays_.displayBounds(displays_.mainDisplayID()).height();
    e.location = Point{double(pointer.x), height - pointer.y};
    e.modifierFlags = flagsOfState(pointer.mask);
    return e;
}

bool X11EventMonitors::pointerOnOwnWindow(const Pointer& pointer) {
    if (pointer.child == XCB_NONE) return false;
    auto cached = ownWindows_.find(pointer.child);
    if (cached == ownWindows_.end()) {
        // Windows of ours without a frame (overlays, pop-ups) are made by this process;
        // a framed one is found below by its client.
        if (ownWindows_.size() > 512) ownWindows_.clear();
        cached = ownWindows_.emplace(pointer.child, model_.pidFromServer(pointer.child) == ownPid_).first;
    }
    if (cached->second) return true;
    const X11Client* c = clientAt(pointer.x, pointer.y);
    return c && c->pid == ownPid_;
}

const X11Client* X11EventMonitors::clientAt(std::int16_t x, std::int16_t y) {
    return shownClients_.at(Point{double(x), double(y)});
}

bool X11EventMonitors::keyboardWithOwnWindow() const {
    const auto active = model_.activeWindow();
    const X11Client* c = active ? model_.client(*active) : nullptr;
    return c && c->pid == ownPid_;
}

}  // namespace kestr
