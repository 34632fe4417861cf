#include "Snap/SnapStore.h"

#include <gtest/gtest.h>

#include "Core/JsonDecoder.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapJson.h"
#include "Support/JsonText.h"
#include "Support/SimTest.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

using A = SnapAction;

class SnapStoreTest : public test::SimTest {
protected:
    Files& files() { return sim->files(); }
    std::string path() { return SnapStore::shared().fileURL; }
    std::string backup() { return path() + ".bak"; }
    std::string folder() { return path().substr(0, path().rfind('/')); }
    std::string quarantined() { return folder() + "/snaps.corrupt-20261205-200000.json"; }

    static std::string document(const std::vector<SnapBinding>& bindings, std::int64_t version = 1) {
        return JsonEncoder().encode(toJson(SnapDocument{version, bindings}));
    }
    void write(const std::string& file, const std::string& bytes) {
        files().createDirectories(folder());
        files().writeAtomically(file, bytes);
    }
    std::vector<SnapBinding> decodedFile(const std::string& file) {
        return test::decodeText<SnapDocument>(files().read(file)).bindings;
    }

    const std::vector<SnapBinding> two{{Uuid::random(), A::leftHalf, {123, 0x1800}},
                                       {Uuid::random(), A::maximize, {36, 0x1800}}};
    const std::string badAction =
        R"({"bindings":[{"action":"LeftHalf","hotkey":{"keyCode":1,"modifiers":0},"id":"0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0"}],"version":1})";
};

TEST_F(SnapStoreTest, LivesInTheApplicationSupportFolder) {
    EXPECT_EQ(path(), files().applicationSupportDirectories().front() + "/kestr/snaps.json");
    EXPECT_TRUE(SnapStore::shared().bindings.empty());
    EXPECT_FALSE(SnapStore::shared().loadFailed);
}

TEST_F(SnapStoreTest, FirstStartLoadsNothingAndTheFirstSaveMakesNoBackup) {
    SnapStore& store = SnapStore::shared();
    store.bindings = two;
    store.load();
    EXPECT_TRUE(store.bindings.empty());
    EXPECT_FALSE(files().exists(folder()));

    store.bindings = two;
    store.save();
    EXPECT_EQ(decodedFile(path()), two);
    EXPECT_FALSE(files().exists(backup()));
    EXPECT_EQ(test::decodeText<SnapDocument>(files().read(path())).version, 1);

    SnapStore other(path());
    other.load();
    EXPECT_EQ(other.bindings, two);
}

TEST_F(SnapStoreTest, TheBackupHoldsWhatTheSaveBeforeWrote) {
    SnapStore& store = SnapStore::shared();
    store.bindings = two;
    store.save();
    const std::string first = files().read(path());
    store.setHotkey(std::nullopt, A::leftHalf);
    store.save();
    EXPECT_EQ(files().read(backup()), first);
    EXPECT_EQ(decodedFile(path()), std::vector<SnapBinding>{two[1]});
}

TEST_F(SnapStoreTest, AnUndecodableFileIsReplacedFromAGoodBackup) {
    for (const std::string& bad : {badAction, document(two, 2), std::string(R"({"bindings":[{"action":"leftHalf")")}) {
        SCOPED_TRACE(bad);
        if (files().exists(folder())) files().remove(folder());
        write(path(), bad);
        write(backup(), document(two));

        SnapStore& store = SnapStore::shared();
        store.load();
        EXPECT_EQ(store.bindings, two);
        EXPECT_FALSE(store.loadFailed);
        EXPECT_EQ(files().read(quarantined()), bad);
        EXPECT_EQ(decodedFile(path()), two);
        EXPECT_EQ(files().read(backup()), document(two));
    }
}

