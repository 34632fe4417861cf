// Reading a scenario into a fresh desktop (see SimScenario.h).
#include <limits>
#include <map>

#include "Platform/Json/PlistJson.h"
#include "Platform/Sim/ScenarioNames.h"
#include "Platform/Sim/ScenarioReader.h"
#include "Platform/Sim/SimDesktop.h"
#include "Platform/Sim/SimScenario.h"
#include "Platform/Sim/UuidText.h"

namespace kestr {

using nlohmann::json;

namespace {

template <class Table>
auto readName(ScenarioReader& r, const std::string& key, const Table& table, const std::string& fallback) {
    const auto value = scenario::valueOf(table, r.text(key, fallback));
    if (!value) r.fail(key, "expected " + scenario::choices(table));
    return *value;
}

std::int32_t readInt32(ScenarioReader& r, const std::string& key, std::optional<std::int64_t> fallback = {}) {
    const std::int64_t v = r.integer(key, fallback);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        r.fail(key, "number out of range");
    }
    return static_cast<std::int32_t>(v);
}

// Absent: the fallback; null: none; otherwise what `read` gives.
template <class T, class Read>
std::optional<T> nullable(ScenarioReader& r, const std::string& key, std::optional<T> fallback, Read read) {
    if (!r.has(key)) return fallback;
    if (r.isNull(key)) {
        r.raw(key);
        return std::nullopt;
    }
    return read();
}

std::optional<double> readDelay(ScenarioReader& r, const std::string& key, std::optional<double> fallback) {
    return nullable<double>(r, key, fallback, [&] {
        const double v = r.number(key);
        if (!(v >= 0)) r.fail(key, "expected a delay of 0 or more seconds");
        return v;
    });
}

std::optional<std::string> readOptionalText(ScenarioReader& r, const std::string& key,
                                            std::optional<std::string> fallback = std::nullopt) {
    return nullable<std::string>(r, key, std::move(fallback), [&] { return r.text(key); });
}

std::optional<bool> readOptionalFlag(ScenarioReader& r, const std::string& key, std::optional<bool> fallback) {
    return nullable<bool>(r, key, fallback, [&] { return r.boolean(key); });
}

SizeRule readSizeRule(ScenarioReader& parent, const std::string& key) {
    SizeRule rule;
    if (!parent.has(key)) return rule;
    ScenarioReader r = parent.object(key);
    if (r.has("cell")) {
        rule.cell = r.size("cell");
        if (!(rule.cell->width > 0 && rule.cell->height > 0)) r.fail("cell", "expected a positive cell size");
    }
    rule.padding = r.size("padding", Size{});
    r.finish();
    return rule;
}

SimElement readElement(const json& value, const ScenarioPath& path) {
    ScenarioReader r(value, path);
    SimElement e;
    e.role = r.text("role");
    e.subrole = readOptionalText(r, "subrole");
    e.title = readOptionalText(r, "title");
    e.position = r.point("position", Point{});
    e.size = r.size("size", Size{});
    for (const auto& [child, childPath] : r.array("children")) e.children.push_back(readElement(*child, childPath));
    r.finish();
    return e;
}

SimWindow readWindow(const json& value, const ScenarioPath& path) {
    ScenarioReader r(value, path);
    SimWindow w;
    w.number = r.integer("number", 0);
    if (w.number < 0) r.fail("number", "expected a window number above 0");
    w.title = r.text("title", "");
    w.role = r.text("role", w.role);
    w.subrole = readOptionalText(r, "subrole", w.subrole);
    w.position = r.point("position");
    w.size = r.size("size");
    w.minimumSize = r.size("minimumSize", Size{});
    w.sizeRule = readSizeRule(r, "sizeRule");
    w.reportsSizeHints = r.boolean("reportsSizeHints", false);
    w.minimized = r.boolean("minimized", false);
    w.fullScreen = r.boolean("fullScreen", false);
    if (!r.absent("frameBeforeFullScreen")) w.frameBeforeFullScreen = r.rect("frameBeforeFullScreen");
    w.space = readInt32(r, "space", 1);
    w.onScreen = r.boolean("onScreen", true);
    w.layer = readInt32(r, "layer", 0);
    for (auto& attribute : r.texts("unreadable")) w.unreadable.insert(std::move(attribute));
    for (const auto& [child, childPath] : r.array("children")) w.children.push_back(readElement(*child, childPath));
    r.finish();
    return w;
}

SimDisplay readDisplay(const json& value, const ScenarioPath& path) {
    ScenarioReader r(value, path);
    SimDisplay d;
    if (r.has("id")) {
        const std::int64_t id = r.integer("id");
        if (id < 1 || id > std::numeric_limits<DisplayID>::max()) r.fail("id", "expected a display identifier above 0");
        d.id = static_cast<DisplayID>(id);
    }
    if (r.has("uuid")) {
        d.uuid = canonicalUuid(r.text("uuid"));
        if (!d.uuid) r.fail("uuid", "expected an 8-4-4-4-12 hexadecimal UUID");
    }
    d.bounds = r.rect("bounds");
    if (r.has("insets")) {
        ScenarioReader in = r.object("insets");
        d.insets = Insets{in.number("top", 0), in.number("left", 0), in.number("bottom", 0), in.number("right", 0)};
        in.finish();
    }
    d.safeAreaTop = r.number("safeAreaTop", 0);
    r.finish();
    return d;
}

SimApplication readApplication(const json& value, const ScenarioPath& path) {
    ScenarioReader r(value, path);
    SimApplication a;
    a.bundleID = r.text("bundleID");
    a.name = r.text("name");
    a.path = r.text("path", "/Applications/" + a.name + ".app");
    a.policy = readName(r, "policy", scenario::policies, "regular");
    a.launchDelay = readDelay(r, "launchDelay", a.launchDelay).value_or(a.launchDelay);
    a.firstWindowDelay = readDelay(r, "firstWindowDelay", a.firstWindowDelay);
    a.reopenDelay = readDelay(r, "reopenDelay", a.reopenDelay);
    a.launchError = readOptionalText(r, "launchError");
    a.iconFile = readOptionalText(r, "iconFile");
    a.windowTitle = r.text("windowTitle", a.name);
    a.windowFrame = r.rect("windowFrame", Rect(100, 100, 800, 600));
    a.minimumSize = r.size("minimumSize", Size{});
    a.sizeRule = readSizeRule(r, "sizeRule");
    r.finish();
    return a;
}

// Reads a process; its focused and main windows are given back by number.
SimProcess readProcess(const json& value, const ScenarioPath& path, SimWorld& world,
                       std::optional<std::int64_t>& focused, std::optional<std::int64_t>& main) {
    ScenarioReader r(value, path);
    SimProcess p;
    p.pid = readInt32(r, "pid");
    if (p.pid < 1) r.fail("pid", "expected a process identifier above 0");
    if (world.process(p.pid)) r.fail("pid", "process identifier used twice");
    p.bundleID = readOptionalText(r, "bundleID");
    const SimApplication* app = p.bundleID ? world.application(*p.bundleID) : nullptr;
    p.name = readOptionalText(r, "name", app ? std::optional<std::string>(app->name) : std::nullopt);
    p.bundleURL = readOptionalText(r, "path", app ? std::optional<std::string>(app->path) : std::nullopt);
    p.policy = readName(r, "policy", scenario::policies, "regular");
    p.hidden = r.boolean("hidden", false);
    p.terminated = r.boolean("terminated", false);
    p.responds = r.boolean("responds", true);
    p.enhancedUserInterface = readOptionalFlag(r, "enhancedUserInterface", p.enhancedUserInterface);
    p.manualAccessibility = readOptionalFlag(r, "manualAccessibility", p.manualAccessibility);
    p.onTerminate = readName(r, "onTerminate", scenario::terminateBehaviors, "quits");
    p.arguments = r.texts("arguments");
    if (!r.absent("focusedWindow")) focused = r.integer("focusedWindow");
    if (!r.absent("mainWindow")) main = r.integer("mainWindow");
    for (const auto& [window, windowPath] : r.array("windows")) p.windows.push_back(readWindow(*window, windowPath));
    if (p.terminated && !p.windows.empty()) r.fail("windows", "a terminated process has no windows");
    r.finish();
    return p;
}

void readDomain(const json& value, const std::string& path, SimDefaultsDomain& domain) {
    try {
        domain.values = plistDictFromJson(value, path);
    } catch (const JsonDecodeError& e) {
        throw SimScenarioError(std::string("scenario: ") + e.what());
    }
}

void readDefaults(ScenarioReader& parent, SimDefaults& defaults) {
    if (!parent.has("defaults")) return;
    ScenarioReader r = parent.object("defaults");
    if (const json* standard = r.raw("standard"))
        readDomain(*standard, r.pathOf("standard"), defaults.standardDomain());
    if (const json* suites = r.raw("suites")) {
        if (!suites->is_object()) r.fail("suites", "expected an object");
        for (const auto& [name, domain] : suites->items()) {
            readDomain(domain, r.pathOf("suites") + "." + name, defaults.suiteDomain(name));
        }
    }
    for (const auto& name : r.texts("unavailableSuites")) defaults.setSuiteUnavailable(name);
    r.finish();
}

AXElement elementOfNumber(SimProcess& p, std::int64_t number, ScenarioReader& r, const std::string& key) {
    for (const auto& w : p.windows) {
        if (w.number == number) return w.element;
    }
    r.fail(key, "no window " + std::to_string(number) + " in this process");
}

}  // namespace

