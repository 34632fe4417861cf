// The top level of "snaps.json": a version (always written as 1) and the bindings.
#pragma once

#include <cstdint>
#include <vector>

#include "Core/SnapBinding.h"

namespace kestr {

struct SnapDocument {
    std::int64_t version = 1;
    std::vector<SnapBinding> bindings;

    friend bool operator==(const SnapDocument&, const SnapDocument&) = default;
};

}  // namespace kestr
