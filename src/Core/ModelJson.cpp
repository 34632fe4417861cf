#include "Core/ModelJson.h"

namespace kestr {

using nlohmann::json;

namespace {

constexpr std::pair<std::string_view, Axis> axisCases[] = {{"vertical", Axis::vertical},
                                                           {"horizontal", Axis::horizontal}};
constexpr std::pair<std::string_view, WindowEdge> edgeCases[] = {
    {"left", WindowEdge::left}, {"right", WindowEdge::right}, {"top", WindowEdge::top}, {"bottom", WindowEdge::bottom}};

json toJson(const Url& url) { return url.string(); }
json toJson(const std::string& text) { return text; }
json toJson(double number) { return number; }
json toJson(std::int64_t number) { return number; }

template <class T>
json toJson(const std::vector<T>& list) {
    json array = json::array();
    array.get_ref<json::array_t&>().reserve(list.size());
    for (const auto& element : list) array.push_back(toJson(element));
    return array;
}

// An absent optional is left out, never written as null.
template <class T>
void put(json& object, const char* key, const std::optional<T>& value) {
    if (value) object[key] = toJson(*value);
}

std::optional<double> optionalNumber(const JsonValue& object, std::string_view key) {
    if (auto v = object.optional(key)) return v->number();
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

json toJson(const Uuid& value) { return value.string(); }

json toJson(const Date& value) {
    if (auto text = value.iso8601String()) return *text;
    throw JsonEncodeError("a date outside the years 0000 to 9999 cannot be written");
}

json toJson(const Hotkey& value) {
    json object = json::object();
    object["keyCode"] = value.keyCode;
    object["modifiers"] = value.modifiers;
    return object;
}

// Objects are filled member by member: a braced list would copy every nested value.
json toJson(const ScreenFrame& value) {
    json object = json::object();
    object["displayUUID"] = value.displayUUID;
    object["x"] = value.x;
    object["y"] = value.y;
    object["width"] = value.width;
    object["height"] = value.height;
    put(object, "dispW", value.dispW);
    put(object, "dispH", value.dispH);
    put(object, "dispX", value.dispX);
    put(object, "dispY", value.dispY);
    return object;
}

json toJson(const WindowMatcher& value) {
    json object = json::object();
    std::visit(
        [&](const auto& c) {
            using Case = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<Case, WindowMatcher::TitleContains>) {
                object["type"] = "titleContains";
                object["value"] = c.text;
            } else if constexpr (std::is_same_v<Case, WindowMatcher::TitleRegex>) {
                object["type"] = "titleRegex";
                object["value"] = c.pattern;
            } else if constexpr (std::is_same_v<Case, WindowMatcher::WindowIndex>) {
                object["type"] = "windowIndex";
                object["value"] = c.index;
            } else {
                object["type"] = "firstWindow";
            }
        },
        value.choice);
    return object;
}

json toJson(const EdgeMember& value) {
    json object = json::object();
    object["itemID"] = toJson(value.itemID);
    object["edge"] = caseName(value.edge);
    return object;
}

json toJson(const EdgeGroup& value) {
    json object = json::object();
    object["id"] = toJson(value.id);
    object["axis"] = caseName(value.axis);
    object["displayUUID"] = value.displayUUID;
    object["coordinate"] = value.coordinate;
    object["leftOrTopItems"] = toJson(value.leftOrTopItems);
    object["rightOrBottomItems"] = toJson(value.rightOrBottomItems);
    object["minCoordinate"] = value.minCoordinate;
    object["maxCoordinate"] = value.maxCoordinate;
    put(object, "spanStart", value.spanStart);
    put(object, "spanEnd", value.spanEnd);
    return object;
}

json toJson(const LayoutItem& value) {
    json object = json::object();
    object["id"] = toJson(value.id);
    object["appBundleID"] = value.appBundleID;
    object["appName"] = value.appName;
    object["windowMatcher"] = toJson(value.windowMatcher);
    object["targetFrame"] = toJson(value.targetFrame);
    put(object, "capturedFrame", value.capturedFrame);
    put(object, "capturedWindowTitle", value.capturedWindowTitle);
    put(object, "capturedSpaceLabel", value.capturedSpaceLabel);
    object["launchIfMissing"] = value.launchIfMissing;
    put(object, "launchArguments", value.launchArguments);
    put(object, "openURL", value.openURL);
    put(object, "openFiles", value.openFiles);
    put(object, "openFolders", value.openFolders);
    put(object, "runShellCommand", value.runShellCommand);
    put(object, "finderPath", value.finderPath);
    put(object, "browserURL", value.browserURL);
    put(object, "browserTabs", value.browserTabs);
    put(object, "browserActiveTabIndex", value.browserActiveTabIndex);
    put(object, "terminalTabs", value.terminalTabs);
    put(object, "terminalProfile", value.terminalProfile);
    put(object, "terminalSplitMode", value.terminalSplitMode);
    put(object, "finderSidebarWidth", value.finderSidebarWidth);
    return object;
}

json toJson(const Layout& value) {
    json object = json::object();
    object["id"] = toJson(value.id);
    object["name"] = value.name;
    put(object, "hotkey", value.hotkey);
    object["items"] = toJson(value.items);
    object["edgeGroups"] = toJson(value.edgeGroups);
    object["createdAt"] = toJson(value.createdAt);
    object["updatedAt"] = toJson(value.updatedAt);
    return object;
}

json toJson(const LayoutDocument& value) { return layoutDocumentJson(value.version, value.layouts); }

json layoutDocumentJson(std::int64_t version, const std::vector<Layout>& layouts) {
    json object = json::object();
    object["version"] = version;
    object["layouts"] = toJson(layouts);
    return object;
}

template <>
Hotkey fromJson<Hotkey>(const JsonValue& v) {
    return Hotkey{v.required("keyCode").uint32(), v.required("modifiers").uint32()};
}

template <>
ScreenFrame fromJson<ScreenFrame>(const JsonValue& v) {
    ScreenFrame f;
    f.displayUUID = v.required("displayUUID").string();
    f.x = v.required("x").number();
    f.y = v.required("y").number();
    f.width = v.required("width").number();
    f.height = v.required("height").number();
    f.dispW = optionalNumber(v, "dispW");
    f.dispH = optionalNumber(v, "dispH");
    f.dispX = optionalNumber(v, "dispX");
    f.dispY = optionalNumber(v, "dispY");
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
        case Type::titleContains: return WindowMatcher::titleContains(v.required("value").string());
        case Type::titleRegex: return WindowMatcher::titleRegex(v.required("value").string());
        case Type::windowIndex: return WindowMatcher::windowIndex(v.required("value").integer());
        case Type::firstWindow: break;
    }
    return WindowMatcher::firstWindow();
}

template <>
EdgeMember fromJson<EdgeMember>(const JsonValue& v) {
    return EdgeMember{v.required("itemID").uuid(), v.required("edge").enumeration(edgeCases)};
}

template <>
EdgeGroup fromJson<EdgeGroup>(const JsonValue& v) {
    EdgeGroup g;
    g.id = v.required("id").uuid();
    g.axis = v.required("axis").enumeration(axisCases);
    g.displayUUID = v.required("displayUUID").string();
    g.coordinate = v.required("coordinate").number();
    g.leftOrTopItems = requiredList<EdgeMember>(v, "leftOrTopItems");
    g.rightOrBottomItems = requiredList<EdgeMember>(v, "rightOrBottomItems");
    g.minCoordinate = v.required("minCoordinate").number();
    g.maxCoordinate = v.required("maxCoordinate").number();
    g.spanStart = optionalNumber(v, "spanStart");
    g.spanEnd = optionalNumber(v, "spanEnd");
    return g;
}

template <>
LayoutItem fromJson<LayoutItem>(const JsonValue& v) {
    LayoutItem item;
    item.id = v.required("id").uuid();
    item.appBundleID = v.required("appBundleID").string();
    item.appName = v.required("appName").string();
    item.windowMatcher = fromJson<WindowMatcher>(v.required("windowMatcher"));
    item.targetFrame = fromJson<ScreenFrame>(v.required("targetFrame"));
    if (auto f = v.optional("capturedFrame")) item.capturedFrame = fromJson<ScreenFrame>(*f);
    item.capturedWindowTitle = optionalString(v, "capturedWindowTitle");
    item.capturedSpaceLabel = optionalString(v, "capturedSpaceLabel");
    item.launchIfMissing = v.required("launchIfMissing").boolean();
    item.launchArguments = optionalStrings(v, "launchArguments");
    if (auto u = v.optional("openURL")) item.openURL = u->url();
    item.openFiles = optionalUrls(v, "openFiles");
    item.openFolders = optionalUrls(v, "openFolders");
    item.runShellCommand = optionalString(v, "runShellCommand");
    item.finderPath = optionalString(v, "finderPath");
    item.browserURL = optionalString(v, "browserURL");
    item.browserTabs = optionalStrings(v, "browserTabs");
    item.browserActiveTabIndex = optionalInteger(v, "browserActiveTabIndex");
    item.terminalTabs = optionalStrings(v, "terminalTabs");
    item.terminalProfile = optionalString(v, "terminalProfile");
    item.terminalSplitMode = optionalString(v, "terminalSplitMode");
    item.finderSidebarWidth = optionalInteger(v, "finderSidebarWidth");
    return item;
}

template <>
Layout fromJson<Layout>(const JsonValue& v) {
    Layout kest;
    kest.id = v.required("id").uuid();
    kest.name = v.required("name").string();
    if (auto h = v.optional("hotkey")) kest.hotkey = fromJson<Hotkey>(*h);
    kest.items = requiredList<LayoutItem>(v, "items");
    kest.edgeGroups = requiredList<EdgeGroup>(v, "edgeGroups");
    kest.createdAt = v.required("createdAt").date();
    kest.updatedAt = v.required("updatedAt").date();
    return kest;
}

template <>
LayoutDocument fromJson<LayoutDocument>(const JsonValue& v) {
    LayoutDocument document;
    document.version = v.required("version").integer();
    document.layouts = requiredList<Layout>(v, "layouts");
    return document;
}

}  // namespace kestr
