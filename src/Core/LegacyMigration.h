// Bringing over the data of the earlier version, SpaceKest: its folder under
// Application Support and three of its settings. Runs at every start-up, before the
// stores load, and relies on its own conditions to do nothing once the data moved.
#pragma once

namespace kestr {

class Files;
class Log;

class LegacyMigration {
public:
    LegacyMigration() = delete;

    // The folder first, then the settings. Never fails towards the caller.
    static void run();

    // The folder step alone, on the given files and log: the menu-bar application runs
    // it before its instance lock makes the new folder exist (the platform is not up yet).
    static void migrateAppSupportDirectory(Files& files, Log& log);

private:
    static void migrateDefaults();
};

}  // namespace kestr
