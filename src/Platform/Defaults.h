// User defaults: the standard domain of this program and named suites.
#pragma once

#include <optional>
#include <string>

#include "Platform/PropertyList.h"

namespace kestr {

class DefaultsDomain {
public:
    virtual ~DefaultsDomain() = default;
    virtual std::optional<PlistValue> object(const std::string& key) = 0;
    virtual void set(const std::string& key, const PlistValue& value) = 0;
    virtual void remove(const std::string& key) = 0;
};

class Defaults {
public:
    virtual ~Defaults() = default;
    virtual DefaultsDomain& standard() = 0;
    // A named suite; null when it cannot be opened.
    virtual DefaultsDomain* suite(const std::string& name) = 0;
};

}  // namespace kestr
