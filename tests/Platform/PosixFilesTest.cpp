// Files on the real file system: what a read or a copy accepts. Kest files are copied
// between machines and edited by hand, so a path may name anything.
#include "Platform/PosixFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
    EXPECT_EQ(error([&] { files.read(root + "/pipe.json"); }), "cannot read " + root + "/pipe.json: not a regular file");
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
    EXPECT_STREQ(e->what(), ("cannot read " + file + ": larger than 64 MB").c_str());
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
