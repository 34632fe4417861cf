// Files on the real file system: what a read or a copy accepts. Kest files are copied
// between machines and edited by hand, so a path may name anything.
#include "Platform/Posix/PosixFiles.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "Platform/Sim/SimDesktop.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

namespace fs = std::filesystem;

class PosixFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = (fs::temp_directory_path() / "kestr-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(root.data()), nullptr);
    }
    void TearDown() override { fs::remove_all(root); }

    std::string error(const std::function<void()>& operation) {
        auto e = test::thrown<FileError>(operation);
        return e ? e->what() : "";
    }

    std::string root;
    PosixFiles files{UserFolders{}};
};

// Each of these once blocked for ever, read until memory ran out, or copied a folder.
TEST_F(PosixFilesTest, OnlyRegularFilesAreReadOrCopied) {
    const std::string file = root + "/layouts.json";
    files.writeAtomically(file, "{}");
    fs::create_symlink(file, root + "/link.json");
    EXPECT_EQ(files.read(root + "/link.json"), "{}") << "links are followed";
    files.copy(root + "/link.json", root + "/copy.json");
    EXPECT_EQ(files.read(root + "/copy.json"), "{}");

    fs::create_directory(root + "/folder");
    EXPECT_EQ(error([&] { files.read(root + "/folder"); }), "cannot read " + root + "/folder: Is a directory");
    EXPECT_EQ(error([&] { files.copy(root + "/folder", root + "/folder.bak"); }),
              "cannot copy " + root + "/folder: Is a directory");
    EXPECT_FALSE(files.exists(root + "/folder.bak"));

    fs::create_symlink("/dev/null", root + "/device.json");
    EXPECT_EQ(error([&] { files.read(root + "/device.json"); }),
              "cannot read " + root + "/device.json: not a regular file");
    EXPECT_EQ(error([&] { files.copy(root + "/device.json", root + "/device.bak"); }),
              "cannot copy " + root + "/device.json: not a regular file");

    ASSERT_EQ(::mkfifo((root + "/pipe.json").c_str(), 0600), 0);
    EXPECT_EQ(error([&] { files.read(root + "/pipe.json"); }),
              "cannot read " + root + "/pipe.json: not a regular file");
    // The simulated desktop's scenario file is read the same way.
    EXPECT_THROW(SimDesktop::loadScenario(root + "/pipe.json"), FileError);
}

TEST_F(PosixFilesTest, FileAboveTheSizeLimitIsRefusedUnread) {
    const std::string file = root + "/layouts.json";
    files.writeAtomically(file, "");
    ASSERT_EQ(::truncate(file.c_str(), Files::maxReadSize), 0);
    EXPECT_EQ(files.read(file).size(), static_cast<std::size_t>(Files::maxReadSize)) << "the limit itself is fine";
    ASSERT_EQ(::truncate(file.c_str(), Files::maxReadSize + 1), 0);
    auto e = test::thrown<FileTooLargeError>([&] { files.read(file); });
    ASSERT_TRUE(e);
    EXPECT_STREQ(e->what(), ("cannot read " + file + ": larger than 512 MB").c_str());
}

// Whatever kestr writes it can read back: a write past the write limit is refused
// whole, and the limit lies well inside what a read takes.
TEST_F(PosixFilesTest, WriteAboveTheWriteLimitIsRefusedAndLeavesTheFile) {
    const std::string file = root + "/layouts.json";
    files.writeAtomically(file, "old");
    auto e = test::thrown<FileTooLargeError>(
        [&] { files.writeAtomically(file, std::string(static_cast<std::size_t>(Files::maxWriteSize) + 1, ' ')); });
    ASSERT_TRUE(e);
    EXPECT_STREQ(e->what(),
                 ("cannot write " + file + ": too large to read back (257 MB; the limit is 256 MB)").c_str());
    EXPECT_EQ(files.read(file), "old");
    EXPECT_EQ(fs::directory_iterator(root)->path().filename(), "layouts.json") << "no temporary file left";
}

