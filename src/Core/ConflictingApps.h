// Other window managers whose shortcuts fight ours: which of them run, and asking one
// to quit.
#pragma once

#include <string>
#include <vector>

#include "Platform/Workspace.h"

namespace kestr {

struct ConflictingApps {
    struct Known {
        std::string name;
        // Tried in order; the first that has a running instance counts.
        std::vector<std::string> bundleIDs;
    };

    struct Running {
        std::string name;
        RunningApplication app;
        // The same running application; the name is not compared.
        friend bool operator==(const Running& a, const Running& b) {
            return a.app.processIdentifier == b.app.processIdentifier;
        }
    };

    // The known applications of this desktop, by its kind of application identifier.
    static const std::vector<Known>& known();
    // In the order of known(), at most one per row.
    static std::vector<Running> running();
    // Asks politely and does not wait; false when the request could not be sent or the
    // process is no longer that application.
    static bool quit(const Running& running);
};

}  // namespace kestr
