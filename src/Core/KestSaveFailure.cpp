#include "Core/KestSaveFailure.h"

#include <string>

#include "Core/LayoutStoreError.h"
#include "Core/ModelJson.h"
#include "Platform/Files.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// What went wrong, in the user's words; a failure of the disk itself is the one left
// to a likely cause.
std::string explanation(const std::exception& error) {
    if (dynamic_cast<const FileTooLargeError*>(&error)) {
        return "Together they would make a kest file too large for kestr to read back, so nothing was written. "
               "Deleting kests you no longer need makes room.";
    }
    if (const auto* unwritable = dynamic_cast<const UnwritableKestError*>(&error)) {
        return "The kest “" + unwritable->kestName + "” holds a value that can't be stored.";
    }
    if (const auto* refused = dynamic_cast<const LayoutStoreError*>(&error);
        refused && refused->kind() == LayoutStoreError::Kind::loadFailedRefusingToSave) {
        return "kestr couldn't read the kest file when it started, so it won't replace it until it can.";
    }
    return "This usually means the disk is full or kestr's folder isn't writable.";
}

}  // namespace

void reportKestSaveFailure(const std::exception& error) {
    platform().log().line(std::string("kestr: failed to save kests: ") + error.what());
    platform().alerts().runModal(AlertRequest{
        AlertStyle::critical,
        "Couldn't save your kests",
        "Your existing kests are unchanged. " + explanation(error) + " " + platform().wording().technicalDetails(),
        {"OK"},
        {},
    });
}

}  // namespace kestr
