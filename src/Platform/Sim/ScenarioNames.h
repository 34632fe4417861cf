// The names under which scenario files write enumerations.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "Platform/Sim/SimProcess.h"
#include "Platform/Workspace.h"

namespace kestr::scenario {

inline constexpr std::array<std::pair<const char*, ActivationPolicy>, 3> policies{{
    {"regular", ActivationPolicy::regular},
    {"accessory", ActivationPolicy::accessory},
    {"prohibited", ActivationPolicy::prohibited},
}};

inline constexpr std::array<std::pair<const char*, TerminateBehavior>, 3> terminateBehaviors{{
    {"quits", TerminateBehavior::quits},
    {"ignores", TerminateBehavior::ignores},
    {"refuses", TerminateBehavior::refuses},
}};

template <class Table, class T>
const char* nameOf(const Table& table, T value) {
    for (const auto& [name, v] : table) {
        if (v == value) return name;
    }
    return table.front().first;
}

template <class Table>
auto valueOf(const Table& table, const std::string& name) -> std::optional<decltype(table.front().second)> {
    for (const auto& [n, v] : table) {
        if (name == n) return v;
    }
    return std::nullopt;
}

// "\"a\", \"b\" or \"c\"", for error messages.
template <class Table>
std::string choices(const Table& table) {
    std::string out;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i > 0) out += i + 1 == table.size() ? " or " : ", ";
        out += std::string("\"") + table[i].first + "\"";
    }
    return out;
}

}  // namespace kestr::scenario
