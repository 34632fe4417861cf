#include "Core/ModelJson.h"

#include <algorithm>

namespace kestr {

namespace {

constexpr std::pair<std::string_view, Axis> axisCases[] = {{"vertical", Axis::vertical},
                                                           {"horizontal", Axis::horizontal}};
constexpr std::pair<std::string_view, WindowEdge> edgeCases[] = {
    {"left", WindowEdge::left}, {"right", WindowEdge::right}, {"top", WindowEdge::top}, {"bottom", WindowEdge::bottom}};

void writeJson(JsonWriter& w, const Url& url) { w.value(url.string()); }
void writeJson(JsonWriter& w, const std::string& text) { w.value(text); }
void writeJson(JsonWriter& w, double number) { w.value(number); }
void writeJson(JsonWriter& w, std::int64_t number) { w.value(number); }

template <class T>
void writeJson(JsonWriter& w, const std::vector<T>& list) {
    w.beginArray();
    for (const auto& element : list) writeJson(w, element);
    w.endArray();
}

template <class T>
void member(JsonWriter& w, std::string_view key, const T& value) {
    w.key(key);
    writeJson(w, value);
}

// An absent optional is left out, never written as null.
template <class T>
void member(JsonWriter& w, std::string_view key, const std::optional<T>& value) {
    if (value) member(w, key, *value);
}

// A coordinate or size as read: beyond the limit (a hand edit, a damaged writer) it is
// taken as the limit, so that the kest stays usable instead of overflowing later.
double coordinate(const JsonValue& value) {
    return std::clamp(value.number(), -ScreenFrame::coordinateLimit, ScreenFrame::coordinateLimit);
}

std::optional<double> optionalCoordinate(const JsonValue& object, std::string_view key) {
    if (auto v = object.optional(key)) return coordinate(*v);
    return std::nullopt;
}

std::optional<std::string> optionalString(const JsonValue& object, std::string_view key) {
    if (auto v = object.optional(key)) return v->string();
    return std::nullopt;
}

std::optional<std::int64_t> optionalInteger(const JsonValue& object, std::string_view key) {
    if (auto v = object.optional(key)) return v->integer();
    return std::nullopt;
}

std::optional<std::vector<std::string>> optionalStrings(const JsonValue& object, std::string_view key) {
    if (auto v = object.optional(key)) return v->elements([](const JsonValue& e) { return e.string(); });
    return std::nullopt;
}

std::optional<std::vector<Url>> optionalUrls(const JsonValue& object, std::string_view key) {
    if (auto v = object.optional(key)) return v->elements([](const JsonValue& e) { return e.url(); });
    return std::nullopt;
}

template <class T>
std::vector<T> requiredList(const JsonValue& object, std::string_view key) {
    return object.required(key).elements([](const JsonValue& e) { return fromJson<T>(e); });
}

}  // namespace

// Members are written in ascending order of their keys, as the stored form has them.

void writeJson(JsonWriter& w, const Uuid& value) { w.value(value.string()); }

void writeJson(JsonWriter& w, const Date& value) {
    const auto text = value.iso8601String();
    if (!text) throw JsonEncodeError("a date outside the years 0000 to 9999 cannot be written");
    w.value(*text);
}

void writeJson(JsonWriter& w, const Hotkey& value) {
    w.beginObject();
    w.key("keyCode"), w.value(value.keyCode);
    w.key("modifiers"), w.value(value.modifiers);
    w.endObject();
}

void writeJson(JsonWriter& w, const ScreenFrame& value) {
    w.beginObject();
    member(w, "dispH", value.dispH);
    member(w, "dispW", value.dispW);
    member(w, "dispX", value.dispX);
    member(w, "dispY", value.dispY);
    member(w, "displayUUID", value.displayUUID);
    member(w, "height", value.height);
    member(w, "width", value.width);
    member(w, "x", value.x);
    member(w, "y", value.y);
    w.endObject();
}

void writeJson(JsonWriter& w, const WindowMatcher& value) {
    w.beginObject();
    std::visit(
        [&](const auto& c) {
            using Case = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<Case, WindowMatcher::TitleContains>) {
                w.key("type"), w.value("titleContains");
                member(w, "value", c.text);
            } else if constexpr (std::is_same_v<Case, WindowMatcher::TitleRegex>) {
                w.key("type"), w.value("titleRegex");
                member(w, "value", c.pattern);
            } else if constexpr (std::is_same_v<Case, WindowMatcher::WindowIndex>) {
                w.key("type"), w.value("windowIndex");
                member(w, "value", c.index);
            } else {
                w.key("type"), w.value("firstWindow");
            }
        },
        value.choice);
    w.endObject();
}

