#include "Core/Preferences.h"

#include <cctype>
#include <exception>
#include <limits>

#include "Core/ModelJson.h"
#include "Core/WholeNumber.h"
#include "Platform/EventMonitors.h"
#include "Platform/Json/JsonEncoder.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// A string's leading integer, the way user defaults read a string as an integer:
// leading spaces, a sign, digits; anything else ends it; no digits give 0; too large
// values clamp.
std::int64_t leadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t limit = std::uint64_t{1} << 63;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude >= limit) {
            magnitude = limit;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
            break;
        }
    }
    if (negative)
        return magnitude >= limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    return magnitude >= limit ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
}

// The integer the user defaults give for a stored value of any kind.
std::int64_t integerOf(const PlistValue& value) {
    if (auto i = value.get<std::int64_t>()) return *i;
    if (auto d = value.get<double>()) return truncatedWholeNumber(*d);
    if (auto b = value.get<bool>()) return *b ? 1 : 0;
    if (auto s = value.get<std::string>()) return leadingInteger(*s);
    return 0;
}

}  // namespace

Preferences::Preferences() : Preferences(platform().defaults().standard()) {}

Preferences& Preferences::shared() { return platform().shared<Preferences>(); }

std::optional<Hotkey> Preferences::captureHotkey() const {
    const auto stored = defaults.object(captureHotkeyKey);
    const PlistData* data = stored ? stored->get<PlistData>() : nullptr;
    if (!data) return std::nullopt;
    try {
        const auto json = parseJson(std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
        return fromJson<Hotkey>(JsonValue(json));
    } catch (const JsonDecodeError&) {
        return std::nullopt;
    }
}

void Preferences::setCaptureHotkey(const std::optional<Hotkey>& hotkey) {
    if (!hotkey) {
        defaults.remove(captureHotkeyKey);
        return;
    }
    try {
        const std::string text = JsonEncoder{.prettyPrinted = false}.encode(*hotkey);
        defaults.set(captureHotkeyKey, PlistData(text.begin(), text.end()));
    } catch (const std::exception&) {
        defaults.remove(captureHotkeyKey);
    }
}

std::uint64_t Preferences::dragSnapModifier() const {
    const auto stored = defaults.object(dragSnapModifierKey);
    if (!stored) return ModifierFlag::command;
    // Flags are unsigned; a negative integer is taken by its bits rather than trapping.
    return static_cast<std::uint64_t>(integerOf(*stored));
}

bool Preferences::boolValue(const char* key) const {
    const auto stored = defaults.object(key);
    if (!stored) return false;
    if (const auto* text = stored->get<std::string>()) {
        if (*text == "YES" || *text == "yes" || *text == "true" || *text == "TRUE") return true;
    }
    return integerOf(*stored) != 0;
}

void Preferences::setBoolValue(const char* key, bool on) {
    const auto stored = defaults.object(key);
    if (stored && stored->get<std::int64_t>()) {
        defaults.set(key, PlistValue(std::int64_t{on ? 1 : 0}));
    } else if (stored && stored->get<double>()) {
        defaults.set(key, PlistValue(on ? 1.0 : 0.0));
    } else if (stored && stored->get<std::string>()) {
        defaults.set(key, PlistValue(std::string(on ? "YES" : "NO")));
    } else {
        defaults.set(key, PlistValue(on));
    }
}

std::int64_t Preferences::integerValue(const char* key) const {
    const auto stored = defaults.object(key);
    return stored ? integerOf(*stored) : 0;
}

}  // namespace kestr
