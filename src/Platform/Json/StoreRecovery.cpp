#include "Platform/Json/StoreRecovery.h"

#include <cstdio>
#include <exception>

#include "Platform/Date.h"
#include "Platform/FilePath.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"

namespace kestr {

namespace {

// The local wall-clock time as "yyyyMMdd-HHmmss", ASCII digits, 24-hour clock.
std::string timeStamp() {
    Clock& clock = platform().clock();
    const double now = clock.now();
    const CivilTime t = Date{now}.civil(clock.localOffsetSeconds(now));
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04lld%02d%02d-%02d%02d%02d", static_cast<long long>(t.year), t.month, t.day,
                  t.hour, t.minute, t.second);
    return buffer;
}

}  // namespace

void StoreRecovery::quarantine(const std::string& path) { moveAside(path); }

bool StoreRecovery::moveAside(const std::string& path, std::string* movedTo, const std::string& reason) {
    Files& files = platform().files();
    if (!files.exists(path)) return true;

    const std::string folder = parentFolder(path);
    const std::string name = fileName(path);
    // "layouts.json" splits into "layouts" and "json"; a name without a dot (or with
    // only a leading one) has no extension and gets no trailing dot.
    const auto dot = name.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot != 0;
    const std::string base = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : "";
    const std::string stem = base + ".corrupt-" + timeStamp();

    std::string candidate = joinPath(folder, stem + extension);
    for (int n = 1; files.exists(candidate); ++n)
        candidate = joinPath(folder, stem + "-" + std::to_string(n) + extension);

    try {
        files.move(path, candidate);
    } catch (const std::exception& e) {
        platform().log().line("kestr: failed to quarantine " + name + ": " + e.what());
        return false;
    }
    // Where it went in full, so that it can be found from the log alone.
    platform().log().line("kestr: quarantined corrupt " + name + " \u2192 " + candidate +
                          (reason.empty() ? "" : ": " + PrintableText::of(reason)));
    if (movedTo) *movedTo = candidate;
    return true;
}

}  // namespace kestr
