// User defaults of the simulated desktop: in-memory domains, some of which a test can
// make impossible to open.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "Platform/Defaults.h"

namespace kestr {

class SimDefaultsDomain : public DefaultsDomain {
public:
    std::optional<PlistValue> object(const std::string& key) override;
    void set(const std::string& key, const PlistValue& value) override { values[key] = value; }
    void remove(const std::string& key) override { values.erase(key); }
    PlistDict values;
};

class SimDefaults : public Defaults {
public:
    DefaultsDomain& standard() override { return standard_; }
    DefaultsDomain* suite(const std::string& name) override;

    SimDefaultsDomain& standardDomain() { return standard_; }
    const SimDefaultsDomain& standardDomain() const { return standard_; }
    SimDefaultsDomain& suiteDomain(const std::string& name);
    void setSuiteUnavailable(const std::string& name) { unavailable_.insert(name); }
    const std::map<std::string, std::unique_ptr<SimDefaultsDomain>>& suiteDomains() const { return suites_; }
    const std::set<std::string>& unavailableSuites() const { return unavailable_; }

private:
    SimDefaultsDomain standard_;
    std::map<std::string, std::unique_ptr<SimDefaultsDomain>> suites_;
    std::set<std::string> unavailable_;
};

}  // namespace kestr
