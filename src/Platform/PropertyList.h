// Property-list values: what user defaults store and what the window server's window
// list holds. A recursive variant of the seven property-list kinds.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kestr {

struct PlistValue;
using PlistArray = std::vector<PlistValue>;
using PlistDict = std::map<std::string, PlistValue>;
using PlistData = std::vector<std::uint8_t>;

struct PlistValue {
    using Storage = std::variant<bool, std::int64_t, double, std::string, PlistData, PlistArray, PlistDict>;
    Storage value;

    PlistValue() : value(false) {}
    PlistValue(bool b) : value(b) {}
    PlistValue(int i) : value(std::int64_t{i}) {}
    PlistValue(std::int64_t i) : value(i) {}
    PlistValue(double d) : value(d) {}
    PlistValue(const char* s) : value(std::string(s)) {}
    PlistValue(std::string s) : value(std::move(s)) {}
    PlistValue(PlistData d) : value(std::move(d)) {}
    PlistValue(PlistArray a) : value(std::move(a)) {}
    PlistValue(PlistDict d) : value(std::move(d)) {}

    template <class T>
    bool is() const {
        return std::holds_alternative<T>(value);
    }
    template <class T>
    const T* get() const {
        return std::get_if<T>(&value);
    }

    // A number of either kind, as a double; nullopt for anything else.
    std::optional<double> number() const {
        if (auto i = get<std::int64_t>()) return static_cast<double>(*i);
        if (auto d = get<double>()) return *d;
        return std::nullopt;
    }

    friend bool operator==(const PlistValue&, const PlistValue&) = default;
};

}  // namespace kestr