TEST_F(SnapStoreTest, AnotherVersionWithoutBackupIsSetAsideAndTheNextSaveStartsAfresh) {
    write(path(), document(two, 2));
    SnapStore& store = SnapStore::shared();
    store.bindings = two;
    const auto error = test::thrown<SnapStoreError>([&] { store.load(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), SnapStoreError::Kind::unsupportedVersion);
    EXPECT_EQ(error->version(), 2);
    EXPECT_STREQ(error->what(), "unsupportedVersion(2)");
    EXPECT_TRUE(store.bindings.empty());
    EXPECT_FALSE(store.loadFailed);
    EXPECT_FALSE(files().exists(path()));
    EXPECT_EQ(files().read(quarantined()), document(two, 2));

    store.save();
    EXPECT_EQ(test::decodeText<SnapDocument>(files().read(path())), SnapDocument{});
}

TEST_F(SnapStoreTest, ABadBackupLeavesTheMainFilesError) {
    const std::string noHotkey =
        R"({"bindings":[{"action":"leftHalf","id":"0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0"}],"version":1})";
    write(path(), noHotkey);
    write(backup(), document(two, 2));
    SnapStore& store = SnapStore::shared();
    const auto error = test::thrown<JsonDecodeError>([&] { store.load(); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "bindings[0].hotkey: required key is missing or null");
    EXPECT_TRUE(store.bindings.empty());
    EXPECT_EQ(files().read(quarantined()), noHotkey);
    EXPECT_EQ(files().read(backup()), document(two, 2));
}

TEST_F(SnapStoreTest, AnUnreadableFileBlocksSavingUntilALoadReadsIt) {
    write(path(), document(two));
    SnapStore& store = SnapStore::shared();
    sim->simFiles().failOperation(FileOperation::read, "snaps.json");
    EXPECT_THROW(store.load(), FileError);
    EXPECT_TRUE(store.bindings.empty());
    EXPECT_TRUE(store.loadFailed);

    store.setHotkey(Hotkey{1, 0x100}, A::center);
    const auto refusal = test::thrown<SnapStoreError>([&] { store.save(); });
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->kind(), SnapStoreError::Kind::loadFailedRefusingToSave);
    EXPECT_STREQ(refusal->what(), "loadFailedRefusingToSave");
    EXPECT_EQ(files().read(path()), document(two));
    EXPECT_FALSE(files().exists(backup()));

    store.load();
    EXPECT_FALSE(store.loadFailed);
    EXPECT_EQ(store.bindings, two);
    store.save();
}

TEST_F(SnapStoreTest, AFailedQuarantineRewritesNothingAndBlocksSaving) {
    write(path(), badAction);
    write(backup(), document(two));
    sim->simFiles().failOperation(FileOperation::move, "snaps.json");
    SnapStore& store = SnapStore::shared();
    EXPECT_THROW(store.load(), JsonDecodeError);
    EXPECT_TRUE(store.loadFailed);
    EXPECT_TRUE(store.bindings.empty());
    EXPECT_EQ(files().read(path()), badAction);
    EXPECT_EQ(files().read(backup()), document(two));

    EXPECT_THROW(store.save(), SnapStoreError);
    EXPECT_EQ(files().read(path()), badAction);
    EXPECT_EQ(files().read(backup()), document(two));
}

TEST_F(SnapStoreTest, SaveFailuresReachTheCallerAndKeepTheFile) {
    SnapStore& store = SnapStore::shared();
    store.bindings = two;
    store.save();
    const std::string before = files().read(path());
    store.bindings = SnapDefaults::magnetBindings();
    const auto wanted = store.bindings;

    for (FileOperation op : {FileOperation::copy, FileOperation::createDirectory, FileOperation::atomicWrite}) {
        sim->simFiles().failOperation(op, "kestr");
        EXPECT_THROW(store.save(), FileError);
        EXPECT_EQ(files().read(path()), before);
        EXPECT_EQ(store.bindings, wanted);
    }
    store.save();
    EXPECT_EQ(decodedFile(path()), wanted);
    EXPECT_EQ(files().read(backup()), before);
}

}  // namespace
}  // namespace kestr
