// Settings kept in "settings.json": read back by a fresh instance (as a restarted
// program would), another process's change kept, and a file that cannot be taken kept
// aside with one line in the log.
#include "Platform/Json/JsonFileDefaults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "Support/StoreTest.h"

namespace kestr::test {
namespace {

class JsonFileDefaultsTest : public StoreTest {
protected:
    std::string path() { return JsonFileDefaults::settingsPath(sim->simFiles().folders().applicationSupport); }
    std::unique_ptr<JsonFileDefaults> fresh() { return std::make_unique<JsonFileDefaults>(path()); }
};

TEST_F(JsonFileDefaultsTest, EveryKindIsThereForTheNextRunAndOtherRunsChangesAreKept) {
    EXPECT_EQ(path(), file("settings.json"));
    auto first = fresh();
    const PlistDict nested{{"list", PlistArray{PlistValue(1.0), PlistValue("a/b")}}, {"data", PlistData{0, 255}}};
    first->standard().set("flag", PlistValue(true));
    first->standard().set("count", PlistValue(std::int64_t{-3}));
    first->standard().set("nested", PlistValue(nested));
    first->standard().set("gone", PlistValue("x"));
    first->standard().remove("gone");
    EXPECT_EQ(bytes(path()),
              "{\n  \"count\": -3,\n  \"flag\": true,\n  \"nested\": {\n    \"data\": {\n      \"$data\": "
              "\"00ff\"\n    },\n    \"list\": [\n      1.0,\n      \"a/b\"\n    ]\n  }\n}");

    auto second = fresh();
    EXPECT_EQ(second->standard().object("nested"), PlistValue(nested));
    EXPECT_EQ(second->standard().object("count"), PlistValue(std::int64_t{-3}));
    EXPECT_EQ(second->standard().object("gone"), std::nullopt);
    EXPECT_EQ(second->suite("com.apple.WindowManager"), nullptr);

    // Two runs writing in turn: each keeps what the other wrote.
    second->standard().set("fromSecond", PlistValue(1));
    first->standard().set("fromFirst", PlistValue(2));
    EXPECT_EQ(fresh()->standard().object("fromSecond"), PlistValue(1));

    // A value that cannot be written leaves the file as it was.
    const std::string before = bytes(path());
    first->standard().set("bad", PlistValue(std::nan("")));
    EXPECT_EQ(bytes(path()), before);
    EXPECT_TRUE(sim->simLog().lines().back().starts_with("kestr: cannot save settings.json: "))
        << sim->simLog().lines().back();
    EXPECT_EQ(sim->simLog().lines().size(), 1u);
    first->standard().set("fine", PlistValue(3));
    EXPECT_EQ(fresh()->standard().object("fine"), PlistValue(3)) << "the value that failed is not kept";
}

TEST_F(JsonFileDefaultsTest, ADamagedOrWrongTypedFileIsKeptAsideTheDefaultsUsedAndOneLineLogged) {
    for (const std::string& damaged :
         {std::string("{\"flag\": tru"), std::string("[true]"), std::string("{\"flag\": null}"),
          std::string("{\"flag\": {\"$data\": \"zz\"}}"), std::string("{\"$data\": \"00\"}")}) {
        SCOPED_TRACE(damaged);
        std::filesystem::remove_all(folder());
        sim->simLog().clear();
        put(path(), damaged);
        auto defaults = fresh();
        EXPECT_EQ(defaults->standard().object("flag"), std::nullopt);
        ASSERT_EQ(sim->simLog().lines().size(), 1u);
        EXPECT_TRUE(sim->simLog().lines()[0].starts_with("kestr: quarantined corrupt settings.json \u2192 " + folder() +
                                                         "/settings.corrupt-"));
        const auto names = files();
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(bytes(folder() + "/" + names[0]), damaged) << "kept as it was";
    }

    // With a backup, the backup's values stand.
    std::filesystem::remove_all(folder());
    fresh()->standard().set("flag", PlistValue(true));
    fresh()->standard().set("other", PlistValue(1));
    put(path(), "garbage");
    EXPECT_EQ(fresh()->standard().object("flag"), PlistValue(true));
    EXPECT_EQ(bytes(path()), "{\n  \"flag\": true\n}") << "the backup's values written back as the file";

    // A file that cannot be read is not written over.
    sim->simLog().clear();
    sim->simFiles().failOperation(FileOperation::read, "settings.json", -1);
    auto unreadable = fresh();
    unreadable->standard().set("flag", PlistValue(false));
    EXPECT_EQ(unreadable->standard().object("flag"), PlistValue(false));
    sim->simFiles().clearFailures();
    EXPECT_EQ(fresh()->standard().object("flag"), PlistValue(true));
    EXPECT_TRUE(
        sim->simLog().lines().front().starts_with("kestr: cannot read settings.json; using the default settings: "))
        << sim->simLog().lines().front();
}

}  // namespace
}  // namespace kestr::test
