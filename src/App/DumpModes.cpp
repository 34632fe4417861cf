// --dump and --probe-min-size.
#include <set>

#include "App/DiagnosticModes.h"
#include "Tools/MinSizeProbe.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

int DiagnosticModes::windowDump(ConsoleOutput& output) {
    output.out(WindowEnumerator::makeDumpText());
    return 0;
}

Task<int> DiagnosticModes::minSizeProbe(ConsoleOutput& output) {
    std::set<std::string> bundleIDs;
    bundleIDs.insert("com.apple.Terminal");
    bundleIDs.insert("com.apple.finder");
    const auto results = co_await MinSizeProbe::probeAll(std::move(bundleIDs));
    output.out(MinSizeProbe::format(results));
    co_return 0;
}

}  // namespace kestr
