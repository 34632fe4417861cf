// The inotify file watch on a real folder, read from the main actor: what another
// writer does to the watched file is reported once per batch, nothing else is, and
// an ended watch is silent. Also the plain real-time loop serving a descriptor.
#include "Platform/Posix/InotifyFileWatch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "Platform/Posix/PosixFiles.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class InotifyFileWatchTest : public test::SimTest {
protected:
    std::string folder() { return sim->simFiles().folders().applicationSupport; }
};

TEST_F(InotifyFileWatchTest, ReportsReplacingWritingAndRemovingTheWatchedFileOnly) {
    VirtualMainActor& loop = sim->virtualTime();
    InotifyFileWatch watch(loop);
    PosixFiles files(UserFolders{});
    const std::string path = folder() + "/layouts.json";
    int calls = 0;
    auto watched = watch.watch(path, [&] { ++calls; });
    auto other = watch.watch(folder() + "/snaps.json", [] {});

    files.writeAtomically(path, "one");
    files.writeAtomically(path, "two");
    loop.runPending();
    EXPECT_EQ(calls, 1) << "changes before a call come as one";
    files.writeAtomically(folder() + "/unrelated.json", "x");
    files.writeAtomically(folder() + "/snaps.json", "x");
    loop.runPending();
    EXPECT_EQ(calls, 1);
    files.remove(path);
    loop.runPending();
    EXPECT_EQ(calls, 2);

    other.reset();  // the folder stays watched for the other file
    files.writeAtomically(path, "three");
    loop.runPending();
    EXPECT_EQ(calls, 3);
    watched.reset();
    files.writeAtomically(path, "four");
    loop.runPending();
    EXPECT_EQ(calls, 3);
    EXPECT_THROW(watch.watch(folder() + "/missing/file.json", [] {}), FileError);

    // A link is watched where it points as well.
    files.createDirectories(folder() + "/dotfiles");
    files.writeAtomically(folder() + "/dotfiles/linked.json", "one");
    ASSERT_EQ(::symlink((folder() + "/dotfiles/linked.json").c_str(), (folder() + "/link.json").c_str()), 0);
    int linkCalls = 0;
    auto link = watch.watch(folder() + "/link.json", [&] { ++linkCalls; });
    files.writeAtomically(folder() + "/dotfiles/linked.json", "two");
    loop.runPending();
    EXPECT_EQ(linkCalls, 1);
}

TEST(RealTimeMainActorTest, ServesAWatchedDescriptorAmongItsTimers) {
    RealTimeMainActor loop;
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    std::string trace;
    auto watch = loop.watchReadable(pipe[0], [&] {
        char c = 0;
        if (::read(pipe[0], &c, 1) == 1) trace += c;
        if (trace == "a") loop.post([&] { ASSERT_EQ(::write(pipe[1], "b", 1), 1); });
        if (trace.size() == 2) loop.stop();
    });
    loop.post([&] { ASSERT_EQ(::write(pipe[1], "a", 1), 1); });
    loop.run();
    EXPECT_EQ(trace, "ab");
    watch.reset();
    ::close(pipe[0]);
    ::close(pipe[1]);
}

}  // namespace
}  // namespace kestr
