#include "Snap/SnapStore.h"

#include <gtest/gtest.h>

#include "Core/JsonDecoder.h"
#include "Snap/SnapJson.h"
#include "Support/StoreTest.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

using A = SnapAction;

class SnapStoreTest : public test::StoreTest {
protected:
    std::string path() { return file("snaps.json"); }
    static std::string document(const std::vector<SnapBinding>& bindings, std::int64_t version = 1) {
        return JsonFileStore::encoder().encode(SnapDocument{version, bindings});
    }

    const std::vector<SnapBinding> two{{Uuid::random(), A::leftHalf, {123, 0x1800}},
                                       {Uuid::random(), A::maximize, {36, 0x1800}}};
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

TEST_F(SnapStoreTest, BindingsAreKeptInSnapsJsonBesideTheKests) {
    SnapStore& store = SnapStore::shared();
    EXPECT_EQ(store.fileURL, path());
    store.bindings = two;
    store.save();
    const std::string written = bytes(path());
    const auto parsed = nlohmann::json::parse(written);
    EXPECT_EQ(parsed.dump(2, ' ', false), written);
    EXPECT_EQ(parsed.at("version"), 1);
    SnapStore other(path());
    other.load();
    EXPECT_EQ(other.bindings, two);

    // An action the store does not know makes the file undecodable: the backup is taken.
    const std::string unknownAction = std::string(written).replace(written.find("leftHalf"), 8, "LeftHalf");
    put(path(), unknownAction);
    put(path() + ".bak", written);
    store.bindings.clear();
    store.load();
    EXPECT_EQ(store.bindings, two);
    EXPECT_EQ(bytes(file("snaps.corrupt-20261205-200000.json")), unknownAction);

    sim->simFiles().remove(path() + ".bak");
    put(path(), document(two, 2));
    EXPECT_STREQ(test::thrown<SnapStoreError>([&] { store.load(); })->what(), "unsupportedVersion(2)");
    put(path(), written);
    sim->simFiles().failOperation(FileOperation::read, "snaps.json", 1);
    EXPECT_THROW(store.load(), FileError);
    EXPECT_STREQ(test::thrown<SnapStoreError>([&] { store.save(); })->what(), "loadFailedRefusingToSave");
}

// Two stores on one folder stand for two processes sharing "snaps.json".
TEST_F(SnapStoreTest, ASaveKeepsTheShortcutsAnotherProcessSetSinceThisOneReadTheFile) {
    {
        SnapStore seed(path());
        seed.bindings = two;
        seed.save();
    }
    SnapStore one(path()), other(path());
    one.load();
    other.load();
    one.setHotkey(Hotkey{8, 0x1800}, A::center);
    one.setHotkey(std::nullopt, A::maximize);
    one.save();
    other.setHotkey(Hotkey{124, 0x1800}, A::rightHalf);
    other.setHotkey(Hotkey{36, 0x1A00}, A::center);  // both set it: the later save wins
    other.save();

    const auto hotkey = [&](SnapAction action) { return other.binding(action)->hotkey; };
    EXPECT_EQ(other.bindings.size(), 3u);
    EXPECT_EQ(other.bindings[0], two[0]);
    EXPECT_FALSE(other.binding(A::maximize));
    EXPECT_EQ(hotkey(A::rightHalf), (Hotkey{124, 0x1800}));
    EXPECT_EQ(hotkey(A::center), (Hotkey{36, 0x1A00}));
    SnapStore fresh(path());
    fresh.load();
    EXPECT_EQ(fresh.bindings, other.bindings);
    EXPECT_TRUE(one.refresh());
    EXPECT_EQ(one.bindings, other.bindings);
}

}  // namespace
}  // namespace kestr
