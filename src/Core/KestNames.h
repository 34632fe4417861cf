// The name of each kest by its identifier, the first kest of each identifier, taken from
// a list of kests once: naming the owners of many shortcuts then costs a look-up each,
// not a walk of the list each.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "Core/Layout.h"

namespace kestr {

class KestNames {
public:
    explicit KestNames(const std::vector<Layout>& layouts) {
        names_.reserve(layouts.size());
        for (const Layout& l : layouts) names_.emplace(l.id, l.name);
    }
    // None for an identifier the list did not hold.
    const std::string* find(const Uuid& id) const {
        const auto it = names_.find(id);
        return it == names_.end() ? nullptr : &it->second;
    }

private:
    std::unordered_map<Uuid, std::string> names_;
};

}  // namespace kestr
