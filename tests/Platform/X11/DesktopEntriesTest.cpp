// Which desktop file a window class or a launched process belongs to.
#include "Platform/X11/DesktopEntries.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Platform/X11/Support/Subprocess.h"

namespace kestr::x11test {
namespace {

class DesktopEntriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kestr-entries-XXXXXX";
        folder = ::mkdtemp(pattern);
        std::filesystem::create_directories(folder + "/applications");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void write(const std::string& id, const std::string& lines) {
        std::ofstream(folder + "/applications/" + id + ".desktop")
            << "[Desktop Entry]\nType=Application\nName=" << id << "\n"
            << lines << "\n";
    }
    std::string found(DesktopEntries& entries, const std::string& wmClass, const std::string& instance = "") {
        const DesktopEntry* entry = entries.forWindowClass(wmClass, instance);
        return entry ? entry->id : "none";
    }

    std::string folder;
};

TEST_F(DesktopEntriesTest, AWindowClassFindsTheEntryThatNamesItAsTheFolderHoldsItNow) {
    write("a-editor", "StartupWMClass=editor");
    write("b-editor", "StartupWMClass=Editor");
    write("secret", "StartupWMClass=Secret\nHidden=true");
    DesktopEntries entries({folder});
    EXPECT_EQ(found(entries, "Editor"), "b-editor") << "the class as it is written comes first";
    EXPECT_EQ(found(entries, "EDITOR"), "a-editor") << "then, letter case aside, the first by id";
    EXPECT_EQ(found(entries, "Nothing", "editor"), "a-editor") << "the instance when the class names none";
    EXPECT_EQ(found(entries, "Secret"), "none") << "a hidden entry is no application";
    EXPECT_EQ(found(entries, ""), "none");

    // An application installed while the program runs, found by its file's name.
    EXPECT_EQ(found(entries, "ORG.EXAMPLE.VIEWER"), "none");
    write("org.example.Viewer", "");
    EXPECT_EQ(found(entries, "ORG.EXAMPLE.VIEWER"), "org.example.Viewer");
    const DesktopEntry* viewer = entries.byPath(folder + "/applications/org.example.Viewer.desktop");
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->id, "org.example.Viewer");
}

// The note a launcher leaves in the environment is found wherever it stands in it.
TEST_F(DesktopEntriesTest, TheLaunchedDesktopFileIsReadPastTheStartOfALargeEnvironment) {
    Subprocess::Spec spec;
    // The inner shell keeps the outer one's pid, and the environment in this order; it
    // waits on its input, so its environment stays as it is while it is read.
    spec.arguments = {"sh", "-c",
                      "exec env -i PADDING=\"$PADDING\" GIO_LAUNCHED_DESKTOP_FILE=/apps/x.desktop "
                      "GIO_LAUNCHED_DESKTOP_FILE_PID=$$ sh -c 'echo ready; read line'"};
    spec.environment = {{"PADDING", std::string(100 * 1024, 'p')}};
    spec.pipeStdin = true;
    spec.pipeStdout = true;
    Subprocess child(spec);
    std::string out;
    pollfd ready{child.stdoutFd(), POLLIN, 0};
    char buffer[64];
    for (ssize_t n; out.find("ready") == std::string::npos && ::poll(&ready, 1, 10000) > 0 &&
                    (n = ::read(child.stdoutFd(), buffer, sizeof buffer)) > 0;)
        out.append(buffer, std::size_t(n));
    ASSERT_NE(out.find("ready"), std::string::npos);
    EXPECT_EQ(DesktopEntries::launchedDesktopFile(child.pid()), "/apps/x.desktop");
}

}  // namespace
}  // namespace kestr::x11test
