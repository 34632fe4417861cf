#include "App/UpdaterController.h"

#include "Platform/Platform.h"

namespace kestr {

UpdaterController::UpdaterController() { platform().updater().start(); }

UpdaterController& UpdaterController::shared() { return platform().shared<UpdaterController>(); }

void UpdaterController::checkForUpdates() { platform().updater().checkForUpdates(); }

}  // namespace kestr
