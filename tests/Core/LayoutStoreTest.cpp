// The kest store on the shared store steps: its file, its document and its errors.
#include "Core/LayoutStore.h"

#include <gtest/gtest.h>

#include "Core/ModelJson.h"
#include "Support/SampleKests.h"
#include "Support/StoreTest.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

class LayoutStoreTest : public test::StoreTest {
protected:
    std::string path() { return file("layouts.json"); }
    static std::vector<Layout> kests(std::uint32_t first, std::uint32_t count) {
        std::vector<Layout> out;
        for (std::uint32_t n = first; n < first + count; ++n) out.push_back(test::sampleKest(n, 2));
        return out;
    }
    std::vector<Layout> loaded() {
        LayoutStore store;
        store.load();
        return store.layouts;
    }
};

TEST_F(LayoutStoreTest, KestsAreKeptInLayoutsJsonAsAVersion1Document) {
    LayoutStore& store = LayoutStore::shared();
    EXPECT_EQ(store.fileURL, path());
    store.layouts = kests(0, 2);
    store.save();
    const std::string written = bytes(path());
    // Sorted keys, pretty-printed, slashes as they are ("Kest 0 / main").
    const auto parsed = nlohmann::json::parse(written);
    EXPECT_EQ(parsed.dump(2, ' ', false), written);
    EXPECT_EQ(written.find("\\/"), std::string::npos);
    EXPECT_EQ(parsed.at("version"), 1);
    EXPECT_EQ(loaded(), kests(0, 2));

    store.layouts = kests(5, 1);
    store.save();
    EXPECT_EQ(bytes(path() + ".bak"), written);

    // Another version is undecodable: the backup's kests take its place.
    put(path(), R"({"version": 2, "layouts": []})");
    EXPECT_EQ(loaded(), kests(0, 2));
    EXPECT_EQ(bytes(file("layouts.corrupt-20261205-200000.json")), R"({"version": 2, "layouts": []})");

    // The whole document is read before its version.
    sim->simFiles().remove(path() + ".bak");
    put(path(), R"({"version": 2, "layouts": [{}]})");
    EXPECT_THROW(store.load(), JsonDecodeError);
    put(path(), R"({"version": 2, "layouts": []})");
    const auto version = test::thrown<LayoutStoreError>([&] { store.load(); });
    EXPECT_EQ(version->kind(), LayoutStoreError::Kind::unsupportedVersion);
    EXPECT_STREQ(version->what(), "unsupportedVersion(2)");

    // Nesting far deeper than a kest file has is refused before the document is walked.
    put(path(), "{\"layouts\": " + std::string(100000, '[') + std::string(100000, ']') + ", \"version\": 1}");
    EXPECT_STREQ(test::thrown<JsonDecodeError>([&] { store.load(); })->what(),
                 "layouts.json: JSON nested more than 256 levels deep");

    put(path(), "{}");
    sim->simFiles().failOperation(FileOperation::read, "layouts.json", 1);
    EXPECT_THROW(store.load(), FileError);
    EXPECT_STREQ(test::thrown<LayoutStoreError>([&] { store.save(); })->what(), "loadFailedRefusingToSave");
}

TEST(LayoutStoreUpdateTest, ReplacesTheFirstKestWithTheSameIdInMemoryOnly) {
    LayoutStore store("/nowhere/layouts.json");
    store.layouts = {test::sampleKest(0, 1), test::sampleKest(1, 1), test::sampleKest(0, 1)};
    Layout renamed = test::sampleKest(0, 1);
    renamed.name = "Renamed";
    store.update(renamed);
    EXPECT_EQ(store.layouts[0].name, "Renamed");
    EXPECT_EQ(store.layouts[2].name, test::sampleKest(0, 1).name);

    store.update(test::sampleKest(7, 1));
    EXPECT_EQ(store.layouts.size(), 3u) << "an unknown kest is not added";
}

}  // namespace
}  // namespace kestr
