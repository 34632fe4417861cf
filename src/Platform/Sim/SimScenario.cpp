#include "Platform/Sim/SimScenario.h"

#include <map>

#include "Platform/Json/PlistJson.h"
#include "Platform/Sim/ScenarioNames.h"
#include "Platform/Sim/SimDesktop.h"

namespace kestr {

using nlohmann::json;

namespace {

// ---- writing ----

json pair(double a, double b) { return json::array({a, b}); }
json toJson(Point p) { return pair(p.x, p.y); }
json toJson(Size s) { return pair(s.width, s.height); }
json toJson(const Rect& r) { return json::array({r.x(), r.y(), r.width(), r.height()}); }

template <class T>
json optional(const std::optional<T>& value) {
    return value ? toJson(*value) : json(nullptr);
}
json optional(const std::optional<std::string>& value) { return value ? json(*value) : json(nullptr); }
json optional(const std::optional<double>& value) { return value ? json(*value) : json(nullptr); }

json toJson(const SizeRule& rule) {
    json out{{"padding", toJson(rule.padding)}};
    if (rule.cell) out["cell"] = toJson(*rule.cell);
    return out;
}

json toJson(const SimElement& e) {
    json children = json::array();
    for (const auto& c : e.children) children.push_back(toJson(c));
    json out{{"role", e.role},
             {"position", toJson(e.position)},
             {"size", toJson(e.size)},
             {"children", std::move(children)}};
    if (e.subrole) out["subrole"] = *e.subrole;
    if (e.title) out["title"] = *e.title;
    return out;
}

json toJson(const SimWindow& w) {
    json children = json::array();
    for (const auto& c : w.children) children.push_back(toJson(c));
    return json{{"number", w.number},
                {"title", w.title},
                {"role", w.role},
                {"subrole", optional(w.subrole)},
                {"position", toJson(w.position)},
                {"size", toJson(w.size)},
                {"minimumSize", toJson(w.minimumSize)},
                {"sizeRule", toJson(w.sizeRule)},
                {"reportsSizeHints", w.reportsSizeHints},
                {"minimized", w.minimized},
                {"fullScreen", w.fullScreen},
                {"frameBeforeFullScreen", optional(w.frameBeforeFullScreen)},
                {"space", w.space},
                {"onScreen", w.onScreen},
                {"layer", w.layer},
                {"unreadable", w.unreadable},
                {"children", std::move(children)}};
}

json toJson(const SimDisplay& d) {
    json out{
        {"bounds", toJson(d.bounds)},
        {"insets",
         {{"top", d.insets.top}, {"left", d.insets.left}, {"bottom", d.insets.bottom}, {"right", d.insets.right}}}};
    if (d.id) out["id"] = *d.id;
    if (d.uuid) out["uuid"] = *d.uuid;
    if (d.safeAreaTop != 0) out["safeAreaTop"] = d.safeAreaTop;
    return out;
}

json toJson(const SimApplication& a) {
    json out{{"bundleID", a.bundleID},
             {"name", a.name},
             {"path", a.path},
             {"policy", scenario::nameOf(scenario::policies, a.policy)},
             {"launchDelay", a.launchDelay},
             {"firstWindowDelay", optional(a.firstWindowDelay)},
             {"reopenDelay", optional(a.reopenDelay)},
             {"windowTitle", a.windowTitle},
             {"windowFrame", toJson(a.windowFrame)},
             {"minimumSize", toJson(a.minimumSize)},
             {"sizeRule", toJson(a.sizeRule)}};
    if (a.launchError) out["launchError"] = *a.launchError;
    if (a.iconFile) out["iconFile"] = *a.iconFile;
    return out;
}

json windowNumber(const SimProcess& p, AXElement element) {
    for (const auto& w : p.windows) {
        if (w.element == element) return w.number;
    }
    return nullptr;
}

json toJson(const SimProcess& p) {
    json windows = json::array();
    for (const auto& w : p.windows) windows.push_back(toJson(w));
    auto flag = [](const std::optional<bool>& f) { return f ? json(*f) : json(nullptr); };
    return json{{"pid", p.pid},
                {"bundleID", optional(p.bundleID)},
                {"name", optional(p.name)},
                {"path", optional(p.bundleURL)},
                {"policy", scenario::nameOf(scenario::policies, p.policy)},
                {"hidden", p.hidden},
                {"terminated", p.terminated},
                {"responds", p.responds},
                {"enhancedUserInterface", flag(p.enhancedUserInterface)},
                {"manualAccessibility", flag(p.manualAccessibility)},
                {"onTerminate", scenario::nameOf(scenario::terminateBehaviors, p.onTerminate)},
                {"arguments", p.arguments},
                {"focusedWindow", windowNumber(p, p.focusedWindow)},
                {"mainWindow", windowNumber(p, p.mainWindow)},
                {"windows", std::move(windows)}};
}

json toJson(const SimDefaultsDomain& domain) { return plistToJson(PlistValue(domain.values)); }

}  // namespace

json SimScenario::write(const SimDesktop& desktop) {
    const SimWorld& world = desktop.world();
    json displays = json::array();
    for (const auto& d : world.displays) displays.push_back(toJson(d));
    json applications = json::array();
    for (const auto& a : world.applications()) applications.push_back(toJson(a));
    json processes = json::array();
    std::map<std::uint64_t, std::int64_t> numbers;
    for (const auto& p : world.processes()) {
        processes.push_back(toJson(p));
        for (const auto& w : p.windows) numbers[w.element.handle] = w.number;
    }
    json stacking = json::array();
    for (const AXElement e : world.stacking()) stacking.push_back(numbers.at(e.handle));
    const SimDefaults& defaults = desktop.simDefaults();
    json suites = json::object();
    for (const auto& [name, domain] : defaults.suiteDomains()) suites[name] = toJson(*domain);
    json out{{"version", version},
             {"displays", std::move(displays)},
             {"pointer", toJson(world.pointer)},
             {"trusted", world.trusted},
             {"currentSpace", world.currentSpace},
             {"nextPid", world.nextPid},
             {"applications", std::move(applications)},
             {"processes", std::move(processes)},
             {"stacking", std::move(stacking)},
             {"defaults",
              {{"standard", toJson(defaults.standardDomain())},
               {"suites", std::move(suites)},
               {"unavailableSuites", defaults.unavailableSuites()}}}};
    if (world.mainDisplayOverride) out["mainDisplay"] = *world.mainDisplayOverride;
    if (world.keyScreen) out["keyScreen"] = *world.keyScreen;
    if (world.frontmostPid) out["frontmost"] = *world.frontmostPid;
    const SimAppearance& appearance = desktop.simAppearance();
    if (appearance.dark != SimAppearance{}.dark || appearance.accent != SimAppearance{}.accent) {
        out["appearance"] = {
            {"dark", appearance.dark},
            {"accent",
             {{"red", appearance.accent.red}, {"green", appearance.accent.green}, {"blue", appearance.accent.blue}}}};
    }
    return out;
}

}  // namespace kestr
