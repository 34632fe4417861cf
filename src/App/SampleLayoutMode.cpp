// --write-sample-layout PATH: a kest file holding one fixed sample kest.
#include <filesystem>

#include "App/DiagnosticModes.h"
#include "Core/LayoutStore.h"

namespace kestr {

namespace {

const char* const sampleDisplayUUID = "37D8832A-2D66-4B0F-9F3F-1234567890AB";
const char* const sampleServerURL = "http://localhost:3000/";
const char* const sampleServerHost = "localhost";

ScreenFrame sampleFrame(double x, double width) {
    ScreenFrame f;
    f.displayUUID = sampleDisplayUUID;
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

    LayoutItem terminal;
    terminal.id = Uuid::random();
    terminal.appBundleID = "com.apple.Terminal";
    terminal.appName = "Terminal";
    terminal.windowMatcher = WindowMatcher::firstWindow();
    terminal.targetFrame = sampleFrame(0, 800);
    terminal.launchIfMissing = true;

    LayoutItem browser;
    browser.id = Uuid::random();
    browser.appBundleID = "com.google.Chrome";
    browser.appName = "Chrome";
    browser.windowMatcher = WindowMatcher::titleContains(sampleServerHost);
    browser.targetFrame = sampleFrame(800, 1120);
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
    const std::string filePath = given.is_absolute()
                                     ? path
                                     : (std::filesystem::path(currentDirectory) / given).lexically_normal().string();
    // A store of its own: whatever the file held is replaced, never loaded.
    LayoutStore store(filePath);
    store.layouts = {sampleLayout()};
    try {
        store.save();
    } catch (const std::exception& e) {
        output.err(std::string("Failed to write sample: ") + e.what() + "\n");
        return 1;
    }
    output.out("Wrote sample layout to " + filePath + "\n");
    return 0;
}

}  // namespace kestr
