#include "Snap/SnapStore.h"

#include <gtest/gtest.h>

#include "Core/JsonDecoder.h"
#include "Snap/SnapJson.h"
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

    const std::vector<SnapBinding> two{{Uuid::random(), A::leftHalf, {123, 0x1800}},
                                       {Uuid::random(), A::maximize, {36, 0x1800}}};
    const std::string badAction =
        R"({"bindings":[{"action":"LeftHalf","hotkey":{"keyCode":1,"modifiers":0},"id":"0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0"}],"version":1})";
};

TEST(SnapStoreBindingsTest, SettingAShortcutLeavesOneNewBindingAtTheEnd) {
    SnapStore store("/nowhere/snaps.json");
    const SnapBinding first{Uuid::random(), A::maximize, {36, 0x1800}};
    const SnapBinding other{Uuid::random(), A::leftHalf, {123, 0x1800}};
    store.bindings = {first, other, SnapBinding{Uuid::random(), A::maximize, {36, 0x1A00}}};
    EXPECT_EQ(store.binding(A::maximize), first);
    store.setHotkey(Hotkey{46, 0x1900}, A::maximize);
    ASSERT_EQ(store.bindings.size(), 2u);
    EXPECT_EQ(store.bindings[0], other);
    EXPECT_EQ(store.bindings[1].action, A::maximize);
    EXPECT_NE(store.bindings[1].id, first.id);
}

TEST_F(SnapStoreTest, SavesToTheApplicationSupportFolderKeepingThePreviousFileAsBackup) {
    EXPECT_EQ(path(), files().applicationSupportDirectories().front() + "/kestr/snaps.json");
    SnapStore& store = SnapStore::shared();
    store.load();
    EXPECT_FALSE(files().exists(folder()));
    store.bindings = two;
    store.save();
    EXPECT_FALSE(files().exists(backup()));
    const std::string first = files().read(path());
    store.setHotkey(std::nullopt, A::leftHalf);
    store.save();
    EXPECT_EQ(files().read(backup()), first);
    // A failed write reaches the caller and keeps the file.
    const std::string second = files().read(path());
    sim->simFiles().failOperation(FileOperation::atomicWrite, "kestr");
    EXPECT_THROW(store.save(), FileError);
    EXPECT_EQ(files().read(path()), second);

    SnapStore other(path());
    other.load();
    EXPECT_EQ(other.bindings, std::vector<SnapBinding>{two[1]});
}

TEST_F(SnapStoreTest, AnUndecodableFileIsQuarantinedAndReplacedFromAGoodBackup) {
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
        EXPECT_EQ(files().read(path()), document(two));
    }
}

TEST_F(SnapStoreTest, AnUnreadableFileBlocksSavingUntilALoadReadsIt) {
    write(path(), document(two));
    SnapStore& store = SnapStore::shared();
    sim->simFiles().failOperation(FileOperation::read, "snaps.json");
    EXPECT_THROW(store.load(), FileError);
    EXPECT_TRUE(store.loadFailed);
    store.setHotkey(Hotkey{1, 0x100}, A::center);
    const auto refusal = test::thrown<SnapStoreError>([&] { store.save(); });
    ASSERT_TRUE(refusal);
    EXPECT_STREQ(refusal->what(), "loadFailedRefusingToSave");
    EXPECT_EQ(files().read(path()), document(two));
    store.load();
    EXPECT_EQ(store.bindings, two);
}

TEST_F(SnapStoreTest, AFailedQuarantineRewritesNothingAndBlocksSaving) {
    write(path(), badAction);
    write(backup(), document(two));
    sim->simFiles().failOperation(FileOperation::move, "snaps.json");
    SnapStore& store = SnapStore::shared();
    EXPECT_THROW(store.load(), JsonDecodeError);
    EXPECT_TRUE(store.loadFailed);
    EXPECT_THROW(store.save(), SnapStoreError);
    EXPECT_EQ(files().read(path()), badAction);
    EXPECT_EQ(files().read(backup()), document(two));
}

}  // namespace
}  // namespace kestr
