#include "Platform/Sim/SimWorld.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "Platform/Observers.h"

namespace kestr {

SimWorld::SimWorld() { systemWide_ = newElement({SimElementKind::systemWide, 0, {}}); }

// ---- displays ----

const SimDisplay* SimWorld::display(DisplayID id) const {
    for (const auto& d : displays) {
        if (d.id && *d.id == id) return &d;
    }
    return nullptr;
}

DisplayID SimWorld::mainDisplayID() const {
    if (mainDisplayOverride && display(*mainDisplayOverride)) return *mainDisplayOverride;
    for (const auto& d : displays) {
        if (d.id && d.bounds.origin == Point{0, 0}) return *d.id;
    }
    for (const auto& d : displays) {
        if (d.id) return *d.id;
    }
    return 0;
}

double SimWorld::mainHeight() const {
    const SimDisplay* main = display(mainDisplayID());
    return main ? main->bounds.height() : 0;
}

const SimDisplay* SimWorld::displayContaining(Point global) const {
    for (const auto& d : displays) {
        if (d.bounds.contains(global)) return &d;
    }
    return nullptr;
}

// ---- applications and processes ----

SimApplication& SimWorld::install(SimApplication app) {
    if (auto* existing = application(app.bundleID)) {
        *existing = std::move(app);
        return *existing;
    }
    applicationIndex_.emplace(app.bundleID, applications_.size());
    applications_.push_back(std::move(app));
    return applications_.back();
}

SimApplication* SimWorld::application(const std::string& bundleID) {
    const auto it = applicationIndex_.find(bundleID);
    return it == applicationIndex_.end() ? nullptr : &applications_[it->second];
}

SimApplication* SimWorld::applicationAt(const std::string& path) {
    for (auto& a : applications_) {
        if (a.path == path) return &a;
    }
    return nullptr;
}

SimProcess& SimWorld::addProcess(SimProcess process) {
    constexpr std::int32_t highestPid = std::numeric_limits<std::int32_t>::max();
    if (process.pid == 0) {
        // Past the highest identifier numbering starts again from 1, skipping those in
        // use, as a system does.
        for (std::int64_t tried = 0; this->process(nextPid); ++tried) {
            if (tried == highestPid) throw std::logic_error("no simulated pid left");
            nextPid = nextPid == highestPid ? 1 : nextPid + 1;
        }
        process.pid = nextPid;
    }
    if (this->process(process.pid)) throw std::logic_error("simulated pid already in use");
    if (process.terminated && !process.windows.empty()) {
        throw std::logic_error("no running simulated process for a window");
    }
    if (process.pid >= nextPid) nextPid = process.pid == highestPid ? 1 : process.pid + 1;
    processIndex_.emplace(process.pid, processes_.size());
    processes_.push_back(std::move(process));
    SimProcess& added = processes_.back();
    applicationElement(added.pid);
    // Windows come in "AXWindows" order, the first frontmost, and go in front of all
    // others; numbered last first, as when each is added in front in turn. The first
    // one is focused and main.
    for (auto it = added.windows.rbegin(); it != added.windows.rend(); ++it) registerWindow(added, *it);
    std::vector<AXElement> elements;
    for (const auto& w : added.windows) elements.push_back(w.element);
    stacking_.insert(stacking_.begin(), elements.begin(), elements.end());
    if (!added.windows.empty()) {
        added.focusedWindow = added.mainWindow = added.windows.front().element;
        windowsChanged();
    }
    notifyRunningApplications();
    return added;
}

SimProcess& SimWorld::launch(const std::string& bundleID, std::vector<std::string> arguments) {
    const SimApplication* app = application(bundleID);
    if (!app) throw std::logic_error("simulated application not installed: " + bundleID);
    SimProcess process;
    process.bundleID = app->bundleID;
    process.name = app->name;
    process.bundleURL = app->path;
    process.policy = app->policy;
    process.arguments = std::move(arguments);
    return addProcess(std::move(process));
}

SimProcess* SimWorld::process(std::int32_t pid) {
    const auto it = processIndex_.find(pid);
    return it == processIndex_.end() ? nullptr : &processes_[it->second];
}

std::vector<SimProcess*> SimWorld::runningProcesses(const std::string& bundleID) {
    std::vector<SimProcess*> out;
    for (auto& p : processes_) {
        if (!p.terminated && p.bundleID == bundleID) out.push_back(&p);
    }
    return out;
}

void SimWorld::notifyRunningApplications() { tellObservers(runningApplicationsObservers); }

void SimWorld::windowsChanged() { tellObservers(windowsObservers); }

void SimWorld::terminate(std::int32_t pid) {
    SimProcess* p = process(pid);
    if (!p || p->terminated) return;
    while (!p->windows.empty()) closeWindow(p->windows.front().element);
    p->terminated = true;
    if (frontmostPid == pid) frontmostPid.reset();
    notifyRunningApplications();
}

// ---- windows ----

SimWindow& SimWorld::addWindow(std::int32_t pid, SimWindow window) {
    SimProcess* p = process(pid);
    if (!p || p->terminated) throw std::logic_error("no running simulated process for a window");
    registerWindow(*p, window);
    stacking_.push_front(window.element);
    p->windows.insert(p->windows.begin(), std::move(window));
    SimWindow& added = p->windows.front();
    p->focusedWindow = added.element;
    p->mainWindow = added.element;
    windowsChanged();
    return added;
}

void SimWorld::registerWindow(const SimProcess& process, SimWindow& window) {
    window.element = newElement({SimElementKind::window, process.pid, {}});
    elements_[window.element.handle].window = window.element;
    if (window.number == 0) window.number = nextWindowNumber_;
    nextWindowNumber_ = std::max(nextWindowNumber_, window.number + 1);
    registerChildren(window.children, process.pid, window.element);
    if (window.minimumSize == Size{} && process.bundleID) {
        if (const SimApplication* app = application(*process.bundleID)) window.minimumSize = app->minimumSize;
    }
}

SimWindow& SimWorld::openNewWindow(std::int32_t pid) {
    SimProcess* p = process(pid);
    if (!p) throw std::logic_error("no simulated process for a new window");
    SimWindow window;
    if (const SimApplication* app = p->bundleID ? application(*p->bundleID) : nullptr) {
        const double offset = 22.0 * static_cast<double>(p->windows.size());
        window.title = app->windowTitle;
        window.position = Point{app->windowFrame.x() + offset, app->windowFrame.y() + offset};
        window.minimumSize = app->minimumSize;
        window.sizeRule = app->sizeRule;
        window.size = app->sizeRule.apply(app->windowFrame.size, app->minimumSize);
    }
    window.space = currentSpace;
    return addWindow(pid, std::move(window));
}

void SimWorld::closeWindow(AXElement element) {
    SimProcess* p = owner(element);
    if (!p) return;
    auto it =
        std::find_if(p->windows.begin(), p->windows.end(), [&](const SimWindow& w) { return w.element == element; });
    forgetChildren(it->children);
    p->windows.erase(it);
    elements_.erase(element.handle);
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), element), stacking_.end());
    const AXElement next = p->windows.empty() ? AXElement{} : p->windows.front().element;
    if (p->focusedWindow == element) p->focusedWindow = next;
    if (p->mainWindow == element) p->mainWindow = next;
    windowsChanged();
}

