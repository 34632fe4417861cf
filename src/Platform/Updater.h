// The update framework: started once at launch, asked to check on demand.
#pragma once

namespace kestr {

class Updater {
public:
    virtual ~Updater() = default;
    virtual void start() = 0;
    // Checks for a newer version and tells the user what it found.
    virtual void checkForUpdates() = 0;
};

}  // namespace kestr
