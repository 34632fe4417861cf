// Files on the real file system: what a read or a copy accepts. Kest files are copied
// between machines and edited by hand, so a path may name anything.
#include "Platform/PosixFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

}  // namespace
}  // namespace kestr
