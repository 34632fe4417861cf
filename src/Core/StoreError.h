// The errors each JSON store raises of its own (see JsonFileStore): one type per store,
// so callers can tell them apart. Their text is the case name, as logged.
#pragma once

#include <cstdint>
#include <string>

#include "Platform/Error.h"

namespace kestr {

template <class Store>
class StoreError : public Error {
public:
    enum class Kind { unsupportedVersion, loadFailedRefusingToSave };

    // A document whose "version" is not 1: "unsupportedVersion(2)".
    static StoreError unsupportedVersion(std::int64_t version) {
        return StoreError(Kind::unsupportedVersion, version, "unsupportedVersion(" + std::to_string(version) + ")");
    }
    // A save while the last load could not read the file.
    static StoreError loadFailedRefusingToSave() {
        return StoreError(Kind::loadFailedRefusingToSave, 0, "loadFailedRefusingToSave");
    }

    Kind kind() const { return kind_; }
    std::int64_t version() const { return version_; }

private:
    StoreError(Kind kind, std::int64_t version, const std::string& text)
        : Error(text), kind_(kind), version_(version) {}
    Kind kind_;
    std::int64_t version_;
};

}  // namespace kestr
