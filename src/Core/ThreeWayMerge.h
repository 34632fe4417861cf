// Merging a stored list that two processes changed from one common version: what this
// process changed since that version (entries added, changed, removed, moved) goes on
// top of what the other process left, so neither loses the other's work. Entries are
// known by their id (a repeated id by its id and its place among the repeats) and
// compared by a digest of their content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Core/Uuid.h"
#include "Platform/Json/JsonWriter.h"

namespace kestr {

class ThreeWayMerge {
public:
    ThreeWayMerge() = delete;

    struct Entry {
        Uuid id;
        std::uint64_t digest = 0;
    };
    // One entry of the result: ours[index] or theirs[index].
    struct Pick {
        bool ours = false;
        std::size_t index = 0;
        friend bool operator==(const Pick&, const Pick&) = default;
    };

    // `base` is the list as both last saw it. An entry that only one side changed,
    // added or removed follows that side; one that both changed is ours; one that one
    // side removed and the other changed is kept as changed. The order is ours when we
    // moved entries, else theirs; an entry only the other side holds stands before the
    // entry it preceded there (at the end when it preceded none).
    static std::vector<Pick> merge(const std::vector<Entry>& base, const std::vector<Entry>& ours,
                                   const std::vector<Entry>& theirs);

    // A digest of an entry's encoded content.
    static std::uint64_t digest(std::string_view encoded);
    // The digest of a value's content as a save writes it; 0 for one it cannot write (a
    // save of it fails anyway, with the encoder's error). Every value is written into
    // one writer of the thread, so a list of many is digested without growing a buffer
    // for each.
    template <class T>
    static std::uint64_t digestOf(const T& value) {
        thread_local JsonWriter content = JsonWriter::digesting();
        content.restart();
        try {
            writeJson(content, value);
        } catch (const JsonEncodeError&) {
            return 0;
        }
        return digest(content.text());
    }
};

}  // namespace kestr
