// JSON form of the snap model: an action is its raw name; a binding is
// {"action", "hotkey", "id"}; the document is {"bindings", "version"}. Read strictly
// (see Core/JsonDecoder.h): a missing key, a wrong type or an unknown action name
// fails the whole document.
#pragma once

#include "Core/ModelJson.h"
#include "Core/SnapAction.h"
#include "Core/SnapBinding.h"
#include "Snap/SnapDocument.h"

namespace kestr {

void writeJson(JsonWriter& w, SnapAction value);
void writeJson(JsonWriter& w, const SnapBinding& value);
void writeJson(JsonWriter& w, const SnapDocument& value);

template <>
SnapAction fromJson<SnapAction>(const JsonValue& value);
template <>
SnapBinding fromJson<SnapBinding>(const JsonValue& value);
template <>
SnapDocument fromJson<SnapDocument>(const JsonValue& value);

}  // namespace kestr
