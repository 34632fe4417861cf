#include "Snap/SnapJson.h"

namespace kestr {

void writeJson(JsonWriter& w, SnapAction value) { w.value(value.rawValue()); }

void writeJson(JsonWriter& w, const SnapBinding& value) {
    w.beginObject();
    w.key("action"), writeJson(w, value.action);
    w.key("hotkey"), writeJson(w, value.hotkey);
    w.key("id"), writeJson(w, value.id);
    w.endObject();
}

void writeJson(JsonWriter& w, const SnapDocument& value) {
    w.beginObject();
    w.key("bindings");
    w.beginArray();
    for (const SnapBinding& binding : value.bindings) writeJson(w, binding);
    w.endArray();
    w.key("version"), w.value(value.version);
    w.endObject();
}

template <>
SnapAction fromJson<SnapAction>(const JsonValue& v) {
    const std::string raw = v.string();
    if (auto action = SnapAction::fromRawValue(raw)) return *action;
    v.fail("unknown snap action " + nlohmann::json(raw).dump());
}

template <>
SnapBinding fromJson<SnapBinding>(const JsonValue& v) {
    // In the order of the keys, as the document holds them.
    const SnapAction action = fromJson<SnapAction>(v.required("action"));
    const Hotkey hotkey = fromJson<Hotkey>(v.required("hotkey"));
    return SnapBinding{v.required("id").uuid(), action, hotkey};
}

template <>
SnapDocument fromJson<SnapDocument>(const JsonValue& v) {
    SnapDocument document;
    document.bindings = v.required("bindings").elements([](const JsonValue& b) { return fromJson<SnapBinding>(b); });
    document.version = v.required("version").integer();
    return document;
}

}  // namespace kestr
