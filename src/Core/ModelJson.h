// JSON form of the kest model. Keys are the field names; an absent optional is left
// out; UUIDs are written upper case and dates as whole-second UTC ISO 8601 text.
//
// toJson() builds the value (a date that cannot be written throws JsonEncodeError; a
// NaN or infinite float is caught by JsonEncoder). fromJson<T>() reads one strictly
// (see JsonDecoder.h) and throws JsonDecodeError naming the key path.
#pragma once

#include <nlohmann/json.hpp>

#include "Core/EdgeGroup.h"
#include "Core/Hotkey.h"
#include "Core/JsonDecoder.h"
#include "Core/JsonEncoder.h"
#include "Core/Layout.h"
#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Core/WindowMatcher.h"

namespace kestr {

nlohmann::json toJson(const Uuid& value);
nlohmann::json toJson(const Date& value);
nlohmann::json toJson(const Hotkey& value);
nlohmann::json toJson(const ScreenFrame& value);
nlohmann::json toJson(const WindowMatcher& value);
nlohmann::json toJson(const EdgeMember& value);
nlohmann::json toJson(const EdgeGroup& value);
nlohmann::json toJson(const LayoutItem& value);
nlohmann::json toJson(const Layout& value);
nlohmann::json toJson(const LayoutDocument& value);
// The same document without first copying the kests into a LayoutDocument.
nlohmann::json layoutDocumentJson(std::int64_t version, const std::vector<Layout>& layouts);

template <class T>
T fromJson(const JsonValue& value);

template <> Hotkey fromJson<Hotkey>(const JsonValue& value);
template <> ScreenFrame fromJson<ScreenFrame>(const JsonValue& value);
template <> WindowMatcher fromJson<WindowMatcher>(const JsonValue& value);
template <> EdgeMember fromJson<EdgeMember>(const JsonValue& value);
template <> EdgeGroup fromJson<EdgeGroup>(const JsonValue& value);
template <> LayoutItem fromJson<LayoutItem>(const JsonValue& value);
template <> Layout fromJson<Layout>(const JsonValue& value);
template <> LayoutDocument fromJson<LayoutDocument>(const JsonValue& value);

}  // namespace kestr
