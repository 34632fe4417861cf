// The name of each kest by its identifier, the first kest of each identifier, taken from
// a list of kests once: naming the owners of many shortcuts then costs a look-up each,
// not a walk of the list each.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Core/Layout.h"

namespace kestr {

class KestNames {
public:
    explicit KestNames(const std::vector<Layout>& layouts) {
        names_.reserve(layouts.size());
        for (const Layout& l : layouts) names_.emplace(l.id, l.name);
    }
    // Only the kests of `wanted`: the walk ends once each of them is named, so a few
    // owners near the front of a long list cost no walk of the whole list.
    KestNames(const std::vector<Layout>& layouts, const std::unordered_set<Uuid>& wanted) {
        for (auto it = layouts.begin(); it != layouts.end() && names_.size() < wanted.size(); ++it) {
            if (wanted.count(it->id)) names_.emplace(it->id, it->name);
        }
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
