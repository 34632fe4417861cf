// The pointer as the server last told it: its root position, the buttons and modifier
// keys held, and the top-level window under it. While raw input events are followed,
// every movement, click and key is heard, so an answer stays true until input that
// came after it arrives (or a short while has passed): the pointer is asked again only
// then. A move no device made, such as another program's warp, sends no input event at
// all, so whoever needs the position itself asks again for each piece of work. Without
// raw input, and while a button is held, it is asked every time.
//
// Input can ask ahead: the question goes out as the event is read and its answer is
// collected when someone needs it, by which time the server has usually sent it, so
// the program does not stop to wait for it.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>

#include "Platform/Runtime/MainActor.h"
#include "Platform/X11/X11Connection.h"

namespace kestr {

class X11Pointer {
public:
    struct State {
        std::int16_t x = 0, y = 0;
        std::uint16_t mask = 0;  // buttons and modifiers
        xcb_window_t child = XCB_NONE;
    };
    // The buttons in a state's mask.
    static constexpr std::uint16_t anyButton =
        XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3 | XCB_BUTTON_MASK_4 | XCB_BUTTON_MASK_5;

    // Longest a known state answers without a query, while raw input is followed.
    static constexpr double longestKept = 0.5;
    // A state this young answers without looking for unread input first: input that came
    // after it is heard as its own event, and whoever follows the pointer reads it again
    // then. The reads of one piece of work (a motion's place, then its modifiers) so cost
    // nothing.
    static constexpr double freshFor = 0.002;

    X11Pointer(X11Connection& connection, MainActor& actor) : x_(connection), actor_(actor) {}
    ~X11Pointer();
    X11Pointer(const X11Pointer&) = delete;
    X11Pointer& operator=(const X11Pointer&) = delete;

    // None when the server does not answer.
    std::optional<State> state();
    // The state with a position no older than this piece of work: another program's warp
    // moves the pointer without any input event, so a kept position may be stale where
    // the buttons and modifiers it came with are not.
    std::optional<State> position();
    // Input the server sent after handling request `sequence` (an event's full sequence
    // number): what it answered before that is old.
    void inputAfter(std::uint32_t sequence);
    // Anything known is old (after a warp, say).
    void forget();
    // Asks now, unless a question is already out; state() collects the answer.
    void askAhead();
    // Whether raw input reaches us, so a state can be kept until input says otherwise.
    void follow(bool on);

private:
    bool knownIsCurrent(double longest) const;
    std::optional<State> state(double longest);
    void dropQuestion();

    X11Connection& x_;
    MainActor& actor_;
    bool following_ = false;
    std::optional<State> known_;
    double knownAt_ = 0;
    // The request that answered `known_`.
    std::uint32_t knownSequence_ = 0;
    // Replies read since may have brought input events along with them.
    std::uint64_t knownRoundTrips_ = 0;
    std::optional<xcb_query_pointer_cookie_t> asked_;
};

}  // namespace kestr
