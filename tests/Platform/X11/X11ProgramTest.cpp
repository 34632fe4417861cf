// The program itself on the private X11 desktop: which desktop it chooses, the window
// dump by desktop-file id, and a kest applied by name to real windows.
#include <gmock/gmock.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "Platform/X11/Support/ExtensionHidingProxy.h"
#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/Subprocess.h"
#include "Platform/X11/Support/X11Test.h"

namespace kestr::x11test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
    bool outputEnded = false;  // nothing else held its standard output open once it ended
};

class X11ProgramTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        char pattern[] = "/tmp/kestr-x11-program-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = pattern;
        std::filesystem::create_directories(home + "/.local/share/applications");
        std::ofstream(home + "/.local/share/applications/kestr-test-editor.desktop")
            << "[Desktop Entry]\nType=Application\nName=Test Editor\nExec=true\nStartupWMClass=KestrEditor\n";
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
        X11Test::TearDown();
    }

    // kestr at home in this test's folder on the private display, with the user's own
    // folders and choice of desktop taken away.
    std::map<std::string, std::optional<std::string>> ownEnvironment() {
        return {{"HOME", home},
                {"DISPLAY", session().display()},
                {"XDG_DATA_HOME", std::nullopt},
                {"XDG_STATE_HOME", std::nullopt},
                {"XDG_CONFIG_HOME", std::nullopt},
                {"KESTR_DESKTOP", std::nullopt}};
    }

    Ran kestr(std::vector<std::string> arguments, std::map<std::string, std::optional<std::string>> extra = {}) {
        arguments.insert(arguments.begin(), KESTR_BINARY);
        Subprocess::Spec spec;
        spec.arguments = arguments;
        spec.environment = ownEnvironment();
        spec.environment["KESTR_SIM_DESKTOP"] = std::nullopt;
        spec.environment["KESTR_LOG_STDERR"] = std::nullopt;
        for (auto& [k, v] : extra) spec.environment[k] = v;
        spec.logFile = home + "/stderr.txt";
        spec.pipeStdout = true;
        Subprocess process(spec);
        std::string out;
        char buffer[4096];
        ssize_t n = 0;
        const auto drain = [&] {
            while ((n = read(process.stdoutFd(), buffer, sizeof buffer)) > 0) out.append(buffer, n);
        };
        for (int i = 0; i < 600 && !process.waitExit(0.05); ++i) drain();
        drain();
        Ran ran;
        ran.out = out;
        ran.outputEnded = n == 0;
        std::ifstream err(spec.logFile);
        ran.err.assign(std::istreambuf_iterator<char>(err), {});
        if (process.status() && WIFEXITED(*process.status())) ran.status = WEXITSTATUS(*process.status());
        return ran;
    }

    // The menu-bar application as a user starts it, logging to stderr.txt in its home.
    Subprocess::Spec menuBarApplication() {
        Subprocess::Spec spec;
        spec.arguments = {KESTR_BINARY};
        spec.environment = ownEnvironment();
        spec.environment["KESTR_LOG_STDERR"] = "1";
        for (const char* name : {"QT_QPA_PLATFORM", "QT_ENABLE_HIGHDPI_SCALING", "DBUS_SESSION_BUS_ADDRESS"})
            spec.environment[name] = std::nullopt;
        spec.logFile = home + "/stderr.txt";
        return spec;
    }
    std::string log() const {
        std::ifstream in(home + "/stderr.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string home;
};

TEST_F(X11ProgramTest, TheDumpListsTheRealWindowsAndAKestIsAppliedByName) {
    ClientOptions editor;
    editor.title = "draft.txt";
    editor.wmClass = "KestrEditor";
    editor.geometry = ClientGeometry{40, 60, 400, 300};
    ClientOptions other;
    other.title = "other";
    other.wmClass = "PlainTool";
    other.geometry = ClientGeometry{600, 60, 400, 300};
    const xcb_window_t e = spawn(editor).window();
    const xcb_window_t o = spawn(other).window();
    ASSERT_TRUE(waitUntil([&] { return property32(connection(), e, "_NET_FRAME_EXTENTS").has_value(); }));

    const Ran dump = kestr({"--dump"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_THAT(dump.out, HasSubstr("Test Editor           kestr-test-editor"));
    EXPECT_THAT(dump.out, HasSubstr("draft.txt"));
    EXPECT_THAT(dump.out, HasSubstr("PlainTool"));
    EXPECT_EQ(dump.err, "");
    std::smatch uuid;
    ASSERT_TRUE(std::regex_search(dump.out, uuid, std::regex("uuid=([0-9A-F-]{36})")));

    std::filesystem::create_directories(home + "/.local/share/kestr");
    const std::string file = home + "/.local/share/kestr/layouts.json";
    const auto item = [&](const std::string& bundle, const std::string& id, int x) {
        return "{\"appBundleID\":\"" + bundle + "\",\"appName\":\"x\",\"launchIfMissing\":false,\"id\":\"" + id +
               "\",\"targetFrame\":{\"displayUUID\":\"" + uuid[1].str() + "\",\"x\":" + std::to_string(x) +
               ",\"y\":0,\"width\":960,\"height\":700},\"windowMatcher\":{\"type\":\"firstWindow\"}}";
    };
    const std::string kests =
        "{\"version\":1,\"layouts\":[{\"createdAt\":\"2026-12-07T00:00:00Z\",\"updatedAt\":"
        "\"2026-12-07T00:00:00Z\",\"edgeGroups\":[],\"id\":\"EAD9EC86-D4FB-4724-BF32-29075E0CF854\","
        "\"name\":\"Desk\",\"items\":[" +
        item("kestr-test-editor", "A7A179AB-78A1-49F5-9101-285D7CC5CAF1", 0) + "," +
        item("PlainTool", "A7A179AB-78A1-49F5-9101-285D7CC5CAF2", 960) + "]}]}";
    std::ofstream(file) << kests;

    const Ran applied = kestr({"--apply-kest", "Desk"});
    ASSERT_EQ(applied.status, 0) << applied.err;
    EXPECT_THAT(applied.out, HasSubstr("applied=2 skipped=0"));
    EXPECT_EQ(frameOf(connection(), e), (XRect{0, 0, 960, 700}));
    EXPECT_EQ(frameOf(connection(), o), (XRect{960, 0, 960, 700}));
    // An apply changes nothing in the kest file.
    std::ifstream after(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), kests);
}

TEST_F(X11ProgramTest, AnApplyThatLaunchesAProgramEndsItsOutputWhenItEnds) {
    std::ofstream(home + "/.local/share/applications/kestr-test-launched.desktop")
        << "[Desktop Entry]\nType=Application\nName=Launched\nExec=" << KESTR_TEST_CLIENT
        << " --detached --class KestrLaunched\n";
    std::filesystem::create_directories(home + "/.local/share/kestr");
    std::ofstream(home + "/.local/share/kestr/layouts.json")
        << "{\"version\":1,\"layouts\":[{\"createdAt\":\"2026-12-07T00:00:00Z\",\"updatedAt\":\"2026-12-07T00:00:00Z\","
           "\"edgeGroups\":[],\"id\":\"EAD9EC86-D4FB-4724-BF32-29075E0CF855\",\"name\":\"Launch\",\"items\":[{"
           "\"appBundleID\":\"kestr-test-launched\",\"appName\":\"Launched\",\"launchIfMissing\":true,\"id\":"
           "\"A7A179AB-78A1-49F5-9101-285D7CC5CAF3\",\"targetFrame\":{\"displayUUID\":\"\",\"x\":0,\"y\":0,\"width\":"
           "600,\"height\":400},\"windowMatcher\":{\"type\":\"firstWindow\"},\"openURL\":\"https://example.com/\"}]}]}";

    // As `kestr --apply-kest Launch | cat`: the reader sees the end of the output when
    // kestr ends, although the program it launched runs on.
    const Ran applied = kestr({"--apply-kest", "Launch"}, {{"KESTR_LOG_STDERR", "1"}});
    // Its desktop file takes no URL: it starts without one, and the log says so.
    const std::string file = home + "/.local/share/applications/kestr-test-launched.desktop";
    EXPECT_THAT(applied.err, HasSubstr("kestr[launch]: started without \"https://example.com/\": its desktop file " +
                                       file + " takes no URL or file\n"));
    std::optional<std::int32_t> launched;
    for (xcb_window_t w : clientList(connection()))
        if (property8(connection(), w, "WM_CLASS").value_or("").find("KestrLaunched") != std::string::npos)
            if (auto pid = property32(connection(), w, "_NET_WM_PID")) launched = static_cast<std::int32_t>(pid->at(0));
    ASSERT_TRUE(launched) << applied.out << applied.err;
    EXPECT_EQ(::kill(*launched, 0), 0);
    ::kill(*launched, SIGKILL);
    EXPECT_EQ(applied.status, 0) << applied.err;
    EXPECT_TRUE(applied.outputEnded);
}

TEST_F(X11ProgramTest, AnApplyEndsOnceTheWindowThatCameAfterTheLaunchWaitIsPlaced) {
    std::ofstream(home + "/.local/share/applications/kestr-test-late.desktop")
        << "[Desktop Entry]\nType=Application\nName=Late\nExec=" << KESTR_TEST_CLIENT
        << " --detached --delay 6 --class KestrLate\n";
    std::smatch uuid;
    const std::string dump = kestr({"--dump"}).out;
    ASSERT_TRUE(std::regex_search(dump, uuid, std::regex("uuid=([0-9A-F-]{36})")));
    std::filesystem::create_directories(home + "/.local/share/kestr");
    std::ofstream(home + "/.local/share/kestr/layouts.json")
        << "{\"version\":1,\"layouts\":[{\"createdAt\":\"2026-12-07T00:00:00Z\",\"updatedAt\":\"2026-12-07T00:00:00Z\","
           "\"edgeGroups\":[],\"id\":\"EAD9EC86-D4FB-4724-BF32-29075E0CF856\",\"name\":\"Late\",\"items\":[{"
           "\"appBundleID\":\"kestr-test-late\",\"appName\":\"Late\",\"launchIfMissing\":true,\"id\":"
           "\"A7A179AB-78A1-49F5-9101-285D7CC5CAF4\",\"targetFrame\":{\"displayUUID\":\"" + uuid[1].str() +
               "\",\"x\":120,\"y\":80,"
           "\"width\":640,\"height\":420},\"windowMatcher\":{\"type\":\"firstWindow\"}}]}]}";

    // Its window maps 6 s after the launch, past the 5 s launch wait.
    const Ran applied = kestr({"--apply-kest", "Late"});
    std::optional<xcb_window_t> late;
    for (xcb_window_t w : clientList(connection()))
        if (property8(connection(), w, "WM_CLASS").value_or("").find("KestrLate") != std::string::npos) late = w;
    ASSERT_TRUE(late) << applied.out << applied.err;
    EXPECT_EQ(frameOf(connection(), *late), (XRect{120, 80, 640, 420})) << applied.out << applied.err;
    if (auto pid = property32(connection(), *late, "_NET_WM_PID")) ::kill(static_cast<pid_t>(pid->at(0)), SIGKILL);
    EXPECT_EQ(applied.status, 0) << applied.err;
    EXPECT_THAT(applied.out, HasSubstr("applied=0 skipped=0\n  DEFERRED PLACED Late → "));
}

// The apply's requests are carried out before kestr reports them and ends: under xfwm4, a
// kest whose windows stand in their slots already, one full screen and one minimised,
// brings both back although nothing waits for the minimised one to move. kestr reaches
// the server through a proxy that drops what a client sent last if it hangs up soon after,
// as a busy server does.
TEST_F(X11ProgramTest, AnApplyByNameEndsOnlyOnceTheWindowManagerHasItsRequests) {
    ASSERT_NO_THROW(session().startWindowManager(WindowManager::xfwm4));
    std::smatch uuid;
    const std::string dump = kestr({"--dump"}).out;
    ASSERT_TRUE(std::regex_search(dump, uuid, std::regex("uuid=([0-9A-F-]{36})")));
    std::vector<xcb_window_t> windows;
    std::vector<XRect> slots;
    std::string items;
    for (int i = 0; i < 5; ++i) {
        ClientOptions options;
        options.title = "slot " + std::to_string(i);
        options.wmClass = "KestrSlot" + std::to_string(i);
        options.geometry = ClientGeometry{i * 700 + 50, 300, 400, 300};
        windows.push_back(spawn(options).window());
        slots.push_back(XRect{i * 768, 0, 768, 540});
        items += std::string(i ? "," : "") + R"({"appBundleID":"KestrSlot)" + std::to_string(i) +
                 R"(","appName":"Slot","launchIfMissing":false,"id":"A7A179AB-78A1-49F5-9101-285D7CC5CAE)" +
                 std::to_string(i) + R"(","targetFrame":{"displayUUID":")" + uuid[1].str() + R"(","x":)" +
                 std::to_string(i * 768) + R"(,"y":0,"width":768,"height":540},"windowMatcher":{"type":"firstWindow"}})";
    }
    std::filesystem::create_directories(home + "/.local/share/kestr");
    std::ofstream(home + "/.local/share/kestr/layouts.json")
        << R"({"version":1,"layouts":[{"createdAt":"2026-12-07T00:00:00Z","updatedAt":"2026-12-07T00:00:00Z",)"
           R"("edgeGroups":[],"id":"EAD9EC86-D4FB-4724-BF32-29075E0CF858","name":"XF","items":[)" +
               items + "]}]}";
    const auto inSlots = [&] {
        for (std::size_t i = 0; i < windows.size(); ++i)
            if (frameOf(connection(), windows[i]) != slots[i]) return false;
        return true;
    };
    ASSERT_THAT(kestr({"--apply-kest", "XF"}).out, HasSubstr("applied=5 skipped=0"));
    ASSERT_TRUE(waitUntil(inSlots));

    xcb_ewmh_request_change_wm_state(&session().ewmh(), 0, windows[0], XCB_EWMH_WM_STATE_ADD,
                                     session().ewmh()._NET_WM_STATE_FULLSCREEN, 0, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    const std::uint32_t iconic[] = {3};
    xcb_ewmh_send_client_message(connection(), windows[1], session().root(), atom(connection(), "WM_CHANGE_STATE"),
                                 1, iconic);
    xcb_flush(connection());
    const auto inState = [&](xcb_window_t w, const char* state) { return hasState(connection(), w, state); };
    ASSERT_TRUE(waitUntil(
        [&] { return inState(windows[0], "_NET_WM_STATE_FULLSCREEN") && inState(windows[1], "_NET_WM_STATE_HIDDEN"); }));

    const ExtensionHidingProxy busy(session().display(), "", std::chrono::milliseconds(50));
    const Ran applied = kestr({"--apply-kest", "XF"}, {{"DISPLAY", busy.display()}});
    EXPECT_THAT(applied.out, HasSubstr("applied=5 skipped=0"));
    EXPECT_TRUE(waitUntil([&] {
        return !inState(windows[0], "_NET_WM_STATE_FULLSCREEN") && !inState(windows[1], "_NET_WM_STATE_HIDDEN") &&
               inSlots();
    })) << "full screen " << inState(windows[0], "_NET_WM_STATE_FULLSCREEN") << ", minimised "
        << inState(windows[1], "_NET_WM_STATE_HIDDEN") << ", " << toString(*frameOf(connection(), windows[0])) << "\n"
        << applied.out << applied.err;
}

// The menu-bar application sets Qt's platform and scaling for its own windows; the
// programs it launches get the environment kestr was started with.
TEST_F(X11ProgramTest, ProgramsTheMenuBarApplicationLaunchesGetTheEnvironmentItWasStartedWith) {
    std::ofstream(home + "/.local/share/applications/kestr-test-env.desktop")
        << "[Desktop Entry]\nType=Application\nName=Env\nExec=" << KESTR_TEST_CLIENT << " --detached --class KestrEnv\n";
    std::filesystem::create_directories(home + "/.local/share/kestr");
    // Ctrl+Shift+Super+1 applies it.
    std::ofstream(home + "/.local/share/kestr/layouts.json")
        << R"({"version":1,"layouts":[{"createdAt":"2026-12-07T00:00:00Z","updatedAt":"2026-12-07T00:00:00Z",)"
           R"("edgeGroups":[],"id":"EAD9EC86-D4FB-4724-BF32-29075E0CF856","name":"Env",)"
           R"("hotkey":{"keyCode":18,"modifiers":4864},"items":[{"appBundleID":"kestr-test-env","appName":"Env",)"
           R"("launchIfMissing":true,"id":"A7A179AB-78A1-49F5-9101-285D7CC5CAF4","targetFrame":{"displayUUID":"",)"
           R"("x":0,"y":0,"width":600,"height":400},"windowMatcher":{"type":"firstWindow"}}]}]})";
    Subprocess::Spec spec = menuBarApplication();
    spec.environment["KESTR_STARTED_WITH"] = "this";
    spec.environment["QT_SCALE_FACTOR"] = "2";
    Subprocess kestr(spec);
    ASSERT_TRUE(waitUntil([&] { return log().find("hotkeys registered") != std::string::npos; }, 30)) << log();
    const xcb_keycode_t keys[] = {keycodeOf(connection(), XK_Control_L), keycodeOf(connection(), XK_Shift_L),
                                  keycodeOf(connection(), XK_Super_L), keycodeOf(connection(), XK_1)};
    for (const xcb_keycode_t key : keys) fakeInput(connection(), session().root(), XCB_KEY_PRESS, key);
    for (const xcb_keycode_t key : keys) fakeInput(connection(), session().root(), XCB_KEY_RELEASE, key);
    xcb_flush(connection());

    std::optional<std::int32_t> launched;
    ASSERT_TRUE(waitUntil([&] {
        for (xcb_window_t w : clientList(connection()))
            if (property8(connection(), w, "WM_CLASS").value_or("").find("KestrEnv") != std::string::npos)
                if (auto pid = property32(connection(), w, "_NET_WM_PID")) launched = std::int32_t(pid->at(0));
        return launched.has_value();
    }, 30)) << log();
    std::ifstream in("/proc/" + std::to_string(*launched) + "/environ");
    std::set<std::string> names;
    for (std::string v; std::getline(in, v, '\0');) names.insert(v.substr(0, v.find('=')));
    ::kill(*launched, SIGKILL);
    kestr.terminate();
    EXPECT_TRUE(names.count("KESTR_STARTED_WITH"));
    EXPECT_FALSE(names.count("QT_QPA_PLATFORM"));
    EXPECT_FALSE(names.count("QT_ENABLE_HIGHDPI_SCALING"));
    EXPECT_TRUE(names.count("QT_SCALE_FACTOR")) << "kestr's own Qt runs unscaled, the programs it launches do not";
}

// kestr's windows are X windows measured in X pixels, whatever factor a HiDPI session
// sets to scale Qt programs by (under which Qt would put the panel below the screen).
// The first run's onboarding is 560 by 460.
TEST_F(X11ProgramTest, KestrsWindowsStayInXPixelsWhateverScaleTheSessionSetsForQt) {
    Subprocess::Spec spec = menuBarApplication();
    spec.environment["QT_SCALE_FACTOR"] = "2";
    spec.environment["QT_SCREEN_SCALE_FACTORS"] = "2";
    spec.environment["QT_FONT_DPI"] = "144";
    Subprocess kestr(spec);
    std::optional<XRect> onboarding;
    ASSERT_TRUE(waitUntil([&] {
        for (xcb_window_t w : clientList(connection()))
            if (property8(connection(), w, "_NET_WM_NAME") == "Welcome to kestr") onboarding = clientGeometry(connection(), w);
        return onboarding.has_value();
    }, 30)) << log();
    kestr.terminate();
    EXPECT_EQ(onboarding->width, 560) << toString(*onboarding);
    EXPECT_EQ(onboarding->height, 460) << toString(*onboarding);
}

// kestr's windows that stand in task lists (the first run's onboarding here; the manager
// and alerts take the same application-wide icon) carry kestr's own icon, drawn, at the
// usual sizes.
TEST_F(X11ProgramTest, KestrsWindowsCarryItsIconForTaskLists) {
    Subprocess kestr(menuBarApplication());
    std::optional<std::vector<uint32_t>> icon;
    ASSERT_TRUE(waitUntil([&] {
        for (xcb_window_t w : clientList(connection()))
            if (property8(connection(), w, "_NET_WM_NAME") == "Welcome to kestr") {
                icon = property32(connection(), w, "_NET_WM_ICON");
                return true;
            }
        return false;
    }, 30)) << log();
    kestr.terminate();
    ASSERT_TRUE(icon) << "no _NET_WM_ICON";
    // Pictures one after another: width, height, then that many ARGB pixels.
    std::set<std::pair<uint32_t, uint32_t>> sizes;
    std::size_t opaque = 0;
    for (std::size_t at = 0; at + 2 <= icon->size();) {
        const uint32_t width = (*icon)[at], height = (*icon)[at + 1];
        ASSERT_LE(at + 2 + std::size_t(width) * height, icon->size()) << "a picture cut short";
        sizes.insert({width, height});
        opaque += std::count_if(icon->begin() + std::ptrdiff_t(at + 2),
                                icon->begin() + std::ptrdiff_t(at + 2 + std::size_t(width) * height),
                                [](uint32_t argb) { return argb >> 24 == 0xff; });
        at += 2 + std::size_t(width) * height;
    }
    for (const uint32_t side : {16u, 32u, 48u, 128u}) EXPECT_TRUE(sizes.count({side, side})) << side;
    EXPECT_GT(opaque, 0u) << "the pictures are blank";
}

// The sample kest names a terminal and a browser this desktop has, by desktop-file id,
// on its main display; with none of them installed, the commonest.
TEST_F(X11ProgramTest, TheSampleKestNamesInstalledApplicationsOnTheMainDisplay) {
    const std::string shared = home + "/share";
    std::filesystem::create_directories(shared + "/applications");
    for (const char* id : {"xfce4-terminal", "firefox", "org.kde.konsole"}) {
        std::ofstream(shared + "/applications/" + id + ".desktop")
            << "[Desktop Entry]\nType=Application\nName=" << id << "\nExec=true\n";
    }
    const Ran displays = kestr({"--dump-displays"});
    std::smatch main;
    ASSERT_TRUE(std::regex_search(displays.out, main, std::regex("uuid=([0-9A-F]{8}) id=\\d+ \\[MAIN\\]")))
        << displays.out;

    const auto sample = [&](const std::string& dataDirs) {
        const std::string file = home + "/sample.json";
        const Ran wrote = kestr({"--write-sample-layout", file}, {{"XDG_DATA_DIRS", dataDirs}});
        EXPECT_EQ(wrote.status, 0) << wrote.err;
        std::ifstream in(file);
        const auto kest = nlohmann::json::parse(in)["layouts"].at(0);
        std::vector<std::string> found;
        for (const auto& item : kest["items"]) {
            found.push_back(item["appBundleID"]);
            EXPECT_EQ(item["targetFrame"]["displayUUID"].get<std::string>().substr(0, 8), main[1].str());
        }
        return found;
    };
    EXPECT_EQ(sample(shared), (std::vector<std::string>{"org.kde.konsole", "firefox"}));
    std::filesystem::remove(shared + "/applications/org.kde.konsole.desktop");
    EXPECT_EQ(sample(shared), (std::vector<std::string>{"xfce4-terminal", "firefox"}));
    EXPECT_EQ(sample(home + "/nothing"), (std::vector<std::string>{"org.gnome.Terminal", "firefox"}));
}

// Any client names its window as it likes: escape sequences, a bell, a NUL, a direction
// override, line breaks and line separators reach the dump as marks, and the window's row stays one line.
TEST_F(X11ProgramTest, TheDumpShowsAHostileTitleCleanedOnOneRow) {
    ClientOptions options;
    options.wmClass = "KestrHostile";
    const xcb_window_t w = spawn(options).window();
    const std::string title =
        "\x1b]0;owned\x07\x1b[2J\u202Eevil\nrow two\r" + std::string(1, '\0') + "end\u2028three\u2029four";
    xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, w, atom(connection(), "_NET_WM_NAME"),
                        atom(connection(), "UTF8_STRING"), 8, static_cast<std::uint32_t>(title.size()), title.data());
    ASSERT_EQ(property8(connection(), w, "_NET_WM_NAME"), title);

    const Ran dump = kestr({"--dump"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    std::string row;
    std::istringstream lines(dump.out);
    for (std::string line; std::getline(lines, line);)
        if (line.find("KestrHostile") != std::string::npos) row = line;
    EXPECT_THAT(row, ::testing::EndsWith(
                         "\uFFFD]0;owned\uFFFD\uFFFD[2J\uFFFDevil\uFFFDrow two\uFFFD\uFFFDend\uFFFDthree\uFFFDfour"));
    for (const char c : dump.out) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    EXPECT_THAT(dump.out, Not(HasSubstr("\u202E")));
}

// What this desktop reads of window content: each terminal window's folder, from its
// shell; what it cannot read is said once, with no script errors.
TEST_F(X11ProgramTest, TheContentDumpShowsEachTerminalsFolderAndSaysOnceWhatItCannotRead) {
    if (!findProgram("xterm")) GTEST_SKIP() << "no xterm";
    const std::string folder = home + "/proj ects";
    std::filesystem::create_directories(folder);
    Subprocess::Spec spec;
    spec.arguments = {"xterm", "-T", "shell", "-e", "sh", "-c", "cd \"$0\" && exec sleep 600", folder};
    spec.environment = {{"DISPLAY", session().display()}};
    spec.logFile = home + "/xterm.txt";
    Subprocess xterm(spec);
    // The shell changes folder after the window shows: no X event tells of it.
    const auto shellFolder = [&]() -> std::string {
        std::ifstream children("/proc/" + std::to_string(xterm.pid()) + "/task/" + std::to_string(xterm.pid()) +
                               "/children");
        pid_t child = 0;
        if (!(children >> child)) return "";
        std::error_code error;
        return std::filesystem::read_symlink("/proc/" + std::to_string(child) + "/cwd", error).string();
    };
    ASSERT_TRUE(waitUntil([&] {
        for (xcb_window_t c : clientList(connection()))
            if (property8(connection(), c, "WM_NAME") == "shell") return shellFolder() == folder;
        return false;
    }));

    const Ran dump = kestr({"--dump-content"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_THAT(dump.out, HasSubstr("=== Terminal windows"));
    EXPECT_THAT(dump.out, HasSubstr("  debian-xterm  pos=("));
    EXPECT_THAT(dump.out, HasSubstr("  title=shell  folder=" + folder + "\n"));
    EXPECT_THAT(dump.out, HasSubstr("Browser tabs, file-manager folders and a terminal's tabs and panes"));
    EXPECT_THAT(dump.out, Not(HasSubstr("ERROR")));
    EXPECT_THAT(dump.out, Not(HasSubstr("Finder")));
    xterm.terminate();
}

// The minimum-size probe measures this desktop's terminals, by their desktop-file ids,
// and puts each window back as it was: a maximised one leaves that state to be measured
// and is maximised again, over the frame it had before it was maximised (which openbox
// does not give back by itself).
class X11MinSizeProbeTest : public X11ProgramTest, public ::testing::WithParamInterface<WindowManager> {};

TEST_P(X11MinSizeProbeTest, TheMinimumSizeProbeMeasuresTheTerminalsOfThisDesktop) {
    ASSERT_NO_THROW(session().startWindowManager(GetParam()));
    std::ofstream(home + "/.local/share/applications/xfce4-terminal.desktop")
        << "[Desktop Entry]\nType=Application\nName=Terminal\nExec=true\nStartupWMClass=KestrTerminal\n";
    ClientOptions terminal;
    terminal.title = "shell";
    terminal.wmClass = "KestrTerminal";
    terminal.geometry = ClientGeometry{100, 100, 500, 400};
    terminal.minSize = ClientSize{300, 200};
    const xcb_window_t w = spawn(terminal).window();
    terminal.title = "big";
    terminal.geometry = ClientGeometry{600, 300, 480, 340};
    const xcb_window_t big = spawn(terminal).window();
    const auto maximised = [&] {
        return hasState(connection(), big, "_NET_WM_STATE_MAXIMIZED_VERT") &&
               hasState(connection(), big, "_NET_WM_STATE_MAXIMIZED_HORZ");
    };
    const auto extents = [&](xcb_window_t window) { return property32(connection(), window, "_NET_FRAME_EXTENTS"); };
    ASSERT_TRUE(waitUntil([&] { return extents(w) && extents(big); }));
    const XRect bigNormal = *frameOf(connection(), big);
    const auto askMaximised = [&](std::uint32_t action) {
        xcb_ewmh_request_change_wm_state(&session().ewmh(), 0, big, static_cast<xcb_ewmh_wm_state_action_t>(action),
                                         session().ewmh()._NET_WM_STATE_MAXIMIZED_VERT,
                                         session().ewmh()._NET_WM_STATE_MAXIMIZED_HORZ,
                                         XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        xcb_flush(connection());
    };
    askMaximised(XCB_EWMH_WM_STATE_ADD);
    // Its decorations change with the state: the frame is taken once it lies across the screen.
    ASSERT_TRUE(waitUntil([&] {
        const auto f = frameOf(connection(), big);
        return maximised() && f->x == 0 && f->y >= 0 && f->width == session().width();
    }));
    const XRect before = *frameOf(connection(), w), bigBefore = *frameOf(connection(), big);
    const auto size = [](int width, int height) { return std::to_string(width) + " × " + std::to_string(height); };

    const Ran probed = kestr({"--probe-min-size"});
    ASSERT_EQ(probed.status, 0) << probed.err;
    EXPECT_THAT(probed.out, HasSubstr("[Terminal] shell\n  bundle: xfce4-terminal\n  original: " +
                                      size(before.width, before.height) +
                                      "\n  min     : " + size(before.width - 200, before.height - 200) + "\n"));
    EXPECT_THAT(probed.out, HasSubstr("[Terminal] big\n"));
    EXPECT_THAT(probed.out, Not(HasSubstr("min     : " + size(bigBefore.width, bigBefore.height))));
    EXPECT_TRUE(waitUntil([&] { return frameOf(connection(), w) == before; })) << toString(*frameOf(connection(), w));
    EXPECT_TRUE(waitUntil([&] { return maximised() && frameOf(connection(), big) == bigBefore; }))
        << toString(*frameOf(connection(), big)) << " was " << toString(bigBefore);
    askMaximised(XCB_EWMH_WM_STATE_REMOVE);
    EXPECT_TRUE(waitUntil([&] { return !maximised() && frameOf(connection(), big) == bigNormal; }))
        << toString(*frameOf(connection(), big)) << " was " << toString(bigNormal);
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, X11MinSizeProbeTest,
                         ::testing::Values(WindowManager::openbox, WindowManager::xfwm4),
                         [](const auto& manager) { return std::string(nameOf(manager.param)); });

TEST_F(X11ProgramTest, TheDesktopIsChosenByItsWindowManagerOrByKestrDesktop) {
    const Ran forced = kestr({"--dump"}, {{"KESTR_DESKTOP", "simulated"}});
    EXPECT_EQ(forced.status, 0);
    EXPECT_THAT(forced.out, HasSubstr("com.apple.finder"));
    EXPECT_EQ(forced.err, "");

    const Ran unknown = kestr({"--dump"}, {{"KESTR_DESKTOP", "wayland"}});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_THAT(unknown.err, HasSubstr("KESTR_DESKTOP must be \"simulated\" or \"x11\""));

    session().stopWindowManager();
    const Ran bare = kestr({"--dump"});
    EXPECT_EQ(bare.status, 0);
    EXPECT_THAT(bare.err, HasSubstr("no window manager announces itself on the X display " + session().display()));
    EXPECT_THAT(bare.out, HasSubstr("com.apple.finder"));
    const Ran noDisplay = kestr({"--dump"}, {{"KESTR_DESKTOP", "x11"}, {"DISPLAY", ":9999"}});
    EXPECT_EQ(noDisplay.status, 1);
    EXPECT_THAT(noDisplay.err, HasSubstr("cannot open the X display :9999"));
    EXPECT_THAT(noDisplay.out, Not(HasSubstr("Window Dump")));
}

}  // namespace
}  // namespace kestr::x11test
