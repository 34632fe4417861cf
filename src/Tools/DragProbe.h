// Logs the window drags a person performs in other applications: where the window was
// at mouse down, where it goes while dragged (every 20 points or more), and where it
// ended.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Accessibility.h"
#include "Platform/EventMonitors.h"

namespace kestr {

class DragProbe {
public:
    // Where the probe's lines go, each with its line end.
    using Sink = std::function<void(const std::string& text)>;

    explicit DragProbe(Sink output);
    ~DragProbe();

    void start();

    std::vector<MonitorToken> monitors;
    std::optional<AXElement> tracked;
    Point initial;
    Point lastLogged;
    std::string title;
    std::string appName;

private:
    void onDown();
    void onDragged();
    void onUp();
    void add(EventMask mask, void (DragProbe::*handler)());
    std::optional<AXElement> focusedWindow(AXElement application);

    Sink output_;
    std::shared_ptr<DragProbe*> self_;
};

}  // namespace kestr
