// The kest store on the shared store steps: its file, its document and its errors.
#include "Core/LayoutStore.h"

#include <gtest/gtest.h>

#include <limits>

#include "Core/KestSaveFailure.h"
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
    static std::vector<std::string> names(const std::vector<Layout>& list) {
        std::vector<std::string> out;
        for (const Layout& kest : list) out.push_back(kest.name);
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
    // 256 levels in all are fine; one more is not.
    const auto nested = [](int levels) { return std::string(levels, '[') + std::string(levels, ']'); };
    put(path(), "{\"layouts\": [], \"deep\": " + nested(255) + ", \"version\": 1}");
    EXPECT_NO_THROW(store.load());
    put(path(), "{\"layouts\": [], \"deep\": " + nested(256) + ", \"version\": 1}");
    EXPECT_THROW(store.load(), JsonNestingError);

    put(path(), "{}");
    sim->simFiles().failOperation(FileOperation::read, "layouts.json", 1);
    EXPECT_THROW(store.load(), FileError);
    EXPECT_STREQ(test::thrown<LayoutStoreError>([&] { store.save(); })->what(), "loadFailedRefusingToSave");
}

// A save that cannot be written says why: the kest that holds the value, or a file
// that would be too large to read back; only a failure of the disk itself is left to
// a likely cause.
TEST_F(LayoutStoreTest, AFailedSaveNamesTheKestOrTheSizeInTheLogAndTheAlert) {
    LayoutStore& store = LayoutStore::shared();
    store.layouts = kests(0, 2);
    store.layouts[1].name = "Broken";
    store.layouts[1].items[1].targetFrame.width = std::numeric_limits<double>::infinity();
    const auto unwritable = test::thrown<UnwritableKestError>([&] { store.save(); });
    ASSERT_TRUE(unwritable);
    EXPECT_EQ(unwritable->kestName, "Broken");
    EXPECT_STREQ(unwritable->what(),
                 "kest “Broken”: layouts[1].items[1].targetFrame.width: a number that is NaN or infinite cannot be "
                 "written");

    const auto tooLarge =
        FileTooLargeError("cannot write " + path() + ": too large to read back (300 MB; the limit is 256 MB)");
    const auto diskFull = FileError("cannot write " + path() + ": No space left on device");
    for (const std::exception* error : std::initializer_list<const std::exception*>{&*unwritable, &tooLarge, &diskFull})
        reportKestSaveFailure(*error);
    const auto& alerts = sim->simAlerts().requests;
    ASSERT_EQ(alerts.size(), 3u);
    EXPECT_EQ(alerts[0].informativeText,
              "Your existing kests are unchanged. The kest “Broken” holds a value that can't be stored. Technical "
              "details are in Console.");
    EXPECT_EQ(alerts[1].informativeText,
              "Your existing kests are unchanged. Together they would make a kest file too large for kestr to read "
              "back, so nothing was written. Deleting kests you no longer need makes room. Technical details are in "
              "Console.");
    EXPECT_EQ(alerts[2].informativeText,
              "Your existing kests are unchanged. This usually means the disk is full or kestr's folder isn't "
              "writable. Technical details are in Console.");
    EXPECT_EQ(sim->simLog().lines().at(1), "kestr: failed to save kests: cannot write " + path() +
                                               ": too large to read back (300 MB; the limit is 256 MB)");
}

// Frames far beyond any screen (a hand edit, a broken writer) are read as the limit, so
// the kest stays usable and is written back finite.
TEST_F(LayoutStoreTest, CoordinatesBeyondTheLimitAreReadAsTheLimit) {
    Layout kest = test::sampleKest(0, 2);
    kest.items[0].targetFrame =
        ScreenFrame{"37D8832A-2D66-02CA-B9F7-8F30A301B230", 1e308, -1e308, 1e300, 5, 1e308, 2, -1e12, 3};
    kest.edgeGroups.at(0).coordinate = -1e200;
    kest.edgeGroups.at(0).spanEnd = 1e10;
    put(path(), JsonFileStore::encoder().encode(LayoutDocument{1, {kest}}));
    const std::vector<Layout> read = loaded();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].items[0].targetFrame,
              (ScreenFrame{"37D8832A-2D66-02CA-B9F7-8F30A301B230", 1e9, -1e9, 1e9, 5, 1e9, 2, -1e9, 3}));
    EXPECT_EQ(read[0].edgeGroups[0].coordinate, -1e9);
    EXPECT_EQ(read[0].edgeGroups[0].spanEnd, 1e9);
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

