// The update framework as the program uses it: started once at launch, asked to check
// by the menu.
#pragma once

namespace kestr {

class UpdaterController {
public:
    // Starts the updater.
    UpdaterController();
    static UpdaterController& shared();
    void checkForUpdates();
};

}  // namespace kestr
