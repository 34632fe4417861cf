#include "Platform/X11/X11Workspace.h"

#include <signal.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Platform/Observers.h"
#include "Platform/Runtime/MainActor.h"
#include "Platform/X11/DesktopHandlers.h"
#include "Platform/X11/PngWriter.h"
#include "Platform/X11/ProcessInfo.h"

namespace kestr {

X11Workspace::X11Workspace(X11Connection& x, X11WindowModel& model, DesktopEntries& entries, MainActor& actor, Log& log,
                           std::int32_t ownPid, std::vector<std::string> dataFolders)
    : x_(x),
      model_(model),
      entries_(entries),
      actor_(actor),
      log_(log),
      ownPid_(ownPid),
      icons_(std::move(dataFolders)) {
    lastOwners_ = owners();
    model_.addClientListObserver([this] {
        const auto now = owners();
        if (now == lastOwners_) return;
        // A pid that comes back is another process: its identity is found again.
        for (auto it = identities_.begin(); it != identities_.end();) {
            it = now.count(it->first) ? std::next(it) : identities_.erase(it);
        }
        lastOwners_ = now;
        tellObservers(runningObservers_);
    });
}

std::set<std::int32_t> X11Workspace::owners() const {
    std::set<std::int32_t> pids;
    for (const auto& [pid, owner] : model_.owners().all()) pids.insert(pids.end(), pid);
    return pids;
}

void X11Workspace::noteLaunched(std::int32_t pid, const DesktopEntry& entry) {
    const auto started = ProcessInfo::startTime(pid);
    if (!started) return;  // it has ended already
    Launched& launched = launched_[pid];
    launched.startTime = *started;
    launched.identity.bundleID = entry.id;
    launched.identity.name = entry.name.empty() ? std::optional<std::string>() : entry.name;
    launched.identity.location = entry.path;
}

bool X11Workspace::stillRuns(std::int32_t pid, const Launched& launched) {
    return ProcessInfo::startTime(pid) == launched.startTime;
}

std::vector<std::int32_t> X11Workspace::runningPids() {
    std::vector<std::int32_t> pids;
    for (const auto& [pid, owner] : model_.owners().all()) pids.push_back(pid);
    for (auto it = launched_.begin(); it != launched_.end();) {
        const std::int32_t pid = it->first;
        if (model_.owners().find(pid)) {
            ++it;
        } else if (!stillRuns(pid, it->second)) {
            it = launched_.erase(it);
        } else {
            pids.push_back(pid);
            ++it;
        }
    }
    return pids;
}

const X11Workspace::Identity& X11Workspace::identity(std::int32_t pid) {
    if (auto it = identities_.find(pid); it != identities_.end()) return it->second;
    // Launched here and without a window yet: the desktop file it was started from.
    if (auto it = launched_.find(pid); it != launched_.end() && windowsOf(pid).empty()) return it->second.identity;
    Identity id;
    if (pid == ownPid_) {
        id.bundleID = ownBundleID;
        id.name = "kestr";
        return identities_.insert_or_assign(pid, id).first->second;
    }
    // The class of the process's first window that a person arranges, else of any.
    const X11Client* sample = nullptr;
    for (xcb_window_t w : windowsOf(pid)) {
        const X11Client* c = model_.client(w);
        if (!c) continue;
        if (!sample || (!sample->isArrangeable() && c->isArrangeable())) sample = c;
    }
    // Another kestr process (a command-line run beside the application) is kestr too.
    if (sample && (sample->wmClass == "kestr" || sample->wmInstance == "kestr")) {
        id.bundleID = ownBundleID;
        id.name = "kestr";
        return identities_.insert_or_assign(pid, id).first->second;
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
    if (!sample) return unkept_ = id;
    return identities_.insert_or_assign(pid, id).first->second;
}

std::optional<std::string> X11Workspace::name(std::int32_t pid) { return identity(pid).name; }

RunningApplication X11Workspace::describe(std::int32_t pid) {
    const Identity& id = identity(pid);
    RunningApplication app;
    app.processIdentifier = pid;
    app.bundleIdentifier = id.bundleID;
    app.localizedName = id.name;
    app.bundleURL = id.location;
    // Programs that show only docks, panels or desktops stay in the background.
    const X11Owners::Owner* owner = model_.owners().find(pid);
    const bool arranges = owner && owner->arranging > 0;
    const bool kestr = id.bundleID == ownBundleID;
    app.activationPolicy = !kestr && arranges ? ActivationPolicy::regular : ActivationPolicy::accessory;
    return app;
}

std::vector<RunningApplication> X11Workspace::runningApplications() {
    std::vector<RunningApplication> out;
    for (std::int32_t pid : runningPids()) out.push_back(describe(pid));
    return out;
}

std::vector<RunningApplication> X11Workspace::runningApplications(const std::string& bundleID) {
    std::vector<RunningApplication> out;
    for (std::int32_t pid : processIdentifiers(bundleID)) out.push_back(describe(pid));
    return out;
}

std::vector<std::int32_t> X11Workspace::processIdentifiers(const std::string& bundleID) {
    std::vector<std::int32_t> pids;
    for (std::int32_t pid : runningPids()) {
        if (identity(pid).bundleID == bundleID) pids.push_back(pid);
    }
    return pids;
}

std::optional<RunningApplication> X11Workspace::runningApplication(std::int32_t pid) {
    if (model_.owners().find(pid)) return describe(pid);
    const auto launched = launched_.find(pid);
    if (launched == launched_.end() || !stillRuns(pid, launched->second)) return std::nullopt;
    return describe(pid);
}

bool X11Workspace::standsForLaunch(std::int32_t pid, std::int32_t launched) {
    const auto it = launched_.find(launched);
    const bool runs =
        it != launched_.end() ? stillRuns(launched, it->second) : ProcessInfo::startTime(launched).has_value();
    return !runs || ProcessInfo::descendsFrom(pid, launched);
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

std::vector<xcb_window_t> X11Workspace::windowsOf(std::int32_t pid) const {
    const X11Owners::Owner* owner = model_.owners().find(pid);
    return owner ? owner->windows : std::vector<xcb_window_t>{};
}

bool X11Workspace::unhide(std::int32_t pid) {
    bool any = false;
    for (xcb_window_t w : windowsOf(pid)) {
        const X11Client* c = model_.client(w);
        if (!c || !c->hidden || !c->isArrangeable()) continue;
        // Activating a minimised window brings it back (source 2: a pager or tool).
        x_.sendRootMessage(w, x_.ewmh()._NET_ACTIVE_WINDOW, 2, XCB_CURRENT_TIME, 0);
        any = true;
    }
    x_.flush();
    return any || !windowsOf(pid).empty();
}

std::optional<std::string> X11Workspace::shellFolder(std::int32_t pid) {
    // Only where one window and one child process belong together, so the folder is
    // that window's.
    std::size_t windows = 0;
    for (xcb_window_t w : windowsOf(pid)) {
        const X11Client* c = model_.client(w);
        if (c && c->isArrangeable()) ++windows;
    }
    const auto children = ProcessInfo::children(pid);
    if (windows != 1 || children.size() != 1) return std::nullopt;
    return ProcessInfo::workingFolder(children.front());
}

void X11Workspace::sendDelete(xcb_window_t window) {
    x_.sendMessage(window, XCB_EVENT_MASK_NO_EVENT, window, x_.ewmh().WM_PROTOCOLS,
                   {x_.atom("WM_DELETE_WINDOW"), XCB_CURRENT_TIME, 0, 0, 0});
}

bool X11Workspace::terminate(std::int32_t pid) {
    if (pid <= 0 || pid == ownPid_ || !model_.owners().find(pid)) return false;
    const xcb_atom_t deleteWindow = x_.atom("WM_DELETE_WINDOW");
    std::set<xcb_window_t> asked;
    bool everyWindowAsked = true;
    for (xcb_window_t w : windowsOf(pid)) {
        const auto protocols = x_.cardinals(w, x_.ewmh().WM_PROTOCOLS);
        if (protocols && std::find(protocols->begin(), protocols->end(), deleteWindow) != protocols->end()) {
            sendDelete(w);
            asked.insert(w);
        } else if (windowExists(w)) {
            everyWindowAsked = false;
        }  // else it went away before its protocols could be read: nothing to ask, no reason to signal
    }
    x_.flush();
    if (!everyWindowAsked) return ::kill(pid, SIGTERM) == 0;
    termAfterWait(pid, std::move(asked));
    return true;
}

bool X11Workspace::windowExists(xcb_window_t window) {
    return x_.reply<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes_reply,
                                                       xcb_get_window_attributes(x_.raw(), window)) != nullptr;
}

void X11Workspace::termAfterWait(std::int32_t pid, std::set<xcb_window_t> asked) {
    const auto started = ProcessInfo::startTime(pid);
    actor_.schedule(terminateWait, [this, pid, started, asked] {
        // Another process may have the identifier by now.
        if (!started || ProcessInfo::startTime(pid) != started) return;
        // A window it opened since (a question about unsaved work) means it is answering:
        // the person decides, not a signal.
        for (xcb_window_t w : windowsOf(pid)) {
            if (!asked.count(w)) return;
        }
        ::kill(pid, SIGTERM);
    });
}

void X11Workspace::addDidBecomeActiveObserver(std::function<void()>) {}

void X11Workspace::addRunningApplicationsObserver(std::function<void()> observer) {
    runningObservers_.push_back(std::move(observer));
}

std::optional<EncodedImage> X11Workspace::iconForFile(const std::string& path) {
    std::optional<DesktopEntry> entry;
    if (const DesktopEntry* known = entries_.byPath(path))
        entry = *known;
    else
        entry = DesktopEntries::read(path);
    if (!entry) return std::nullopt;
    if (const auto file = icons_.find(entry->icon)) {
        std::ifstream in(*file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in && !bytes.empty()) return EncodedImage{std::move(bytes)};
    }
    return windowIcon(entry->id);
}

std::optional<EncodedImage> X11Workspace::windowIcon(const std::string& bundleID) {
    for (const auto& [pid, owner] : model_.owners().all()) {
        if (identity(pid).bundleID != bundleID) continue;
        for (xcb_window_t w : windowsOf(pid)) {
            // Width, height, then the pixels, for each size the window offers.
            auto r = x_.property(x_.requestProperty(w, x_.ewmh()._NET_WM_ICON, 1u << 22));
            if (!r || r->format != 32) continue;
            const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
            const std::size_t n = static_cast<std::size_t>(xcb_get_property_value_length(r.get())) / 4;
            std::size_t best = n;
            std::uint64_t bestArea = 0;
            for (std::size_t at = 0; at + 2 <= n;) {
                const std::uint64_t area = std::uint64_t{data[at]} * data[at + 1];
                if (area == 0 || at + 2 + area > n) break;
                if (area > bestArea) best = at, bestArea = area;
                at += 2 + area;
            }
            if (best == n) continue;
            const std::vector<std::uint32_t> pixels(data + best + 2, data + best + 2 + bestArea);
            return EncodedImage{PngWriter::encode(data[best], data[best + 1], pixels)};
        }
    }
    return std::nullopt;
}

void X11Workspace::activateFileViewerSelecting(const std::vector<std::string>& paths) {
    if (paths.empty() || DesktopHandlers::showItems(paths)) return;
    // No file manager on the bus: the folder that holds the first item, opened.
    const std::string folder = std::filesystem::path(paths.front()).parent_path().string();
    openURL(folder.empty() ? "/" : folder);
}

}  // namespace kestr
