// Errors of the kest store. Their text is the case name, as logged.
#pragma once

#include <cstdint>
#include <string>

#include "Platform/Error.h"

namespace kestr {

class LayoutStoreError : public Error {
public:
    enum class Kind { unsupportedVersion, loadFailedRefusingToSave };

    // A document whose "version" is not 1: "unsupportedVersion(2)".
    static LayoutStoreError unsupportedVersion(std::int64_t version) {
        return LayoutStoreError(Kind::unsupportedVersion, version,
                                "unsupportedVersion(" + std::to_string(version) + ")");
    }
    // A save while the last load could not read the file.
    static LayoutStoreError loadFailedRefusingToSave() {
        return LayoutStoreError(Kind::loadFailedRefusingToSave, 0, "loadFailedRefusingToSave");
    }

    Kind kind() const { return kind_; }
    std::int64_t version() const { return version_; }

private:
    LayoutStoreError(Kind kind, std::int64_t version, const std::string& text)
        : Error(text), kind_(kind), version_(version) {}
    Kind kind_;
    std::int64_t version_;
};

}  // namespace kestr
