// --apply-kest NAME [DISPLAY]: applies the first kest of that name, prints the report and
// waits for the windows that come late.
#include "App/DiagnosticModes.h"
#include "Core/LayoutStore.h"
#include "Core/UnicodeText.h"
#include "Layout/ApplyLog.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Window/DisplayManager.h"

namespace kestr {

Task<int> DiagnosticModes::applyByName(ConsoleOutput& output, std::vector<std::string> arguments, std::string name,
                                       std::size_t position) {
    LayoutStore& store = LayoutStore::shared();
    // Goes on with whatever the store holds: a missing or unreadable file means none.
    // The user is told when the file could not be read, and where a damaged one went.
    std::optional<std::string> failure;
    try {
        store.load();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (const auto& aside = store.quarantined) {
        output.err(PrintableText::of("kestr: the kest file could not be read (" + aside->reason + "); it was kept at " +
                                     aside->path + (failure ? "" : ", and its backup is used")) +
                   "\n");
    } else if (failure) {
        output.err(PrintableText::of("kestr: the kest file could not be read (" + *failure + ")") + "\n");
    }
    // Bytes that are not UTF-8 name no kest.
    const auto wanted = UnicodeText::canonicalForm(name);
    std::optional<Layout> layout;
    for (const Layout& l : store.layouts) {
        if (wanted && UnicodeText::canonicalForm(l.name) == wanted) {
            layout = l;
            break;
        }
    }
    if (!layout) {
        output.err("no kest named " + PrintableText::of(name) + "\n");
        co_return 1;
    }

    Displays& displays = platform().displays();
    DisplayID anchor = DisplayManager::displayUnderMouse().value_or(displays.mainDisplayID());
    if (position + 2 < arguments.size()) {
        const std::string& prefix = arguments[position + 2];
        for (DisplayID id : DisplayManager::displaysLeftToRight()) {
            if (displays.displayUUIDString(id).value_or("").rfind(prefix, 0) == 0) {
                anchor = id;
                break;
            }
        }
    }
    const auto uuid = displays.displayUUIDString(anchor);
    output.err("anchor=" + (uuid ? uuid->substr(0, 8) : std::string("?")) + "\n");

    auto report = co_await LayoutApplier::apply(*layout, LayoutApplier::ApplyMode::restoreMissing,
                                                LayoutApplier::FrameSource::captured, anchor);
    // What is reported has been carried out: nothing waits for some of the requests (the
    // one that brings a minimised window back), and the process may end right after.
    Accessibility& accessibility = platform().accessibility();
    accessibility.deliverWrites();
    const std::size_t skipped = report.skipped.size() + static_cast<std::size_t>(report.windowsNotOpened);
    output.out("applied=" + std::to_string(report.applied) + " skipped=" + std::to_string(skipped) + "\n");
    for (const auto& skip : report.skipped)
        output.out("  SKIPPED " + PrintableText::of(skip.item.appName) + ": " + PrintableText::of(skip.reason) + "\n");
    if (report.windowsNotOpened > 0) {
        output.out("  SKIPPED " + std::to_string(report.windowsNotOpened) + " more: " + ApplyLog::notOpenedReason() +
                   "\n");
    }
    // The process ends with the mode: the windows that come after the apply are waited
    // for, and how each ended is printed as it ends.
    report.aftermath.listen([&output, &accessibility](const std::string& outcome) {
        accessibility.deliverWrites();
        output.out("  " + PrintableText::of(outcome) + "\n");
    });
    co_await report.aftermath.over();
    co_return 0;
}

}  // namespace kestr