void writeJson(JsonWriter& w, const EdgeMember& value) {
    w.beginObject();
    w.key("edge"), w.value(caseName(value.edge));
    member(w, "itemID", value.itemID);
    w.endObject();
}

void writeJson(JsonWriter& w, const EdgeGroup& value) {
    w.beginObject();
    w.key("axis"), w.value(caseName(value.axis));
    member(w, "coordinate", value.coordinate);
    member(w, "displayUUID", value.displayUUID);
    member(w, "id", value.id);
    member(w, "leftOrTopItems", value.leftOrTopItems);
    member(w, "maxCoordinate", value.maxCoordinate);
    member(w, "minCoordinate", value.minCoordinate);
    member(w, "rightOrBottomItems", value.rightOrBottomItems);
    member(w, "spanEnd", value.spanEnd);
    member(w, "spanStart", value.spanStart);
    w.endObject();
}

void writeJson(JsonWriter& w, const LayoutItem& value) {
    w.beginObject();
    member(w, "appBundleID", value.appBundleID);
    member(w, "appName", value.appName);
    member(w, "browserActiveTabIndex", value.browserActiveTabIndex);
    member(w, "browserTabs", value.browserTabs);
    member(w, "browserURL", value.browserURL);
    member(w, "capturedFrame", value.capturedFrame);
    member(w, "capturedSpaceLabel", value.capturedSpaceLabel);
    member(w, "capturedWindowTitle", value.capturedWindowTitle);
    member(w, "finderPath", value.finderPath);
    member(w, "finderSidebarWidth", value.finderSidebarWidth);
    member(w, "id", value.id);
    member(w, "launchArguments", value.launchArguments);
    w.key("launchIfMissing"), w.value(value.launchIfMissing);
    member(w, "openFiles", value.openFiles);
    member(w, "openFolders", value.openFolders);
    member(w, "openURL", value.openURL);
    member(w, "runShellCommand", value.runShellCommand);
    member(w, "targetFrame", value.targetFrame);
    member(w, "terminalProfile", value.terminalProfile);
    member(w, "terminalSplitMode", value.terminalSplitMode);
    member(w, "terminalTabs", value.terminalTabs);
    member(w, "windowMatcher", value.windowMatcher);
    w.endObject();
}

void writeJson(JsonWriter& w, const Layout& value) {
    try {
        w.beginObject();
        member(w, "createdAt", value.createdAt);
        member(w, "edgeGroups", value.edgeGroups);
        member(w, "hotkey", value.hotkey);
        member(w, "id", value.id);
        member(w, "items", value.items);
        member(w, "name", value.name);
        member(w, "updatedAt", value.updatedAt);
        w.endObject();
    } catch (const UnwritableKestError&) {
        throw;
    } catch (const JsonEncodeError& e) {
        // The user knows a kest by its name, not by its place in the file.
        throw UnwritableKestError(value.name, e.what());
    }
}

void writeJson(JsonWriter& w, const LayoutDocument& value) { writeLayoutDocument(w, value.version, value.layouts); }

void writeLayoutDocument(JsonWriter& w, std::int64_t version, const std::vector<Layout>& layouts) {
    w.beginObject();
    member(w, "layouts", layouts);
    member(w, "version", version);
    w.endObject();
}

// Members are read in ascending order of their keys, the order a document holds them
// in, so each lookup goes on from the one before (see JsonValue).

template <>
Hotkey fromJson<Hotkey>(const JsonValue& v) {
    return Hotkey{v.required("keyCode").uint32(), v.required("modifiers").uint32()};
}

template <>
ScreenFrame fromJson<ScreenFrame>(const JsonValue& v) {
    ScreenFrame f;
    f.dispH = optionalCoordinate(v, "dispH");
    f.dispW = optionalCoordinate(v, "dispW");
    f.dispX = optionalCoordinate(v, "dispX");
    f.dispY = optionalCoordinate(v, "dispY");
    f.displayUUID = v.required("displayUUID").string();
    f.height = coordinate(v.required("height"));
    f.width = coordinate(v.required("width"));
    f.x = coordinate(v.required("x"));
    f.y = coordinate(v.required("y"));
    return f;
}

