#include "Core/ThreeWayMerge.h"

#include <functional>
#include <list>
#include <map>
#include <string>

#include "Platform/ContentDigest.h"

namespace kestr {

namespace {

// An entry's identity: its id and how many entries before it share that id.
struct Key {
    Uuid id;
    int repeat = 0;
    friend auto operator<=>(const Key&, const Key&) = default;
};

std::vector<Key> keysOf(const std::vector<ThreeWayMerge::Entry>& list) {
    std::map<Uuid, int> repeats;
    std::vector<Key> keys;
    keys.reserve(list.size());
    for (const auto& entry : list) keys.push_back({entry.id, repeats[entry.id]++});
    return keys;
}

template <class Value>
std::map<Key, Value> indexed(const std::vector<Key>& keys, const std::function<Value(std::size_t)>& value) {
    std::map<Key, Value> out;
    for (std::size_t i = 0; i < keys.size(); ++i) out.emplace(keys[i], value(i));
    return out;
}

// The keys of `from` that `other` holds too, in the order of `from`.
std::vector<Key> sharedInOrder(const std::vector<Key>& from, const std::map<Key, std::size_t>& other) {
    std::vector<Key> out;
    for (const Key& key : from)
        if (other.contains(key)) out.push_back(key);
    return out;
}

}  // namespace

std::vector<ThreeWayMerge::Pick> ThreeWayMerge::merge(const std::vector<Entry>& base, const std::vector<Entry>& ours,
                                                      const std::vector<Entry>& theirs) {
    const std::vector<Key> baseKeys = keysOf(base), ourKeys = keysOf(ours), theirKeys = keysOf(theirs);
    const auto position = [](std::size_t i) { return i; };
    const auto inBase = indexed<std::size_t>(baseKeys, position);
    const auto inOurs = indexed<std::size_t>(ourKeys, position);
    const auto inTheirs = indexed<std::size_t>(theirKeys, position);
    const auto changed = [&](const Key& key, std::uint64_t digest) {
        const auto it = inBase.find(key);
        return it == inBase.end() || base[it->second].digest != digest;
    };

    std::map<Key, Pick> chosen;
    for (std::size_t i = 0; i < ourKeys.size(); ++i) {
        const bool oursChanged = changed(ourKeys[i], ours[i].digest);
        const auto their = inTheirs.find(ourKeys[i]);
        if (their != inTheirs.end()) {
            chosen[ourKeys[i]] = oursChanged ? Pick{true, i} : Pick{false, their->second};
        } else if (oursChanged) {
            // Added here, or changed here while the other side removed it.
            chosen[ourKeys[i]] = Pick{true, i};
        }
    }
    for (std::size_t j = 0; j < theirKeys.size(); ++j) {
        // Added there, or changed there while this side removed it.
        if (!inOurs.contains(theirKeys[j]) && changed(theirKeys[j], theirs[j].digest)) {
            chosen[theirKeys[j]] = Pick{false, j};
        }
    }

    const bool weMoved = sharedInOrder(ourKeys, inBase) != sharedInOrder(baseKeys, inOurs);
    const std::vector<Key>& primary = weMoved ? ourKeys : theirKeys;
    const std::vector<Key>& secondary = weMoved ? theirKeys : ourKeys;
    std::list<Key> order;
    std::map<Key, std::list<Key>::iterator> placed;
    for (const Key& key : primary) {
        if (chosen.contains(key)) placed[key] = order.insert(order.end(), key);
    }
    // Walked from the end: what the other side appended stays at the end.
    auto insertBefore = order.end();
    for (auto key = secondary.rbegin(); key != secondary.rend(); ++key) {
        if (const auto it = placed.find(*key); it != placed.end()) {
            insertBefore = it->second;
        } else if (chosen.contains(*key)) {
            insertBefore = order.insert(insertBefore, *key);
            placed[*key] = insertBefore;
        }
    }

    std::vector<Pick> picks;
    picks.reserve(order.size());
    for (const Key& key : order) picks.push_back(chosen.at(key));
    return picks;
}

std::uint64_t ThreeWayMerge::digest(std::string_view encoded) { return contentDigest(encoded); }

}  // namespace kestr
