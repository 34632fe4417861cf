// Errors of the kest store: unsupportedVersion(n) and loadFailedRefusingToSave.
#pragma once

#include "Core/StoreError.h"

namespace kestr {

class LayoutStore;
using LayoutStoreError = StoreError<LayoutStore>;

}  // namespace kestr