// Two stores on one folder stand for two processes sharing the kest file.
TEST_F(LayoutStoreTest, ASaveKeepsWhatAnotherProcessWroteSinceThisOneReadTheFile) {
    {
        LayoutStore seed;
        seed.layouts = kests(0, 4);
        seed.save();
    }
    LayoutStore one, two;
    one.load();
    two.load();

    // One adds a kest and renames kest 1; two removes kest 0, moves kest 3 first and
    // adds its own at the end.
    one.layouts.push_back(test::sampleKest(10, 1));
    one.layouts[1].name = "Renamed by one";
    one.save();
    two.layouts.erase(two.layouts.begin());
    std::rotate(two.layouts.begin(), two.layouts.begin() + 2, two.layouts.end());
    two.layouts.push_back(test::sampleKest(20, 1));
    two.save();

    std::vector<Layout> expected = {kests(3, 1)[0], kests(1, 1)[0], kests(2, 1)[0], test::sampleKest(20, 1),
                                    test::sampleKest(10, 1)};
    expected[1].name = "Renamed by one";
    EXPECT_EQ(names(two.layouts), names(expected));
    EXPECT_TRUE(two.layouts == expected && loaded() == expected);

    // One catches up without writing; its own unsaved change stays on top.
    one.layouts.back().name = "Unsaved";
    const std::string before = bytes(path());
    EXPECT_TRUE(one.refresh());
    EXPECT_FALSE(one.refresh()) << "nothing new since";
    EXPECT_EQ(bytes(path()), before);
    expected[4].name = "Unsaved";
    EXPECT_TRUE(one.layouts == expected);

    // A kest one changed and two removed stays; one two changed and one removed too.
    two.layouts.pop_back();  // "Unsaved"'s kest
    two.layouts[0].name = "Changed by two";
    two.layouts[2].name = "Two's name";
    two.save();
    one.layouts.erase(one.layouts.begin());
    one.layouts[1].name = "One's name";  // both changed it: the saving side's change wins
    one.save();
    EXPECT_EQ(names(one.layouts), (std::vector<std::string>{"Changed by two", "Renamed by one", "One's name",
                                                            "Kest 20 / main", "Unsaved"}));
}

TEST_F(LayoutStoreTest, AChangedFileThatCannotBeReadIsKeptAsideAndAStoreNeverLoadedWritesOver) {
    LayoutStore store;
    store.load();
    store.layouts = kests(0, 1);
    store.save();
    put(path(), "{ half a document");
    store.layouts = kests(0, 2);
    sim->simFiles().failOperation(FileOperation::atomicWrite, "layouts.json");
    EXPECT_THROW(store.save(), FileError);
    store.save();
    EXPECT_EQ(loaded(), kests(0, 2));
    EXPECT_EQ(bytes(file("layouts.corrupt-20261205-200000.json")), "{ half a document");
    EXPECT_FALSE(LayoutStore(path()).refresh()) << "a store that never read the file has nothing to catch up";
    put(path(), "{ again");
    EXPECT_THROW(store.refresh(), JsonDecodeError);
    EXPECT_EQ(store.layouts, kests(0, 2)) << "a failed refresh changes nothing";

    // The sample mode's store replaces whatever the file held.
    LayoutStore sample(path());
    sample.layouts = kests(7, 1);
    sample.save();
    EXPECT_EQ(loaded(), kests(7, 1));
}

