#include "Core/LayoutStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <limits>

#include "Core/JsonDecoder.h"
#include "StoreTest.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

using LayoutStoreTest = test::StoreTest;

TEST_F(LayoutStoreTest, FirstStartThenSavesKeepThePreviousFileAsBackup) {
    LayoutStore store;
    store.load();
    store.save();  // creates the folder, no backup

    store.layouts = kests(0, 2);
    store.save();
    EXPECT_EQ(bytes(backup()), document({}));
    LayoutStore fresh;
    fresh.load();
    EXPECT_EQ(fresh.layouts, store.layouts);
}

TEST_F(LayoutStoreTest, UndecodableFileFallsBackToTheBackupAndIsKeptAside) {
    sim->simClock().utcOffset = 3600;  // the stamp is local time: 21:00 for 20:00Z
    put(backup(), document(kests(0, 2)));
    const std::string truncated = document(kests(5, 3)).substr(0, 100);
    put(path(), truncated);

    LayoutStore store;
    store.load();
    EXPECT_EQ(store.layouts, kests(0, 2));
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.corrupt-20261205-210000.json", "layouts.json",
                                                 "layouts.json.bak"}));
    EXPECT_EQ(bytes(folder() + "/layouts.corrupt-20261205-210000.json"), truncated);
    EXPECT_EQ(bytes(path()), document(kests(0, 2)));

    // A second corrupt file within the same second is kept beside the first, not over it.
    put(path(), "damaged again");
    store.load();
    EXPECT_EQ(bytes(folder() + "/layouts.corrupt-20261205-210000-1.json"), "damaged again");
    EXPECT_EQ(bytes(folder() + "/layouts.corrupt-20261205-210000.json"), truncated);
}

TEST_F(LayoutStoreTest, UndecodableOrOtherVersionWithoutUsableBackupFails) {
    put(path(), R"({"version": 1, "layouts": [{"id": "nope"}]})");
    put(backup(), "{ not json");
    LayoutStore store;
    store.layouts = kests(0, 1);
    EXPECT_STREQ(test::thrown<JsonDecodeError>([&] { store.load(); })->what(), "layouts[0].id: not a UUID: \"nope\"");
    EXPECT_FALSE(store.loadFailed);
    EXPECT_EQ(bytes(backup()), "{ not json");

    sim->virtualTime().advance(1);
    sim->simFiles().remove(backup());
    put(path(), R"({"version": 2, "layouts": []})");
    EXPECT_STREQ(test::thrown<LayoutStoreError>([&] { store.load(); })->what(), "unsupportedVersion(2)");
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.corrupt-20261205-200000.json",
                                                 "layouts.corrupt-20261205-200001.json"}));
}

// A file that could not be read or moved aside is never written over, and nothing is
// saved over it until a later load succeeds.
TEST_F(LayoutStoreTest, FailedQuarantineWritesNothing) {
    const std::string undecodable = "{\"version\": 1, \"layouts\": [";
    for (bool withBackup : {true, false}) {
        SCOPED_TRACE(withBackup ? "with backup" : "without backup");
        if (sim->simFiles().exists(folder())) sim->simFiles().remove(folder());
        put(path(), undecodable);
        if (withBackup) put(backup(), document(kests(0, 1)));
        sim->simFiles().failOperation(FileOperation::move, "layouts.json", 1);
        sim->simLog().clear();

        LayoutStore store;
        EXPECT_THROW(store.load(), JsonDecodeError);
        EXPECT_TRUE(store.loadFailed);
        ASSERT_EQ(sim->simLog().lines().size(), 1u);
        EXPECT_EQ(sim->simLog().lines()[0].rfind("kestr: failed to quarantine layouts.json: ", 0), 0u);
        store.layouts = kests(5, 1);
        EXPECT_THROW(store.save(), LayoutStoreError);
        EXPECT_EQ(bytes(path()), undecodable);
        EXPECT_EQ(files().size(), withBackup ? 2u : 1u);
    }
    sim->simFiles().failOperation(FileOperation::read, "layouts.json", 1);
    LayoutStore store;
    EXPECT_THROW(store.load(), FileError);
    EXPECT_THROW(store.save(), LayoutStoreError);
    EXPECT_THROW(store.load(), JsonDecodeError);  // moved aside this time
    EXPECT_FALSE(store.loadFailed);
    store.save();
    EXPECT_EQ(bytes(path()), document({}));
}

// The previous backup stays until a complete new one replaces it; an unwritable
// document writes nothing at all.
TEST_F(LayoutStoreTest, FailedBackupOrEncodingKeepsBothFiles) {
    put(path(), document(kests(0, 1)));
    put(backup(), document(kests(1, 1)));
    LayoutStore store;
    store.layouts = kests(2, 1);
    for (FileOperation failing : {FileOperation::copy, FileOperation::move}) {
        sim->simFiles().failOperation(failing, "layouts.json", 1);
        EXPECT_THROW(store.save(), FileError);
        EXPECT_EQ(bytes(path()), document(kests(0, 1)));
        EXPECT_EQ(bytes(backup()), document(kests(1, 1)));
        EXPECT_EQ(files(), (std::vector<std::string>{"layouts.json", "layouts.json.bak"}));
    }
    store.layouts[0].items[0].targetFrame.x = std::numeric_limits<double>::infinity();
    EXPECT_THROW(store.save(), JsonEncodeError);
    EXPECT_EQ(bytes(path()), document(kests(0, 1)));

    // A temporary copy left behind by an interrupted save is cleared first.
    put(backup() + ".tmp", "stale");
    store.layouts = kests(2, 1);
    store.save();
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.json", "layouts.json.bak"}));
}

// A file far too large to be a kest file is undecodable: recovered from the backup and
// kept aside. A pipe or a device in its place cannot be read: it is left as it is.
TEST_F(LayoutStoreTest, OversizedOrIrregularFileIsRecoveredOrLeftAlone) {
    put(backup(), document(kests(0, 2)));
    put(path(), "");
    ASSERT_EQ(::truncate(path().c_str(), Files::maxReadSize + 1), 0);
    LayoutStore store;
    store.load();
    EXPECT_EQ(store.layouts, kests(0, 2));
    EXPECT_EQ(bytes(path()), document(kests(0, 2)));
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.corrupt-20261205-200000.json", "layouts.json",
                                                 "layouts.json.bak"}));

    sim->simFiles().remove(path());
    std::filesystem::create_symlink("/dev/zero", path());
    EXPECT_THROW(store.load(), FileError);
    EXPECT_TRUE(store.loadFailed);
    EXPECT_TRUE(store.layouts.empty());
    EXPECT_TRUE(std::filesystem::is_symlink(path()));
}

}  // namespace
}  // namespace kestr
