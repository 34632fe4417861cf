#include "Core/KestSaveFailure.h"

#include <string>

#include "Platform/Platform.h"

namespace kestr {

void reportKestSaveFailure(const std::exception& error) {
    platform().log().line(std::string("kestr: failed to save kests: ") + error.what());
    platform().alerts().runModal(AlertRequest{
        AlertStyle::critical,
        "Couldn't save your kests",
        "Your existing kests are unchanged. This usually means the disk is full or kestr's folder isn't "
        "writable. Technical details are in Console.",
        {"OK"},
        {},
    });
}

}  // namespace kestr