void SimScenario::read(const json& scenario, SimDesktop& desktop) {
    SimWorld& world = desktop.world();
    ScenarioReader r(scenario, ScenarioPath{});
    if (r.integer("version") != version) r.fail("version", "expected " + std::to_string(version));
    for (const auto& [value, path] : r.array("displays")) world.displays.push_back(readDisplay(*value, path));
    for (const auto& [value, path] : r.array("applications")) {
        SimApplication app = readApplication(*value, path);
        if (world.application(app.bundleID)) {
            throw SimScenarioError("scenario: " + path.text() + ".bundleID: installed twice");
        }
        world.install(std::move(app));
    }

    std::map<std::int64_t, AXElement> byNumber;
    const auto processes = r.array("processes");
    for (const auto& [value, path] : processes) {
        std::optional<std::int64_t> focused, main;
        SimProcess& p = world.addProcess(readProcess(*value, path, world, focused, main));
        ScenarioReader again(*value, path);
        if (focused) p.focusedWindow = elementOfNumber(p, *focused, again, "focusedWindow");
        if (main) p.mainWindow = elementOfNumber(p, *main, again, "mainWindow");
        for (const auto& w : p.windows) {
            if (!byNumber.emplace(w.number, w.element).second) {
                throw SimScenarioError("scenario: " + path.text() + ".windows: window number " +
                                       std::to_string(w.number) + " used twice");
            }
        }
    }
    if (r.has("stacking")) {
        std::vector<AXElement> order;
        for (const auto& [value, path] : r.array("stacking")) {
            auto it = value->is_number_integer() ? byNumber.find(value->get<std::int64_t>()) : byNumber.end();
            if (it == byNumber.end()) throw SimScenarioError("scenario: " + path.text() + ": not a window number");
            order.push_back(it->second);
        }
        if (order.size() != byNumber.size()) r.fail("stacking", "must list every window once");
        world.setStacking(std::move(order));
    }

    world.pointer = r.point("pointer", Point{});
    world.trusted = r.boolean("trusted", true);
    world.currentSpace = readInt32(r, "currentSpace", 1);
    const std::int32_t nextPid = readInt32(r, "nextPid", world.nextPid);
    if (nextPid < 1) r.fail("nextPid", "expected a process identifier above 0");
    world.nextPid = std::max(world.nextPid, nextPid);
    if (r.has("mainDisplay")) {
        const std::int64_t id = r.integer("mainDisplay");
        if (id < 0 || id > std::numeric_limits<DisplayID>::max() || !world.display(static_cast<DisplayID>(id))) {
            r.fail("mainDisplay", "no display has this identifier");
        }
        world.mainDisplayOverride = static_cast<DisplayID>(id);
    }
    if (r.has("keyScreen")) {
        const std::int64_t index = r.integer("keyScreen");
        if (index < 0 || static_cast<std::size_t>(index) >= world.displays.size())
            r.fail("keyScreen", "no such screen");
        world.keyScreen = static_cast<std::size_t>(index);
    }
    if (r.has("frontmost")) {
        const std::int32_t pid = readInt32(r, "frontmost");
        const SimProcess* p = world.process(pid);
        if (!p || p->terminated) r.fail("frontmost", "no running process has this identifier");
        world.frontmostPid = pid;
    }
    readDefaults(r, desktop.simDefaults());
    if (r.has("appearance")) {
        ScenarioReader in = r.object("appearance");
        SimAppearance& appearance = desktop.simAppearance();
        appearance.dark = in.boolean("dark", false);
        if (in.has("accent")) {
            ScenarioReader accent = in.object("accent");
            appearance.accent = RgbColor{accent.number("red"), accent.number("green"), accent.number("blue")};
            accent.finish();
        }
        in.finish();
    }
    r.finish();
}

}  // namespace kestr
