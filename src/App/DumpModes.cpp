// --dump and --probe-min-size.
#include <set>

#include "App/DiagnosticModes.h"
#include "Core/KnownApplications.h"
#include "Tools/MinSizeProbe.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

int DiagnosticModes::windowDump(ConsoleOutput& output) {
    output.out(WindowEnumerator::makeDumpText());
    return 0;
}

Task<int> DiagnosticModes::minSizeProbe(ConsoleOutput& output) {
    // The applications whose minimum sizes kestr relies on.
    std::set<std::string> bundleIDs;
    for (const KnownApplication& row : KnownApplications::table()) {
        if (row.minimumSize) bundleIDs.insert(row.bundleID);
    }
    const auto results = co_await MinSizeProbe::probeAll(std::move(bundleIDs));
    output.out(MinSizeProbe::format(results));
    co_return 0;
}

}  // namespace kestr
