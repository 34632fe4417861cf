#include "Snap/SnapJson.h"

namespace kestr {

using nlohmann::json;

json toJson(SnapAction value) { return value.rawValue(); }

json toJson(const SnapBinding& value) {
    return json{{"action", toJson(value.action)}, {"hotkey", toJson(value.hotkey)}, {"id", toJson(value.id)}};
}

json toJson(const SnapDocument& value) {
    json bindings = json::array();
    for (const SnapBinding& binding : value.bindings) bindings.push_back(toJson(binding));
    return json{{"bindings", std::move(bindings)}, {"version", value.version}};
}

template <>
SnapAction fromJson<SnapAction>(const JsonValue& v) {
    const std::string raw = v.string();
    if (auto action = SnapAction::fromRawValue(raw)) return *action;
    v.fail("unknown snap action " + json(raw).dump());
}

template <>
SnapBinding fromJson<SnapBinding>(const JsonValue& v) {
    return SnapBinding{v.required("id").uuid(), fromJson<SnapAction>(v.required("action")),
                       fromJson<Hotkey>(v.required("hotkey"))};
}

template <>
SnapDocument fromJson<SnapDocument>(const JsonValue& v) {
    SnapDocument document;
    document.version = v.required("version").integer();
    document.bindings = v.required("bindings").elements([](const JsonValue& b) { return fromJson<SnapBinding>(b); });
    return document;
}

}  // namespace kestr
