#include "Core/LayoutStore.h"

#include <gtest/gtest.h>

#include <limits>

#include "Core/JsonDecoder.h"
#include "Core/StoreRecovery.h"
#include "StoreTest.h"

namespace kestr {
namespace {

class LayoutStoreTest : public test::StoreTest {};

TEST_F(LayoutStoreTest, FileLocation) {
    EXPECT_EQ(LayoutStore::defaultFileURL(), path());
    EXPECT_EQ(LayoutStore::shared().fileURL, path());
    EXPECT_EQ(&LayoutStore::shared(), &LayoutStore::shared());
    EXPECT_FALSE(exists(folder()));  // nothing is created

    // Without an Application Support folder from the system, the one under home.
    const std::string home = sim->simFiles().homeDirectory();
    SimDesktop other(SimDesktopOptions{nullptr, UserFolders{home, "", home + "/Desktop"}});
    installPlatform(&other);
    EXPECT_EQ(LayoutStore::defaultFileURL(), home + "/Library/Application Support/kestr/layouts.json");
    installPlatform(sim.get());
}

TEST_F(LayoutStoreTest, FirstStartThenSavesKeepThePreviousFileAsBackup) {
    LayoutStore store;
    store.load();
    EXPECT_TRUE(store.layouts.empty());
    EXPECT_FALSE(store.loadFailed);

    store.save();  // creates the folder, no backup
    EXPECT_EQ(files(), std::vector<std::string>{"layouts.json"});
    EXPECT_EQ(bytes(path()), document({}));
    EXPECT_NE(bytes(path()).find("\"version\": 1"), std::string::npos);

    store.layouts = kests(0, 2);
    const std::string first = bytes(path());
    store.save();
    EXPECT_EQ(bytes(backup()), first);
    store.layouts.push_back(test::sampleKest(9, 1));
    const std::string second = bytes(path());
    store.save();
    EXPECT_EQ(bytes(backup()), second);
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.json", "layouts.json.bak"}));

    LayoutStore fresh;
    fresh.load();
    EXPECT_EQ(fresh.layouts, store.layouts);
}

TEST_F(LayoutStoreTest, WritesSlashesPlainly) {
    LayoutStore store;
    Layout kest = test::sampleKest(0, 1);
    kest.name = "Work/Home";
    store.layouts = {kest};
    store.save();
    const std::string text = bytes(path());
    EXPECT_NE(text.find("\"name\": \"Work/Home\""), std::string::npos);
    EXPECT_NE(text.find("\"openURL\": \"https://example.com/a/b?q=1#frag\""), std::string::npos);
    EXPECT_EQ(text.find('\\' + std::string("/")), std::string::npos);
}

TEST_F(LayoutStoreTest, UndecodableFileFallsBackToTheBackupAndIsKeptAside) {
    sim->simClock().utcOffset = 3600;  // the stamp is local time: 21:00 for 20:00Z
    put(backup(), document(kests(0, 2)));
    const std::string good = document(kests(5, 3));
    const std::string truncated = good.substr(0, good.size() / 2);
    put(path(), truncated);

    LayoutStore store;
    store.load();
    EXPECT_EQ(store.layouts, kests(0, 2));
    EXPECT_FALSE(store.loadFailed);
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.corrupt-20261205-210000.json", "layouts.json",
                                                 "layouts.json.bak"}));
    EXPECT_EQ(bytes(folder() + "/layouts.corrupt-20261205-210000.json"), truncated);
    EXPECT_EQ(bytes(path()), document(kests(0, 2)));
    EXPECT_EQ(bytes(backup()), document(kests(0, 2)));
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{
                                         "kestr: quarantined corrupt layouts.json → layouts.corrupt-20261205-210000.json"});
}

