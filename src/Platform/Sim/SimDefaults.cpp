#include "Platform/Sim/SimDefaults.h"

namespace kestr {

std::optional<PlistValue> SimDefaultsDomain::object(const std::string& key) {
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

SimDefaultsDomain& SimDefaults::suiteDomain(const std::string& name) {
    auto& slot = suites_[name];
    if (!slot) slot = std::make_unique<SimDefaultsDomain>();
    return *slot;
}

DefaultsDomain* SimDefaults::suite(const std::string& name) {
    if (unavailable_.count(name)) return nullptr;
    return &suiteDomain(name);
}

}  // namespace kestr
