// Bringing over the data of the earlier version, SpaceKest: its folder under
// Application Support and three of its settings. Runs at every start-up, before the
// stores load, and relies on its own conditions to do nothing once the data moved.
#pragma once

namespace kestr {

class LegacyMigration {
public:
    LegacyMigration() = delete;

    // The folder first, then the settings. Never fails towards the caller.
    static void run();

private:
    static void migrateAppSupportDirectory();
    static void migrateDefaults();
};

}  // namespace kestr