TEST_F(LayoutStoreTest, UndecodableFileWithoutUsableBackupFailsWithItsOwnError) {
    put(path(), R"({"version": 1, "layouts": [{"id": "nope"}]})");
    put(backup(), "{ not json");
    LayoutStore store;
    store.layouts = kests(0, 1);
    try {
        store.load();
        FAIL() << "load succeeded";
    } catch (const JsonDecodeError& e) {
        EXPECT_STREQ(e.what(), "layouts[0].id: not a UUID: \"nope\"");
    }
    EXPECT_TRUE(store.layouts.empty());
    EXPECT_FALSE(store.loadFailed);
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.corrupt-20261205-200000.json", "layouts.json.bak"}));
    EXPECT_EQ(bytes(backup()), "{ not json");
}

TEST_F(LayoutStoreTest, OtherVersions) {
    put(path(), R"({"version": 2, "layouts": []})");
    LayoutStore store;
    try {
        store.load();
        FAIL() << "load succeeded";
    } catch (const LayoutStoreError& e) {
        EXPECT_EQ(e.kind(), LayoutStoreError::Kind::unsupportedVersion);
        EXPECT_EQ(e.version(), 2);
        EXPECT_STREQ(e.what(), "unsupportedVersion(2)");
    }
    EXPECT_TRUE(store.layouts.empty());
    EXPECT_TRUE(exists(folder() + "/layouts.corrupt-20261205-200000.json"));
    store.save();
    EXPECT_EQ(bytes(path()), document({}));
    EXPECT_FALSE(exists(backup()));

    // A malformed document of another version fails with the decoding error.
    put(path(), R"({"version": 2, "layouts": [{}]})");
    EXPECT_THROW(store.load(), JsonDecodeError);

    // Another version with a version-1 backup: the backup.
    put(path(), R"({"version": 0, "layouts": []})");
    put(backup(), document(kests(1, 1)));
    store.load();
    EXPECT_EQ(store.layouts, kests(1, 1));
}

TEST_F(LayoutStoreTest, UnreadableFileMakesSavesRefuseUntilALaterLoad) {
    LayoutStore store;
    put(path(), document(kests(0, 1)));
    sim->simFiles().failOperation(FileOperation::read, "layouts.json", 1);
    store.layouts = kests(3, 1);
    EXPECT_THROW(store.load(), FileError);
    EXPECT_TRUE(store.loadFailed);
    EXPECT_TRUE(store.layouts.empty());
    store.layouts = kests(4, 1);
    try {
        store.save();
        FAIL() << "save succeeded";
    } catch (const LayoutStoreError& e) {
        EXPECT_EQ(e.kind(), LayoutStoreError::Kind::loadFailedRefusingToSave);
        EXPECT_STREQ(e.what(), "loadFailedRefusingToSave");
    }
    EXPECT_EQ(bytes(path()), document(kests(0, 1)));
    EXPECT_FALSE(exists(backup()));

    store.load();
    EXPECT_FALSE(store.loadFailed);
    EXPECT_EQ(store.layouts, kests(0, 1));
}

TEST_F(LayoutStoreTest, UpdateReplacesTheFirstKestWithTheSameId) {
    LayoutStore store;
    store.layouts = kests(0, 3);
    store.layouts.push_back(store.layouts[1]);
    Layout changed = store.layouts[1];
    changed.name = "Renamed";
    store.update(changed);
    EXPECT_EQ(store.layouts[1].name, "Renamed");
    EXPECT_EQ(store.layouts[3].name, kests(0, 3)[1].name);

    const auto before = store.layouts;
    store.update(test::sampleKest(42, 1));
    EXPECT_EQ(store.layouts, before);
    EXPECT_FALSE(exists(path()));  // update never saves
}