// A save after a tidying writes each kest as it was stored until it is changed, whatever
// the tidying did to it; the store keeps only what the tidying changed.
TEST_F(LayoutStoreTest, TidiedKestsAreWrittenAsStoredUntilTheyChange) {
    std::vector<Layout> stored = kests(0, 4);
    for (Layout& kest : stored)
        kest.items.push_back(test::sampleItem(900 + static_cast<std::uint32_t>(kest.items.size())));
    LayoutStore& store = LayoutStore::shared();
    store.layouts = stored;
    store.save();
    store.load();
    // Drops the second item, moves the first one's frames, replaces the edge groups.
    store.tidy([](Layout& kest) {
        StoredForm::Untidied before{kest, {}, {}};
        kest.items.erase(kest.items.begin() + 1);
        kest.items[0].targetFrame.y = 25;
        kest.items[0].capturedFrame.reset();
        kest.edgeGroups.clear();
        return std::optional(before);
    });
    ASSERT_EQ(store.layouts[0].items.size(), 2u);

    store.layouts[1].name = "Renamed";                       // a change the tidying did not touch
    store.layouts[2].items[0].targetFrame.y = 40;            // a tidied frame changed again
    store.layouts[3].items.push_back(test::sampleItem(77));  // an item added
    store.save();
    const std::vector<Layout> written = loaded();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], stored[0]) << "unchanged since the tidying: as stored";
    EXPECT_EQ(written[1], store.layouts[1]);
    EXPECT_EQ(written[2], store.layouts[2]);
    EXPECT_EQ(written[3], store.layouts[3]);

    // Tidying again leaves the stored form of a kest already tidy.
    store.tidy([](Layout&) { return std::optional<StoredForm::Untidied>(); });
    store.layouts[1].name = "Renamed again";
    store.save();
    EXPECT_EQ(loaded()[0], stored[0]);
}

// Kests are decoded one by one as the file is parsed; failures are those of the whole
// document: the bytes first, then the first kest in error, then the rest.
TEST_F(LayoutStoreTest, AFileIsDecodedKestByKestWithTheWholeDocumentsFailures) {
    LayoutStore& store = LayoutStore::shared();
    store.layouts = kests(0, 3);
    store.save();
    const std::string good = bytes(path());
    const auto failure = [&](const std::string& text) {
        put(path(), text);
        if (sim->files().exists(path() + ".bak")) sim->files().remove(path() + ".bak");  // nothing to fall back to
        LayoutStore probe;
        try {
            probe.load();
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("loaded");
    };
    std::string badThird = good;
    const auto third = badThird.find("\"name\": \"Kest 2 / main\"");
    ASSERT_NE(third, std::string::npos);
    badThird.replace(third, 23, "\"name\": 7");
    EXPECT_NE(failure(badThird).find("layouts[2].name: expected a string"), std::string::npos) << failure(badThird);
    EXPECT_NE(failure(badThird + "x").find("malformed JSON"), std::string::npos);
    EXPECT_NE(failure(R"({"layouts": [1], "version": 1})").find("layouts[0]"), std::string::npos);
    EXPECT_NE(failure(R"({"layouts": []})").find("version"), std::string::npos);
    put(path(), good);
    EXPECT_EQ(loaded(), kests(0, 3));
}

// A file whose kests are followed by a second, empty list (a hand edit, another tool)
// is damaged like any other: kept aside with the reason, and the backup taken.
TEST_F(LayoutStoreTest, AFileThatRepeatsItsListOfKestsIsKeptAsideForTheBackup) {
    LayoutStore& store = LayoutStore::shared();
    store.layouts = kests(0, 20);
    store.save();
    store.save();
    const std::string good = bytes(path());
    const std::string repeated = good.substr(0, good.rfind('}')) + ",\n  \"layouts\": []\n}";
    put(path(), repeated);
    EXPECT_EQ(loaded(), kests(0, 20));
    const std::string kept = file("layouts.corrupt-20261205-200000.json");
    EXPECT_EQ(bytes(kept), repeated);
    EXPECT_EQ(bytes(path()), good);
    EXPECT_EQ(sim->simLog().lines().back(), "kestr: quarantined corrupt layouts.json \u2192 " + kept +
                                                ": malformed JSON: the key \"layouts\" appears twice in the "
                                                "top-level object");
}

}  // namespace
}  // namespace kestr
