// Requests about kestr's own windows on X11: `_NET_WM_DESKTOP` and the sticky state for
// every desktop, the states that keep them off taskbars and pagers, the top-edge struts, and the SHAPE
// extension's input and bounding shapes; and the room the docks' struts leave beside them.
// They go through the toolkit's connection the window names, not the backend's own: the
// toolkit creates the window, sets shapes of its own (an empty input shape for a window
// deaf to the mouse) and maps it on that connection, and only requests on one connection
// reach the server in the order they were made.
#pragma once

#include "Platform/NativeWindows.h"

namespace kestr {

class X11Displays;

class X11NativeWindows : public NativeWindows {
public:
    // `displays`: where the room beside the window is found; none: nowhere.
    explicit X11NativeWindows(const X11Displays* displays = nullptr) : displays_(displays) {}

    void showOnEveryDesktop(const NativeWindow& window) override;
    void keepOffTaskbars(const NativeWindow& window) override;
    void showAsPanel(const NativeWindow& window) override;
    void reserveTopEdge(const NativeWindow& window, const Rect& area) override;
    void setInputShape(const NativeWindow& window, const std::vector<Rect>& region) override;
    void setVisibleShape(const NativeWindow& window, const std::vector<Rect>& region) override;
    std::optional<Rect> roomBeside(const NativeWindow& window, DisplayID display) override;

private:
    const X11Displays* displays_;
};

}  // namespace kestr