TEST_F(LayoutStoreTest, QuarantineNamesWithinOneSecond) {
    sim->simFiles().createDirectories(folder());
    for (int i = 0; i < 3; ++i) {
        put(folder() + "/snaps.json", "bad " + std::to_string(i));
        StoreRecovery::quarantine(folder() + "/snaps.json");
    }
    put(folder() + "/notes", "x");
    StoreRecovery::quarantine(folder() + "/notes");
    StoreRecovery::quarantine(folder() + "/missing.json");  // nothing there: nothing happens
    EXPECT_EQ(files(), (std::vector<std::string>{"notes.corrupt-20261205-200000", "snaps.corrupt-20261205-200000-1.json",
                                                 "snaps.corrupt-20261205-200000-2.json",
                                                 "snaps.corrupt-20261205-200000.json"}));
    EXPECT_EQ(bytes(folder() + "/snaps.corrupt-20261205-200000-2.json"), "bad 2");
    EXPECT_EQ(sim->simLog().lines().size(), 4u);
    EXPECT_EQ(sim->simLog().lines()[1],
              "kestr: quarantined corrupt snaps.json → snaps.corrupt-20261205-200000-1.json");

    // A second later the plain name is free again.
    sim->virtualTime().advance(1);
    put(folder() + "/snaps.json", "bad");
    StoreRecovery::quarantine(folder() + "/snaps.json");
    EXPECT_TRUE(exists(folder() + "/snaps.corrupt-20261205-200001.json"));
}

// A file that could not be moved aside is never written over, and nothing is saved
// over it in this session.
TEST_F(LayoutStoreTest, FailedQuarantineWritesNothing) {
    const std::string undecodable = "{\"version\": 1, \"layouts\": [";
    for (bool withBackup : {true, false}) {
        SCOPED_TRACE(withBackup ? "with backup" : "without backup");
        if (exists(folder())) sim->simFiles().remove(folder());
        put(path(), undecodable);
        if (withBackup) put(backup(), document(kests(0, 1)));
        sim->simFiles().failOperation(FileOperation::move, "layouts.json", 1);
        sim->simLog().clear();

        LayoutStore store;
        EXPECT_THROW(store.load(), JsonDecodeError);
        EXPECT_TRUE(store.loadFailed);
        EXPECT_TRUE(store.layouts.empty());
        EXPECT_EQ(bytes(path()), undecodable);
        ASSERT_EQ(sim->simLog().lines().size(), 1u);
        EXPECT_EQ(sim->simLog().lines()[0].rfind("kestr: failed to quarantine layouts.json: ", 0), 0u);
        store.layouts = kests(5, 1);
        EXPECT_THROW(store.save(), LayoutStoreError);
        EXPECT_EQ(bytes(path()), undecodable);
        EXPECT_EQ(files().size(), withBackup ? 2u : 1u);
    }
}

// The previous backup stays until a complete new one replaces it.
TEST_F(LayoutStoreTest, FailedBackupKeepsTheOldBackup) {
    put(path(), document(kests(0, 1)));
    put(backup(), document(kests(1, 1)));
    for (FileOperation failing : {FileOperation::copy, FileOperation::move}) {
        sim->simFiles().failOperation(failing, "layouts.json", 1);
        LayoutStore store;
        store.layouts = kests(2, 1);
        EXPECT_THROW(store.save(), FileError);
        EXPECT_EQ(bytes(path()), document(kests(0, 1)));
        EXPECT_EQ(bytes(backup()), document(kests(1, 1)));
        EXPECT_EQ(files(), (std::vector<std::string>{"layouts.json", "layouts.json.bak"}));
    }
    // A temporary copy left behind by an interrupted save is cleared first.
    put(backup() + ".tmp", "stale");
    LayoutStore store;
    store.layouts = kests(2, 1);
    store.save();
    EXPECT_EQ(bytes(backup()), document(kests(0, 1)));
    EXPECT_EQ(files(), (std::vector<std::string>{"layouts.json", "layouts.json.bak"}));
}

TEST_F(LayoutStoreTest, EncodingFailureWritesNothingButTheBackup) {
    put(path(), document(kests(0, 1)));
    LayoutStore store;
    store.layouts = kests(2, 1);
    store.layouts[0].items[0].targetFrame.x = std::numeric_limits<double>::infinity();
    EXPECT_THROW(store.save(), JsonEncodeError);
    EXPECT_EQ(bytes(path()), document(kests(0, 1)));
    EXPECT_EQ(bytes(backup()), document(kests(0, 1)));
    EXPECT_EQ(store.layouts.size(), 1u);  // never rolled back
}

}  // namespace
}  // namespace kestr
