// Errors of the snap store: unsupportedVersion(n) and loadFailedRefusingToSave.
#pragma once

#include "Core/StoreError.h"

namespace kestr {

class SnapStore;
using SnapStoreError = StoreError<SnapStore>;

}  // namespace kestr
