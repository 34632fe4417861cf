// --write-sample-layout PATH: a kest file holding the sample kest, a terminal and a browser
// this desktop can open, side by side on its main display.
#include <filesystem>
#include <optional>

#include "App/DiagnosticModes.h"
#include "Core/KnownApplications.h"
#include "Core/LayoutStore.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"

namespace kestr {

namespace {

const char* const sampleDisplayUUID = "37D8832A-2D66-4B0F-9F3F-1234567890AB";
const char* const sampleServerURL = "http://localhost:3000/";
const char* const sampleServerHost = "localhost";

struct SampleApp {
    const char* bundleID;
    const char* name;
};

// The commonest first. Only those kestr can open on this desktop count: the scripted
// applications where applications take scripts, else those with a known command line
// (by desktop-file id).
constexpr SampleApp terminals[] = {
    {"com.apple.Terminal", "Terminal"},  {"org.gnome.Terminal", "Terminal"}, {"org.kde.konsole", "Konsole"},
    {"xfce4-terminal", "Xfce Terminal"}, {"debian-xterm", "XTerm"},
};
constexpr SampleApp browsers[] = {
    {"com.google.Chrome", "Chrome"},    {"firefox", "Firefox"},
    {"firefox-esr", "Firefox ESR"},     {"chromium", "Chromium"},
    {"google-chrome", "Google Chrome"},
};

// The first one installed, else the commonest.
template <std::size_t n>
SampleApp pick(const SampleApp (&choices)[n]) {
    const bool scripts = platform().capabilities().applicationsTakeScripts;
    std::optional<SampleApp> commonest;
    for (const SampleApp& app : choices) {
        const bool opens = scripts ? KnownApplications::scripts(app.bundleID) != ScriptFamily::none
                                   : KnownApplications::commandLine(app.bundleID) != CommandLineFamily::none;
        if (!opens) continue;
        if (platform().workspace().urlForApplication(app.bundleID)) return app;
        if (!commonest) commonest = app;
    }
    return commonest.value_or(choices[0]);
}

ScreenFrame sampleFrame(const std::string& displayUUID, double x, double width) {
    ScreenFrame f;
    f.displayUUID = displayUUID;
    f.x = x;
    f.y = 0;
    f.width = width;
    f.height = 1200;
    return f;
}

Layout sampleLayout() {
    const Date now = Date::now();
    Layout layout;
    layout.id = Uuid::random();
    layout.name = "Coding (sample)";
    layout.hotkey = Hotkey{18, 0x1300};
    layout.createdAt = now;
    layout.updatedAt = now;

    // On the main display, so that applying the sample places its windows.
    Displays& displays = platform().displays();
    const std::string display = displays.displayUUIDString(displays.mainDisplayID()).value_or(sampleDisplayUUID);

    const SampleApp terminalApp = pick(terminals);
    LayoutItem terminal;
    terminal.id = Uuid::random();
    terminal.appBundleID = terminalApp.bundleID;
    terminal.appName = terminalApp.name;
    terminal.windowMatcher = WindowMatcher::firstWindow();
    terminal.targetFrame = sampleFrame(display, 0, 800);
    terminal.launchIfMissing = true;

    const SampleApp browserApp = pick(browsers);
    LayoutItem browser;
    browser.id = Uuid::random();
    browser.appBundleID = browserApp.bundleID;
    browser.appName = browserApp.name;
    browser.windowMatcher = WindowMatcher::titleContains(sampleServerHost);
    browser.targetFrame = sampleFrame(display, 800, 1120);
    browser.launchIfMissing = true;
    browser.openURL = Url::parse(sampleServerURL);

    layout.items = {terminal, browser};
    return layout;
}

}  // namespace

int DiagnosticModes::writeSampleLayout(ConsoleOutput& output, const std::string& path,
                                       const std::string& currentDirectory) {
    // A relative path is resolved against the current folder, its "." and ".." steps
    // taken out; an absolute one is used as given.
    const std::filesystem::path given(path);
    const std::string filePath =
        given.is_absolute() ? path : (std::filesystem::path(currentDirectory) / given).lexically_normal().string();
    // A store of its own: whatever the file held is replaced, never loaded.
    LayoutStore store(filePath);
    store.layouts = {sampleLayout()};
    try {
        store.save();
    } catch (const std::exception& e) {
        output.err(PrintableText::of(std::string("Failed to write sample: ") + e.what()) + "\n");
        return 1;
    }
    output.out("Wrote sample layout to " + PrintableText::of(filePath) + "\n");
    return 0;
}

}  // namespace kestr
