#include "Platform/X11/X11Workspace.h"

#include "Platform/MainActor.h"

namespace kestr {

namespace {
const std::string notAvailable = "not available on this desktop";
}

X11Workspace::X11Workspace(X11WindowModel& model, DesktopEntries& entries, MainActor& actor, std::int32_t ownPid)
    : model_(model), entries_(entries), actor_(actor), ownPid_(ownPid) {
    lastOwners_ = owners();
    model_.addClientListObserver([this] {
        const auto now = owners();
        if (now == lastOwners_) return;
        // A pid that comes back is another process: its identity is found again.
        for (auto it = identities_.begin(); it != identities_.end();) {
            it = now.count(it->first) ? std::next(it) : identities_.erase(it);
        }
        lastOwners_ = now;
        const auto observers = runningObservers_;
        for (const auto& observer : observers) observer();
    });
}

std::set<std::int32_t> X11Workspace::owners() const {
    std::set<std::int32_t> pids;
    for (xcb_window_t w : model_.stacking()) {
        const X11Client* c = model_.client(w);
        if (c && c->pid && *c->pid > 0) pids.insert(*c->pid);
    }
    return pids;
}

X11Workspace::Identity X11Workspace::identity(std::int32_t pid) {
    if (auto it = identities_.find(pid); it != identities_.end()) return it->second;
    Identity id;
    if (pid == ownPid_) {
        id.bundleID = ownBundleID;
        id.name = "kestr";
        return id;
    }
    // The class of the process's first window that a person arranges, else of any.
    const X11Client* sample = nullptr;
    for (xcb_window_t w : model_.stacking()) {
        const X11Client* c = model_.client(w);
        if (!c || c->pid != pid) continue;
        if (!sample || (!sample->isArrangeable() && c->isArrangeable())) sample = c;
    }
    // Another kestr process (a command-line run beside the application) is kestr too.
    if (sample && (sample->wmClass == "kestr" || sample->wmInstance == "kestr")) {
        id.bundleID = ownBundleID;
        id.name = "kestr";
        identities_.emplace(pid, id);
        return id;
    }
    const DesktopEntry* entry = nullptr;
    if (const auto launched = DesktopEntries::launchedDesktopFile(pid)) entry = entries_.byPath(*launched);
    if (!entry && sample) entry = entries_.forWindowClass(sample->wmClass, sample->wmInstance);
    if (entry) {
        id.bundleID = entry->id;
        id.name = entry->name.empty() ? std::optional<std::string>() : entry->name;
        id.location = entry->path;
    }
    if (sample && !id.bundleID && !sample->wmClass.empty()) id.bundleID = sample->wmClass;
    if (sample && !id.name && !sample->wmClass.empty()) id.name = sample->wmClass;
    // Not kept while the process has no window yet: its class is still to come.
    if (sample) identities_.emplace(pid, id);
    return id;
}

std::optional<std::string> X11Workspace::name(std::int32_t pid) { return identity(pid).name; }

RunningApplication X11Workspace::describe(std::int32_t pid) {
    const Identity id = identity(pid);
    RunningApplication app;
    app.processIdentifier = pid;
    app.bundleIdentifier = id.bundleID;
    app.localizedName = id.name;
    app.bundleURL = id.location;
    // Programs that show only docks, panels or desktops stay in the background.
    bool arranges = false;
    for (xcb_window_t w : model_.stacking()) {
        const X11Client* c = model_.client(w);
        if (c && c->pid == pid && c->isArrangeable()) arranges = true;
    }
    const bool kestr = id.bundleID == ownBundleID;
    app.activationPolicy = !kestr && arranges ? ActivationPolicy::regular : ActivationPolicy::accessory;
    return app;
}

std::vector<RunningApplication> X11Workspace::runningApplications() {
    std::vector<RunningApplication> out;
    for (std::int32_t pid : owners()) out.push_back(describe(pid));
    return out;
}

std::vector<RunningApplication> X11Workspace::runningApplications(const std::string& bundleID) {
    std::vector<RunningApplication> out;
    for (std::int32_t pid : owners()) {
        if (identity(pid).bundleID == bundleID) out.push_back(describe(pid));
    }
    return out;
}

std::optional<RunningApplication> X11Workspace::runningApplication(std::int32_t pid) {
    if (!owners().count(pid)) return std::nullopt;
    return describe(pid);
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() {
    const auto active = model_.activeWindow();
    const X11Client* c = active ? model_.client(*active) : nullptr;
    if (!c || !c->pid) return std::nullopt;
    return describe(*c->pid);
}

std::optional<std::string> X11Workspace::urlForApplication(const std::string& bundleID) {
    const DesktopEntry* entry = entries_.byID(bundleID);
    return entry ? std::optional<std::string>(entry->path) : std::nullopt;
}

void X11Workspace::openApplication(const std::string&, const OpenConfiguration&, OpenApplicationCompletion completion) {
    actor_.post([completion] { completion(std::nullopt, "launching applications is " + notAvailable); });
}

void X11Workspace::openURLs(const std::vector<std::string>&, const std::string&, const OpenConfiguration&,
                            std::function<void(std::optional<std::string>)> completion) {
    actor_.post([completion] { completion("opening URLs is " + notAvailable); });
}

bool X11Workspace::openURL(const std::string&) { return false; }
bool X11Workspace::unhide(std::int32_t) { return false; }
bool X11Workspace::terminate(std::int32_t) { return false; }
void X11Workspace::addDidBecomeActiveObserver(std::function<void()>) {}

void X11Workspace::addRunningApplicationsObserver(std::function<void()> observer) {
    runningObservers_.push_back(std::move(observer));
}

std::optional<EncodedImage> X11Workspace::iconForFile(const std::string&) { return std::nullopt; }
void X11Workspace::activateFileViewerSelecting(const std::vector<std::string>&) {}

}  // namespace kestr