// A kest file kept in a dotfiles folder behind a link, a private file, a device or a
// pipe given as the path: the link's target is written, the mode stays, and anything
// but a regular file is refused and left as it was.
TEST_F(PosixFilesTest, WritesFollowLinksKeepTheModeAndReplaceOnlyRegularFiles) {
    fs::create_directory(root + "/dotfiles");
    files.writeAtomically(root + "/dotfiles/layouts.json", "old");
    ::chmod((root + "/dotfiles/layouts.json").c_str(), 0600);
    fs::create_symlink("dotfiles/layouts.json", root + "/layouts.json");
    files.writeAtomically(root + "/layouts.json", "new");
    EXPECT_TRUE(fs::is_symlink(root + "/layouts.json"));
    EXPECT_EQ(files.read(root + "/dotfiles/layouts.json"), "new");
    EXPECT_EQ(fs::status(root + "/dotfiles/layouts.json").permissions(), fs::perms(0600));

    fs::create_symlink(root + "/dotfiles/fresh.json", root + "/dangling.json");
    files.writeAtomically(root + "/dangling.json", "made");
    EXPECT_EQ(files.read(root + "/dotfiles/fresh.json"), "made");
    EXPECT_EQ(fs::status(root + "/dotfiles/fresh.json").permissions(), fs::perms(0644));

    ASSERT_EQ(::mkfifo((root + "/pipe.png").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", root + "/device.png");
    fs::create_directory(root + "/folder.png");
    for (const char* name : {"/pipe.png", "/device.png"}) {
        EXPECT_EQ(error([&] { files.writeAtomically(root + name, "png"); }),
                  "cannot write " + root + name + ": not a regular file");
    }
    EXPECT_EQ(error([&] { files.writeAtomically(root + "/folder.png", "png"); }),
              "cannot write " + root + "/folder.png: Is a directory");
    EXPECT_TRUE(fs::is_fifo(root + "/pipe.png"));
    EXPECT_TRUE(fs::is_character_file(root + "/device.png"));
    EXPECT_EQ(error([&] { files.checkWritable(root + "/pipe.png"); }),
              "cannot write " + root + "/pipe.png: not a regular file");
    EXPECT_NO_THROW(files.checkWritable(root + "/absent.json"));
}

// A disk that fills up in the middle of a copy reports the system's own error (as
// the file-size limit does here), not a generic input/output error.
TEST_F(PosixFilesTest, CopyCutShortKeepsTheSystemsErrorAndLeavesNoCopy) {
    const std::string file = root + "/layouts.json";
    files.writeAtomically(file, std::string(200000, 'k'));
    struct rlimit before {};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 100000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string message = error([&] { files.copy(file, root + "/layouts.json.bak"); });
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(message, "cannot copy " + file + ": " + std::strerror(EFBIG));
    EXPECT_FALSE(files.exists(root + "/layouts.json.bak"));
}

// A data folder may be a link made before the folder it names: the lock beside it and
// the folder itself are found where the link leads, so every start meets the same ones.
TEST_F(PosixFilesTest, LinksAreFollowedToFoldersThatAreNotThereYet) {
    const std::string real = fs::canonical(root).string();
    fs::create_directories(root + "/b");
    fs::create_symlink(real + "/a/kestr", root + "/b/kestr");
    fs::create_symlink("b/kestr", root + "/relative");
    fs::create_symlink(root + "/relative", root + "/chain");
    fs::create_symlink(root + "/loop2", root + "/loop1");
    fs::create_symlink(root + "/loop1", root + "/loop2");
    for (const auto& [path, expected] : std::vector<std::pair<std::string, std::string>>{
             {root + "/b/kestr", real + "/a/kestr"},
             {root + "/relative", real + "/a/kestr"},
             {root + "/chain", real + "/a/kestr"},
             {root + "/chain/layouts.json", real + "/a/kestr/layouts.json"},
             {root + "/b/kestr/../kestr", real + "/a/kestr"},
             {root + "/none/kestr", real + "/none/kestr"},
             {root + "/./b", real + "/b"},
             {root + "/loop1", root + "/loop1"},
             {root + "/loop1/kestr", root + "/loop1/kestr"}}) {
        EXPECT_EQ(PosixFiles::resolved(path), expected) << path;
    }
    files.createDirectories(root + "/chain");
    EXPECT_TRUE(fs::is_directory(real + "/a/kestr"));
    EXPECT_EQ(PosixFiles::resolved(root + "/b/kestr"), real + "/a/kestr");
    EXPECT_EQ(
        error([&] { files.createDirectories(root + "/loop1"); }).find("cannot create folder " + root + "/loop1: "), 0u);
}

// Several processes share the kest file and the simulated desktop: one that starts must
// not take the temporary file another is about to rename, however long ago it was written.
TEST_F(PosixFilesTest, OnlyTemporariesWhoseWriterHasEndedAreLeftovers) {
    const pid_t ended = ::fork();
    ASSERT_GE(ended, 0);
    if (ended == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const auto put = [&](const std::string& name, std::chrono::hours age) {
        const std::string file = root + "/" + name;
        std::ofstream(file) << "{";
        fs::last_write_time(file, fs::file_time_type::clock::now() - age);
        return file;
    };
    const std::string running = std::to_string(::getppid()), ours = std::to_string(::getpid());
    put(".layouts.json.tmp-" + running + "-Ab12Cd", std::chrono::hours(1));
    const std::string gone = put(".layouts.json.tmp-" + std::to_string(ended) + "-Ab12Cd", std::chrono::hours(0));
    const std::string earlierOurs = put(".layouts.json.tmp-" + ours + "-Xy34Zw", std::chrono::hours(1));
    put(".layouts.json.tmp-" + ours + "-Qq56Rr", std::chrono::hours(0));
    const std::string older = put(".layouts.json.tmp-Ab12Cd", std::chrono::hours(1));  // no writer in the name
    put(".layouts.json.tmp-Ef34Gh", std::chrono::hours(0));
    put(".layouts.json.tmp-x1-Ab12Cd", std::chrono::hours(1));
    put(".other.json.tmp-" + std::to_string(ended) + "-Ab12Cd", std::chrono::hours(1));
    std::vector<std::string> leftovers{older, gone, earlierOurs};
    std::sort(leftovers.begin(), leftovers.end());
    EXPECT_EQ(files.leftoverTemporaries(root + "/layouts.json"), leftovers);

    // A write names its temporary after its writer, and leaves none behind.
    files.writeAtomically(root + "/layouts.json", "{}");
    EXPECT_EQ(files.leftoverTemporaries(root + "/layouts.json").size(), 3u);
}

}  // namespace
}  // namespace kestr
