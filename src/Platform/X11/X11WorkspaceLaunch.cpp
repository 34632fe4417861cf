// X11Workspace's launching: a desktop file's Exec line started without a shell (with the
// URLs the launch carries, where the line takes them), and the launch answered when a
// new window of the application appears that the process started shows, or a process
// it started that is known as the same application (single-instance programs hand the
// request to a process of their own and end: then a new window of that application
// tells its pid); a URL's default handler is launched the same way.
#include "Platform/Log.h"
#include "Platform/Runtime/MainActor.h"
#include "Platform/X11/DesktopExec.h"
#include "Platform/X11/DesktopHandlers.h"
#include "Platform/X11/X11Workspace.h"

namespace kestr {

std::variant<X11Workspace::Started, std::string> X11Workspace::start(const std::string& path,
                                                                     const std::vector<std::string>& arguments,
                                                                     const std::vector<std::string>& items) {
    std::optional<DesktopEntry> entry;
    if (const DesktopEntry* known = entries_.byPath(path))
        entry = *known;
    else
        entry = DesktopEntries::read(path);
    if (!entry) return "there is no application entry at " + path;
    if (entry->hidden) return "its desktop file " + path + " is hidden";
    auto commands = DesktopExec::commands(*entry, arguments, items);
    if (const auto* why = std::get_if<std::string>(&commands)) return *why;
    const auto& planned = std::get<DesktopExec::Commands>(commands);
    for (const std::string& why : planned.withheld) log_.line("kestr[launch]: " + why);
    std::optional<std::int32_t> first;
    for (const auto& command : planned.commands) {
        auto started = DesktopExec::start(command, *entry, x_.displayName(), homeFolder);
        if (const auto* why = std::get_if<std::string>(&started)) {
            if (!first) return *why;
            continue;  // the first process runs; the launch stands
        }
        if (!first) first = std::get<std::int32_t>(started);
    }
    noteLaunched(*first, *entry);
    return Started{*entry, *first};
}

void X11Workspace::openApplication(const std::string& applicationURL, const OpenConfiguration& configuration,
                                   OpenApplicationCompletion completion) {
    std::set<xcb_window_t> before(model_.stacking().begin(), model_.stacking().end());
    auto started = start(applicationURL, configuration.arguments, configuration.urls);
    if (const auto* why = std::get_if<std::string>(&started); why && !configuration.urls.empty()) {
        // An application that takes no URL starts without it, as opening it would leave it.
        auto plain = start(applicationURL, configuration.arguments, {});
        if (std::holds_alternative<Started>(plain)) {
            for (const std::string& url : configuration.urls)
                log_.line("kestr[launch]: started without \"" + url + "\": " + *why);
            started = std::move(plain);
        }
    }
    if (const auto* why = std::get_if<std::string>(&started)) {
        actor_.post([completion, why = *why] { completion(std::nullopt, why); });
        return;
    }
    spawn(awaitWindow(std::get<Started>(std::move(started)), std::move(before), std::move(completion)));
}

Task<void> X11Workspace::awaitWindow(Started started, std::set<xcb_window_t> before,
                                     OpenApplicationCompletion completion) {
    std::optional<std::int32_t> shown;
    const auto appeared = [&] {
        for (xcb_window_t w : model_.stacking()) {
            const X11Client* c = model_.client(w);
            if (before.count(w) || !c || !c->pid || !c->isArrangeable()) continue;
            // Another process's window of the same class is not the launch's.
            if (!standsForLaunch(*c->pid, started.pid)) continue;
            if (*c->pid == started.pid || identity(*c->pid).bundleID == started.entry.id) {
                shown = *c->pid;
                return true;
            }
        }
        return false;
    };
    co_await model_.waitFor(appeared, launchWindowWait);
    RunningApplication app;
    if (shown) {
        app = describe(*shown);
    } else {
        // No window yet: the process started stands for the application.
        app.processIdentifier = started.pid;
        app.bundleIdentifier = started.entry.id;
        if (!started.entry.name.empty()) app.localizedName = started.entry.name;
        app.bundleURL = started.entry.path;
    }
    completion(app, std::nullopt);
}

void X11Workspace::openURLs(const std::vector<std::string>& urls, const std::string& applicationURL,
                            const OpenConfiguration& configuration,
                            std::function<void(std::optional<std::string>)> completion) {
    auto started = start(applicationURL, configuration.arguments, urls);
    std::optional<std::string> error;
    if (const auto* why = std::get_if<std::string>(&started)) error = *why;
    if (completion) actor_.post([completion, error] { completion(error); });
}

// The default handler is launched from its desktop file like any other application.
bool X11Workspace::openURL(const std::string& url) {
    const auto handler = DesktopHandlers::defaultHandler(url);
    const auto* path = std::get_if<std::string>(&handler);
    return path && std::holds_alternative<Started>(start(*path, {}, {url}));
}

}  // namespace kestr