SimWindow* SimWorld::window(AXElement element) {
    SimProcess* p = owner(element);
    return p ? p->window(element) : nullptr;
}

SimProcess* SimWorld::owner(AXElement window) {
    auto info = lookup(window);
    if (!info || info->kind != SimElementKind::window) return nullptr;
    return process(info->pid);
}

bool SimWorld::isOnScreen(const SimWindow& window, const SimProcess& owner) const {
    return !owner.terminated && !owner.hidden && window.onScreen && !window.minimized && window.space == currentSpace;
}

void SimWorld::setFullScreen(SimWindow& window, bool fullScreen) {
    if (window.fullScreen == fullScreen) return;
    if (fullScreen) {
        const Point centre{window.frame().midX(), window.frame().midY()};
        const SimDisplay* d = displayContaining(centre);
        if (!d) d = displayContaining(window.position);
        if (!d) d = display(mainDisplayID());
        window.frameBeforeFullScreen = window.frame();
        if (d) {
            window.position = d->bounds.origin;
            window.size = d->bounds.size;
        }
    } else if (window.frameBeforeFullScreen) {
        window.position = window.frameBeforeFullScreen->origin;
        window.size = window.frameBeforeFullScreen->size;
        window.frameBeforeFullScreen.reset();
    }
    window.fullScreen = fullScreen;
    windowsChanged();
}

void SimWorld::resize(SimWindow& window, Size requested) {
    window.size = window.sizeRule.apply(requested, window.minimumSize);
    windowsChanged();
}

// ---- elements ----

AXElement SimWorld::applicationElement(std::int32_t pid) {
    auto it = applicationElements_.find(pid);
    if (it != applicationElements_.end()) return it->second;
    const AXElement element = newElement({SimElementKind::application, pid, {}});
    applicationElements_.emplace(pid, element);
    return element;
}

std::optional<SimWorld::ElementInfo> SimWorld::lookup(AXElement element) const {
    auto it = elements_.find(element.handle);
    if (it == elements_.end()) return std::nullopt;
    return it->second;
}

namespace {

SimElement* findChild(std::vector<SimElement>& children, AXElement element) {
    for (auto& c : children) {
        if (c.element == element) return &c;
        if (SimElement* found = findChild(c.children, element)) return found;
    }
    return nullptr;
}

}  // namespace

SimElement* SimWorld::child(AXElement element) {
    auto info = lookup(element);
    if (!info || info->kind != SimElementKind::other) return nullptr;
    SimWindow* w = window(info->window);
    return w ? findChild(w->children, element) : nullptr;
}

AXElement SimWorld::newElement(ElementInfo info) {
    const AXElement element{nextHandle_++};
    elements_.emplace(element.handle, info);
    return element;
}

void SimWorld::registerChildren(std::vector<SimElement>& children, std::int32_t pid, AXElement window) {
    for (auto& c : children) {
        c.element = newElement({SimElementKind::other, pid, window});
        registerChildren(c.children, pid, window);
    }
}

void SimWorld::forgetChildren(const std::vector<SimElement>& children) {
    for (const auto& c : children) {
        elements_.erase(c.element.handle);
        forgetChildren(c.children);
    }
}

}  // namespace kestr
