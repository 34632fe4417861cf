// A 128-bit identifier of kests, items, edge groups and bindings. Read in either case,
// always written in upper case as 8-4-4-4-12 hexadecimal digits.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestr {

struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    // A new random (version 4) identifier.
    static Uuid random();
    // The 36-character form with hyphens after the 8th, 12th, 16th and 20th digit,
    // digits in either case; anything else gives nullopt.
    static std::optional<Uuid> parse(std::string_view text);

    // Upper-case 8-4-4-4-12 form.
    std::string string() const;

    friend bool operator==(const Uuid&, const Uuid&) = default;
    friend auto operator<=>(const Uuid&, const Uuid&) = default;
};

}  // namespace kestr

template <>
struct std::hash<kestr::Uuid> {
    std::size_t operator()(const kestr::Uuid& u) const noexcept {
        std::uint64_t h = 1469598103934665603ull;
        for (auto b : u.bytes) h = (h ^ b) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};
