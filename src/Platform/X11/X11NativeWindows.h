// Requests about kestr's own windows on X11: `_NET_WM_DESKTOP` and the sticky state for
// every desktop, the states that keep them off taskbars and pagers, the top-edge struts, and the SHAPE
// extension's input and bounding shapes. They go through the toolkit's connection the
// window names, not the backend's own: the toolkit creates the window, sets shapes of its
// own (an empty input shape for a window deaf to the mouse) and maps it on that
// connection, and only requests on one connection reach the server in the order they were
// made.
#pragma once

#include "Platform/NativeWindows.h"

namespace kestr {

class X11NativeWindows : public NativeWindows {
public:
    void showOnEveryDesktop(const NativeWindow& window) override;
    void keepOffTaskbars(const NativeWindow& window) override;
    void showAsPanel(const NativeWindow& window) override;
    void reserveTopEdge(const NativeWindow& window, const Rect& area) override;
    void setInputShape(const NativeWindow& window, const std::vector<Rect>& region) override;
    void setVisibleShape(const NativeWindow& window, const std::vector<Rect>& region) override;
};

}  // namespace kestr
