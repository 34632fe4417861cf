// The window list of the X11 desktop, from the window model: client windows front to
// back, each with its owner, frame, title, layer and whether it shows.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "Platform/WindowServer.h"
#include "Platform/X11/X11TopmostWindow.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

class X11WindowServer : public WindowServer {
public:
    explicit X11WindowServer(X11WindowModel& model) : model_(model) {}
    std::optional<PlistArray> copyWindowList(std::uint32_t options, std::uint32_t relativeToWindow) override;
    std::optional<PlistDict> copyWindowInfo(std::uint32_t number, std::uint32_t options) override;
    std::optional<PlistDict> copyWindowAt(Point global, std::int64_t layer) override;
    void addChangeObserver(std::function<void()> observer) override { model_.addChangeObserver(std::move(observer)); }
    // The owning application's name.
    std::function<std::optional<std::string>(std::int32_t)> applicationName;

    static std::int64_t layerOf(const X11Client& client);

private:
    bool onScreen(const X11Client& client) const;
    PlistDict entryOf(const X11Client& client) const;

    X11WindowModel& model_;
    // The frontmost window on screen at a point, per level asked about.
    std::map<std::int64_t, X11TopmostWindow> topmost_;
};

}  // namespace kestr
