// UUID strings as the system writes them: 8-4-4-4-12 hexadecimal digits, upper case.
#pragma once

#include <optional>
#include <string>

namespace kestr {

// The canonical upper-case form of a UUID string in any letter case; none when the
// text is not a UUID.
std::optional<std::string> canonicalUuid(const std::string& text);

}  // namespace kestr
