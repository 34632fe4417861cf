// Accessibility on X11: there is no permission to ask for, an application is a process
// and a window is a client window of the window manager. Reads answer from the window
// model; moves go to the window manager as EWMH requests and are awaited with
// settled().
#pragma once

#include <functional>
#include <map>

#include "Platform/Accessibility.h"
#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11MoveFence.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

class X11Accessibility : public Accessibility {
public:
    X11Accessibility(X11Connection& connection, X11WindowModel& model);

    bool isProcessTrusted() override { return true; }
    bool isProcessTrustedWithOptions(bool) override { return true; }
    AXElement createApplication(std::int32_t pid) override;
    AXElement createSystemWide() override { return AXElement{systemWideTag}; }
    AXError copyAttributeValue(AXElement element, const std::string& attribute, AXValue& value) override;
    AXError setAttributeValue(AXElement element, const std::string& attribute, const AXValue& value) override;
    std::optional<std::int32_t> pid(AXElement element) override;
    void setFrame(AXElement window, Point position, Size size, int passes) override;
    Task<void> settled(AXElement window, double deadline) override;
    Task<void> quiet(AXElement window, double quietPeriod, double deadline) override;
    // One round trip: the server has then handled every request before it, and the window
    // manager has the ones meant for it, even if kestr ends right after.
    void deliverWrites() override;

    // The window id an element names, when it is a window element; the window may have
    // closed, and its id gone to another since.
    static std::optional<xcb_window_t> windowOf(AXElement element);
    static AXElement windowElement(const X11Client& client) {
        return AXElement{windowTag | std::uint64_t(client.generation & generationMask) << 32 | client.id};
    }
    // The windows of a process as "AXWindows" lists them: front to back, on the current
    // desktop or on all desktops.
    std::vector<xcb_window_t> windowsOf(std::int32_t pid) const;

    // The application's name, for the application element's "AXTitle".
    std::function<std::optional<std::string>(std::int32_t)> applicationName;

    // How many of settled()'s waits for a change of a window's frame ran out of time (its
    // deadline, or a quiet period that saw no change), for tests. A move ends without one
    // when the frame asked for, or the window manager's answer, ends its wait; a change of
    // state always ends on one, since its changes are awaited until a quiet period passes.
    std::uint64_t timedOutWaits() const { return timedOutWaits_; }
    // How many fences went behind moves and changes of state, for tests and measurements.
    std::uint64_t fencesSent() const { return fence_.sent(); }

private:
    static constexpr std::uint64_t tagMask = 0xFFULL << 56;
    static constexpr std::uint64_t applicationTag = 1ULL << 56;
    static constexpr std::uint64_t windowTag = 2ULL << 56;
    static constexpr std::uint64_t systemWideTag = 3ULL << 56;
    static constexpr std::uint32_t generationMask = 0xFFFFFF;

    // The window an element names; none once it has closed.
    const X11Client* clientOf(AXElement element) const;

    AXError readApplication(std::int32_t pid, const std::string& attribute, AXValue& value);
    AXError readWindow(const X11Client& client, const std::string& attribute, AXValue& value);
    AXError writeWindow(const X11Client& client, const std::string& attribute, const AXValue& value);
    std::optional<xcb_window_t> focusedWindowOf(std::int32_t pid) const;
    void moveResize(const X11Client& client, std::optional<Point> position, std::optional<Size> size);
    void activate(xcb_window_t window);
    // Asks the window manager to add or remove window states.
    void askState(xcb_window_t window, std::uint32_t action, xcb_atom_t state, xcb_atom_t other = 0);

    struct Request {
        // None for a change of states, whose frame the window manager chooses.
        std::optional<Rect> frame;
        std::uint32_t sequence = 0;
        // Answered once the window manager is done with the request: sent right behind a
        // change of states, and behind a move that is not answered at once.
        X11MoveFence::Mark fence;
        // Whether the window manager's first answer is its answer to the move: not when the
        // window leaves a state first (maximised, full screen, minimised), which it answers
        // with configure events of its own.
        bool answerEndsWait = true;
        // The decorations the client's size was worked out with.
        X11Extents extents;
    };
    // Where the window manager put a window asked for `asked`, as its frame-change count.
    struct Answer {
        Rect asked;
        std::uint64_t frameChanges = 0;
    };
    Task<bool> waitForChange(xcb_window_t window, std::function<bool()> done, double seconds);
    Task<void> waitForAnswer(xcb_window_t window, Request request, double deadline);

    X11Connection& x_;
    X11WindowModel& model_;
    X11MoveFence fence_;
    // The frame last asked of each window, until settled() has waited for it.
    std::map<xcb_window_t, Request> requested_;
    // The last answer of each window that settled somewhere other than asked.
    std::map<xcb_window_t, Answer> answers_;
    std::uint64_t timedOutWaits_ = 0;
};

}  // namespace kestr
