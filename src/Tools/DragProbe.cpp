#include "Tools/DragProbe.h"

#include <cmath>

#include "Core/WholeNumber.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/AXAttributes.h"
#include "Platform/MonitorHandler.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

std::string fmt(Point p) { return "(" + wholeNumberText(p.x) + "," + wholeNumberText(p.y) + ")"; }

double distance(Point a, Point b) { return std::fabs(a.x - b.x) + std::fabs(a.y - b.y); }

}  // namespace

DragProbe::DragProbe(Sink output) : output_(std::move(output)), self_(std::make_shared<DragProbe*>(this)) {}

DragProbe::~DragProbe() {
    for (MonitorToken token : monitors) platform().eventMonitors().removeMonitor(token);
}

void DragProbe::start() {
    if (!platform().accessibility().isProcessTrusted()) {
        output_("Accessibility NOT granted — global monitors won't fire. Grant it and retry.\n");
        return;
    }
    output_("DragProbe ready. Drag a few windows by their title bar. (Ctrl-C to stop.)\n");
    add(eventMask(EventType::leftMouseDown), &DragProbe::onDown);
    add(eventMask(EventType::leftMouseDragged), &DragProbe::onDragged);
    add(eventMask(EventType::leftMouseUp), &DragProbe::onUp);
}

void DragProbe::add(EventMask mask, void (DragProbe::*handler)()) {
    auto token = platform().eventMonitors().addGlobalMonitor(mask, globalMonitorHandler(std::weak_ptr(self_), handler));
    if (token) monitors.push_back(*token);
}

std::optional<AXElement> DragProbe::focusedWindow(AXElement application) {
    Accessibility& ax = platform().accessibility();
    for (const std::string& attribute : {ax::focusedWindow, ax::mainWindow}) {
        auto value = ax.copy(application, attribute);
        if (!value) continue;
        if (auto element = std::get_if<AXElement>(&*value)) return *element;
    }
    return std::nullopt;
}

void DragProbe::onDown() {
    const auto app = platform().workspace().frontmostApplication();
    if (!app) return;
    // Names and titles are the other program's: printed cleaned, so none drives the terminal.
    const std::string name = PrintableText::of(app->localizedName.value_or("?"));
    const auto window = focusedWindow(platform().accessibility().createApplication(app->processIdentifier));
    if (!window) {
        output_("DOWN  " + name + ": no focused window\n");
        return;
    }
    tracked = window;
    initial = WindowController::readPosition(*window).value_or(Point{});
    lastLogged = initial;
    title = PrintableText::of(WindowController::axString(*window, ax::title).value_or("(untitled)"));
    appName = name;
    output_("DOWN  app=" + appName + " win='" + title + "' pos=" + fmt(initial) + "\n");
}

void DragProbe::onDragged() {
    if (!tracked) return;
    const auto now = WindowController::readPosition(*tracked);
    if (!now || distance(*now, lastLogged) < 20) return;
    lastLogged = *now;
    const Point pointer = EdgeProximityTracker::axLocation(platform().displays().mouseLocation()).value_or(Point{});
    output_("DRAG  win='" + title + "' winPos=" + fmt(*now) + " cursorAX=" + fmt(pointer) + "\n");
}

void DragProbe::onUp() {
    if (!tracked) return;
    const Point final = WindowController::readPosition(*tracked).value_or(Point{});
    const double moved = distance(final, initial);
    output_("UP    win='" + title + "' finalPos=" + fmt(final) + " moved=" + wholeNumberText(moved) +
            (moved < 5 ? "  (click, not a drag)" : "") + "\n");
    tracked.reset();
}

}  // namespace kestr
