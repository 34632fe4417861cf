// What kestr knows of one client window of the window manager, kept up to date from X
// events by X11WindowModel.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>

#include "Platform/Geometry.h"

namespace kestr {

enum class X11WindowType { normal, dialog, utility, dock, desktop, splash, toolbar, menu, notification, other };

struct X11Extents {
    double left = 0, right = 0, top = 0, bottom = 0;
    friend bool operator==(const X11Extents&, const X11Extents&) = default;
};

// Space a dock keeps for itself along a root edge (_NET_WM_STRUT_PARTIAL).
struct X11Strut {
    std::uint32_t left = 0, right = 0, top = 0, bottom = 0;
    std::uint32_t leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
    std::uint32_t topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;
    friend bool operator==(const X11Strut&, const X11Strut&) = default;
};

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;

struct X11Client {
    xcb_window_t id = 0;
    std::optional<std::int32_t> pid;
    // Where the client's own area lies on the root window, and what the frame adds.
    Rect clientArea;
    X11Extents extents;
    std::string title;
    std::string wmClass;
    std::string wmInstance;
    X11WindowType type = X11WindowType::normal;
    bool transient = false;
    bool hidden = false;
    bool fullScreen = false;
    bool maximized = false;  // in either direction: the window manager then holds its size
    bool maximizedAcross = false;
    bool maximizedUpDown = false;
    bool above = false;
    bool mapped = false;
    std::optional<std::uint32_t> desktop;
    std::optional<Size> minSize;
    std::optional<Size> sizeIncrement;
    std::optional<Size> baseSize;
    std::optional<X11Strut> strut;
    // Counts changes of the frame, so a waiter can tell that something happened.
    std::uint64_t frameChanges = 0;
    // When the frame last changed, on the main actor's clock.
    double frameChangedAt = 0;
    // Tells this window from an earlier one of the same id (the server hands a closed
    // window's id out again): element handles carry it, so what was kept for a window
    // that closed never reaches the next one.
    std::uint32_t generation = 0;
    // The sequence numbers of the window's last configure event and, at that moment, of its
    // frame's last one: they tell which requests the window manager has answered.
    std::uint32_t toldAt = 0;
    std::uint32_t frameToldAt = 0;

    // As the properties say; title and type follow from them (resolve()).
    std::optional<std::string> netTitle;
    std::string plainTitle;
    std::optional<X11WindowType> declaredType;
    // _NET_WM_PID is whatever the window says (a process of another user, of kestr, of
    // another host or namespace); the server's word on its local client wins over it.
    std::optional<std::int32_t> declaredPid;
    std::optional<std::int32_t> serverPid;
    bool otherMachine = false;  // WM_CLIENT_MACHINE names another host: its pid is none of ours
    void resolve() {
        pid = serverPid ? serverPid : otherMachine ? std::nullopt : declaredPid;
        title = netTitle ? *netTitle : plainTitle;
        // A window that names no type is a dialog when it belongs to another window.
        type = declaredType ? *declaredType : transient ? X11WindowType::dialog : X11WindowType::normal;
    }

    // The frame as the user sees it: the client's area with the decorations around it.
    Rect frame() const {
        return Rect(clientArea.x() - extents.left, clientArea.y() - extents.top,
                    clientArea.width() + extents.left + extents.right,
                    clientArea.height() + extents.top + extents.bottom);
    }
    // A desktop beyond the last one is no desktop: the window counts as on every one, and
    // every window counts as on a current desktop beyond the last.
    bool onDesktop(std::uint32_t current, std::uint32_t count) const {
        return !desktop || *desktop == allDesktops || *desktop >= count || *desktop == current || current >= count;
    }
    // Normal, dialog and utility windows are the ones a person arranges.
    bool isArrangeable() const {
        return type == X11WindowType::normal || type == X11WindowType::dialog || type == X11WindowType::utility;
    }
};

}  // namespace kestr