template <>
WindowMatcher fromJson<WindowMatcher>(const JsonValue& v) {
    enum class Type { titleContains, titleRegex, windowIndex, firstWindow };
    static constexpr std::pair<std::string_view, Type> types[] = {{"titleContains", Type::titleContains},
                                                                  {"titleRegex", Type::titleRegex},
                                                                  {"windowIndex", Type::windowIndex},
                                                                  {"firstWindow", Type::firstWindow}};
    // The type is read first; a first-window matcher never looks at "value".
    switch (v.required("type").enumeration(types)) {
        case Type::titleContains:
            return WindowMatcher::titleContains(v.required("value").string());
        case Type::titleRegex:
            return WindowMatcher::titleRegex(v.required("value").string());
        case Type::windowIndex:
            return WindowMatcher::windowIndex(v.required("value").integer());
        case Type::firstWindow:
            break;
    }
    return WindowMatcher::firstWindow();
}

template <>
EdgeMember fromJson<EdgeMember>(const JsonValue& v) {
    const WindowEdge edge = v.required("edge").enumeration(edgeCases);
    return EdgeMember{v.required("itemID").uuid(), edge};
}

template <>
EdgeGroup fromJson<EdgeGroup>(const JsonValue& v) {
    EdgeGroup g;
    g.axis = v.required("axis").enumeration(axisCases);
    g.coordinate = coordinate(v.required("coordinate"));
    g.displayUUID = v.required("displayUUID").string();
    g.id = v.required("id").uuid();
    g.leftOrTopItems = requiredList<EdgeMember>(v, "leftOrTopItems");
    g.maxCoordinate = coordinate(v.required("maxCoordinate"));
    g.minCoordinate = coordinate(v.required("minCoordinate"));
    g.rightOrBottomItems = requiredList<EdgeMember>(v, "rightOrBottomItems");
    g.spanEnd = optionalCoordinate(v, "spanEnd");
    g.spanStart = optionalCoordinate(v, "spanStart");
    return g;
}

template <>
LayoutItem fromJson<LayoutItem>(const JsonValue& v) {
    LayoutItem item;
    item.appBundleID = v.required("appBundleID").string();
    item.appName = v.required("appName").string();
    item.browserActiveTabIndex = optionalInteger(v, "browserActiveTabIndex");
    item.browserTabs = optionalStrings(v, "browserTabs");
    item.browserURL = optionalString(v, "browserURL");
    if (auto f = v.optional("capturedFrame")) item.capturedFrame = fromJson<ScreenFrame>(*f);
    item.capturedSpaceLabel = optionalString(v, "capturedSpaceLabel");
    item.capturedWindowTitle = optionalString(v, "capturedWindowTitle");
    item.finderPath = optionalString(v, "finderPath");
    item.finderSidebarWidth = optionalInteger(v, "finderSidebarWidth");
    item.id = v.required("id").uuid();
    item.launchArguments = optionalStrings(v, "launchArguments");
    item.launchIfMissing = v.required("launchIfMissing").boolean();
    item.openFiles = optionalUrls(v, "openFiles");
    item.openFolders = optionalUrls(v, "openFolders");
    if (auto u = v.optional("openURL")) item.openURL = u->url();
    item.runShellCommand = optionalString(v, "runShellCommand");
    item.targetFrame = fromJson<ScreenFrame>(v.required("targetFrame"));
    item.terminalProfile = optionalString(v, "terminalProfile");
    item.terminalSplitMode = optionalString(v, "terminalSplitMode");
    item.terminalTabs = optionalStrings(v, "terminalTabs");
    item.windowMatcher = fromJson<WindowMatcher>(v.required("windowMatcher"));
    return item;
}

template <>
Layout fromJson<Layout>(const JsonValue& v) {
    Layout kest;
    kest.createdAt = v.required("createdAt").date();
    kest.edgeGroups = requiredList<EdgeGroup>(v, "edgeGroups");
    if (auto h = v.optional("hotkey")) kest.hotkey = fromJson<Hotkey>(*h);
    kest.id = v.required("id").uuid();
    kest.items = requiredList<LayoutItem>(v, "items");
    kest.name = v.required("name").string();
    kest.updatedAt = v.required("updatedAt").date();
    return kest;
}

template <>
LayoutDocument fromJson<LayoutDocument>(const JsonValue& v) {
    LayoutDocument document;
    document.layouts = requiredList<Layout>(v, "layouts");
    document.version = v.required("version").integer();
    return document;
}

}  // namespace kestr
