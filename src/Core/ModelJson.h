// JSON form of the kest model. Keys are the field names; an absent optional is left
// out; UUIDs are written upper case and dates as whole-second UTC ISO 8601 text.
//
// writeJson() writes a value straight into a JsonWriter (a date that cannot be written,
// or a NaN or infinite float, throws JsonEncodeError); JsonEncoder::encode() makes the
// text of one. fromJson<T>() reads one strictly (see JsonDecoder.h) and throws
// JsonDecodeError naming the key path.
#pragma once

#include "Core/EdgeGroup.h"
#include "Core/Hotkey.h"
#include "Core/JsonDecoder.h"
#include "Core/Layout.h"
#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Core/WindowMatcher.h"
#include "Platform/Json/JsonEncoder.h"
#include "Platform/Json/JsonWriter.h"

namespace kestr {

// A kest that cannot be written (a NaN or infinite number, a date out of range), named.
class UnwritableKestError : public JsonEncodeError {
public:
    UnwritableKestError(std::string name, const std::string& problem)
        : JsonEncodeError("kest “" + name + "”: " + problem), kestName(std::move(name)) {}
    std::string kestName;
};

void writeJson(JsonWriter& w, const Uuid& value);
void writeJson(JsonWriter& w, const Date& value);
void writeJson(JsonWriter& w, const Hotkey& value);
void writeJson(JsonWriter& w, const ScreenFrame& value);
void writeJson(JsonWriter& w, const WindowMatcher& value);
void writeJson(JsonWriter& w, const EdgeMember& value);
void writeJson(JsonWriter& w, const EdgeGroup& value);
void writeJson(JsonWriter& w, const LayoutItem& value);
void writeJson(JsonWriter& w, const Layout& value);
void writeJson(JsonWriter& w, const LayoutDocument& value);
// The same document without first copying the kests into a LayoutDocument.
void writeLayoutDocument(JsonWriter& w, std::int64_t version, const std::vector<Layout>& layouts);

template <class T>
T fromJson(const JsonValue& value);

template <>
Hotkey fromJson<Hotkey>(const JsonValue& value);
template <>
ScreenFrame fromJson<ScreenFrame>(const JsonValue& value);
template <>
WindowMatcher fromJson<WindowMatcher>(const JsonValue& value);
template <>
EdgeMember fromJson<EdgeMember>(const JsonValue& value);
template <>
EdgeGroup fromJson<EdgeGroup>(const JsonValue& value);
template <>
LayoutItem fromJson<LayoutItem>(const JsonValue& value);
template <>
Layout fromJson<Layout>(const JsonValue& value);
template <>
LayoutDocument fromJson<LayoutDocument>(const JsonValue& value);

}  // namespace kestr
