// What the keys of the stored key-code space say on their caps: letters, digits, symbols
// and the glyphs of the keys that have no character (↩, ⇥, ←).
#pragma once

#include <cstdint>
#include <string>

namespace kestr {

// The key's label; a code without one gives "?" and the code in decimal.
std::string keyLabel(std::uint32_t keyCode);

}  // namespace kestr
