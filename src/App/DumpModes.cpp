// --dump and --probe-min-size.
#include <set>

#include "App/DiagnosticModes.h"
#include "Core/KnownApplications.h"
#include "Platform/Platform.h"
#include "Tools/MinSizeProbe.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

int DiagnosticModes::windowDump(ConsoleOutput& output) {
    output.out(WindowEnumerator::makeDumpText());
    return 0;
}

Task<int> DiagnosticModes::minSizeProbe(ConsoleOutput& output) {
    // The applications whose minimum sizes kestr relies on; where applications go by
    // desktop-file ids, those of this desktop's rows: the terminals, file managers and
    // browsers whose windows kestr opens.
    const bool desktopFiles = platform().capabilities().desktopFileIDs;
    std::set<std::string> bundleIDs;
    for (const KnownApplication& row : KnownApplications::table()) {
        if (desktopFiles ? row.commandLine != CommandLineFamily::none : row.minimumSize.has_value())
            bundleIDs.insert(row.bundleID);
    }
    const auto results = co_await MinSizeProbe::probeAll(std::move(bundleIDs));
    output.out(MinSizeProbe::format(results));
    co_return 0;
}

}  // namespace kestr
