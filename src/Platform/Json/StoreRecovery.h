// Moving a stored file that cannot be decoded out of the way, so that the next save
// does not overwrite what may be the user's only copy.
#pragma once

#include <string>

namespace kestr {

class StoreRecovery {
public:
    StoreRecovery() = delete;

    // Renames the file to base + ".corrupt-" + local time "yyyyMMdd-HHmmss" (then "-1",
    // "-2", ... when taken) + "." + extension, in the same folder, and logs the outcome.
    // Nothing happens when there is no such file. Never fails towards the caller.
    static void quarantine(const std::string& path);

    // The same, telling whether the file is out of the way afterwards (true also when
    // there was none). Stores use this to avoid writing over a file they could not move.
    // `movedTo`, when given, receives the file's new path when it was moved. `reason`,
    // what was wrong with the file, ends the log line, cleaned like a title.
    static bool moveAside(const std::string& path, std::string* movedTo = nullptr, const std::string& reason = "");
};

}  // namespace kestr
