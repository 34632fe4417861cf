#include "Core/LegacyMigration.h"

#include <exception>

#include "Platform/FilePath.h"
#include "Platform/Platform.h"

namespace kestr {

void LegacyMigration::run() {
    migrateAppSupportDirectory(platform().files(), platform().log());
    migrateDefaults();
}

void LegacyMigration::migrateAppSupportDirectory(Files& files, Log& log) {
    const auto folders = files.applicationSupportDirectories();
    if (folders.empty()) return;
    const std::string earlier = joinPath(folders.front(), "SpaceKest");
    const std::string current = joinPath(folders.front(), "kestr");
    // The two are never merged.
    if (!files.exists(earlier) || files.exists(current)) return;
    try {
        files.move(earlier, current);
    } catch (const std::exception& e) {
        log.line(std::string("kestr: legacy data migration failed: ") + e.what());
        return;
    }
    log.line("kestr: migrated Application Support/SpaceKest \u2192 kestr");
}

void LegacyMigration::migrateDefaults() {
    DefaultsDomain* earlier = platform().defaults().suite("com.spacekest.SpaceKest");
    if (!earlier) return;
    DefaultsDomain& standard = platform().defaults().standard();
    static constexpr std::pair<const char*, const char*> keys[] = {
        {"spacekest.enableDragSnap", "kestr.enableDragSnap"},
        {"spacekest.smartSnapToKest", "kestr.smartSnapToKest"},
        {"spacekest.didSeedDefaultSnaps", "kestr.didSeedDefaultSnaps"},
    };
    for (const auto& [earlierKey, key] : keys) {
        // A value already set under the new key always wins.
        const auto value = earlier->object(earlierKey);
        if (value && !standard.object(key)) standard.set(key, *value);
    }
}

}  // namespace kestr
