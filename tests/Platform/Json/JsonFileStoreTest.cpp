// The steps every JSON store shares, on a store of one text: backups, atomic writes,
// recovery from the backup, quarantine, and what each failure leaves behind.
#include "Platform/Json/JsonFileStore.h"
#include "Platform/Posix/PosixFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "Support/StoreTest.h"
#include "Support/Thrown.h"

namespace kestr {
namespace {

struct Undecodable : Error {
    using Error::Error;
};
struct Refused : Error {
    Refused() : Error("refused") {}
};

// A store whose file is "text:" followed by its text; the text "unwritable" cannot
// be encoded.
struct TextStore {
    explicit TextStore(std::string file) : path(std::move(file)) {}
    std::string path;
    std::string text;
    bool loadFailed = false;

    JsonFileStore::Content content() {
        return {
            [this](const std::string& bytes) {
                if (bytes.rfind("text:", 0) != 0) throw Undecodable("not a text file");
                text = bytes.substr(5);
            },
            [this] {
                if (text == "unwritable") throw JsonEncodeError("unwritable");
                return "text:" + text;
            },
            [this] { text.clear(); },
            [] { throw Refused(); },
            {},
            {},
            {},
            nullptr,
        };
    }
    void load() { JsonFileStore::load(path, loadFailed, content()); }
    void save() { JsonFileStore::save(path, loadFailed, content()); }
};

class JsonFileStoreTest : public test::StoreTest {
protected:
    std::string path() { return file("texts.json"); }
    std::string backup() { return path() + ".bak"; }
    TextStore store() { return TextStore(path()); }
    std::string loaded() {
        TextStore fresh = store();
        EXPECT_NO_THROW(fresh.load());
        return fresh.text;
    }
    const std::vector<std::string>& log() { return sim->simLog().lines(); }
};

// Where the system names no data folder, the one a Linux desktop uses.
TEST(JsonFileStoreFolderTest, WithoutADataFolderTheStoresLiveInLocalShare) {
    PosixFiles files({"/home/kim", "", "/home/kim/Desktop"});
    EXPECT_EQ(JsonFileStore::defaultFolder(files), "/home/kim/.local/share/kestr");
}

TEST_F(JsonFileStoreTest, SavesKeepThePreviousFileAsBackupAndAMissingFileIsAFreshStart) {
    TextStore s = store();
    s.load();
    s.save();  // creates the folder, no backup
    EXPECT_EQ(files(), std::vector<std::string>{"texts.json"});
    s.text = "one";
    s.save();
    s.text = "two";
    s.save();
    EXPECT_EQ(bytes(backup()), "text:one");
    EXPECT_EQ(loaded(), "two");

    // A user who removed the file meant it: the backup beside it is not loaded.
    sim->simFiles().remove(path());
    s.load();
    EXPECT_EQ(s.text, "");
    EXPECT_FALSE(s.loadFailed);
    EXPECT_EQ(bytes(backup()), "text:one");
}

TEST_F(JsonFileStoreTest, SaveForcesTheBackupCopyAndTheFolderToTheDiskAfterEachRename) {
    put(path(), "text:old");
    const auto start = sim->simFiles().journal().size();
    TextStore s = store();
    s.text = "new";
    s.save();
    const std::vector<std::string> journal(sim->simFiles().journal().begin() + static_cast<std::ptrdiff_t>(start),
                                           sim->simFiles().journal().end());
    const std::string fresh = backup() + ".tmp";
    // All of it under the lock another process would wait for.
    const std::string lock = JsonFileStore::lockPath(path());
    EXPECT_EQ(journal, (std::vector<std::string>{"create folder " + folder(), "lock " + lock,
                                                 "copy " + path() + " -> " + fresh, "sync " + fresh,
                                                 "replace " + fresh + " -> " + backup(), "sync folder " + folder(),
                                                 "write " + path(), "sync folder " + folder(), "unlock " + lock}));
}

TEST_F(JsonFileStoreTest, LoadRemovesTheTemporaryFilesOfSavesCutShortBeforeThisProcess) {
    put(path(), "text:kept");
    const auto age = [&](const std::string& name, std::chrono::hours hours) {
        put(file(name), "text:partial");
        std::filesystem::last_write_time(file(name), std::filesystem::file_time_type::clock::now() - hours);
    };
    age(".texts.json.tmp-Ab12Cd", std::chrono::hours(1));
    age(".texts.json.tmp-Zz9Yy8", std::chrono::hours(24 * 400));
    age(".texts.json.tmp-Xx7Ww6", std::chrono::hours(0));  // another process's write in progress
    age(".texts.json.tmp-Ab12C", std::chrono::hours(1));   // not a name writes choose
    age(".other.json.tmp-Ab12Cd", std::chrono::hours(1));
    age("texts.json.bak.tmp", std::chrono::hours(0));  // the backup's copy of a save killed
    EXPECT_EQ(loaded(), "kept");
    EXPECT_EQ(files(), (std::vector<std::string>{".other.json.tmp-Ab12Cd", ".texts.json.tmp-Ab12C",
                                                 ".texts.json.tmp-Xx7Ww6", "texts.json"}));

    // One that cannot be removed is logged, and the load goes on.
    age(".texts.json.tmp-Ab12Cd", std::chrono::hours(1));
    sim->simFiles().failOperation(FileOperation::remove, ".texts.json.tmp-Ab12Cd", 1);
    EXPECT_EQ(loaded(), "kept");
    ASSERT_FALSE(log().empty());
    EXPECT_EQ(log().back(), "kestr: cannot remove " + file(".texts.json.tmp-Ab12Cd") + ": injected failure");
}

TEST_F(JsonFileStoreTest, UndecodableFileIsKeptAsideAndTheBackupTakesItsPlace) {
    sim->simClock().utcOffset = 3600;  // the stamp is local time: 21:00 for 20:00Z
    put(backup(), "text:backed up");
    put(path(), "damaged");
    TextStore s = store();
    s.load();
    EXPECT_EQ(s.text, "backed up");
    EXPECT_FALSE(s.loadFailed);
    EXPECT_EQ(files(),
              (std::vector<std::string>{"texts.corrupt-20261205-210000.json", "texts.json", "texts.json.bak"}));
    EXPECT_EQ(bytes(file("texts.corrupt-20261205-210000.json")), "damaged");
    EXPECT_EQ(bytes(path()), "text:backed up");
    // Where it went and the decoder's own words on why.
    EXPECT_EQ(log(), std::vector<std::string>{"kestr: quarantined corrupt texts.json \u2192 " +
                                              file("texts.corrupt-20261205-210000.json") + ": not a text file"});

    // Within the same second the next ones are kept beside it, never over it.
    for (const std::string suffix : {"-1", "-2"}) {
        put(path(), "damaged" + suffix);
        s.load();
        EXPECT_EQ(bytes(file("texts.corrupt-20261205-210000" + suffix + ".json")), "damaged" + suffix);
    }
    EXPECT_EQ(bytes(file("texts.corrupt-20261205-210000.json")), "damaged");

    // When the file cannot be written back, the backup takes its place: a later load must
    // not find the file missing and start afresh.
    put(path(), "damaged again");
    sim->simFiles().failOperation(FileOperation::atomicWrite, "texts.json", 1);
    s.load();
    EXPECT_EQ(s.text, "backed up");
    EXPECT_EQ(bytes(path()), "text:backed up");
    EXPECT_FALSE(sim->simFiles().exists(backup()));
}

TEST_F(JsonFileStoreTest, UndecodableFileWithoutAUsableBackupFailsAndTheNextSaveStartsAfresh) {
    for (const bool withBackup : {false, true}) {
        SCOPED_TRACE(withBackup ? "undecodable backup" : "no backup");
        if (sim->simFiles().exists(folder())) sim->simFiles().remove(folder());
        put(path(), "damaged");
        if (withBackup) put(backup(), "also damaged");
        TextStore s = store();
        s.text = "before";
        EXPECT_STREQ(test::thrown<Undecodable>([&] { s.load(); })->what(), "not a text file");
        EXPECT_EQ(s.text, "");
        EXPECT_FALSE(s.loadFailed);
        EXPECT_EQ(bytes(file("texts.corrupt-20261205-200000.json")), "damaged");
        EXPECT_FALSE(sim->simFiles().exists(path()));
        if (withBackup) {
            EXPECT_EQ(bytes(backup()), "also damaged");
        }
        s.text = "new";
        s.save();
        EXPECT_EQ(loaded(), "new");
    }
}

// A file that could not be moved aside is never written over, and nothing is saved over
// it until a later load gets past it; the backup's content is shown meanwhile.
TEST_F(JsonFileStoreTest, FailedQuarantineKeepsTheBackupInMemoryAndRefusesToSave) {
    put(path(), "damaged");
    put(backup(), "text:backed up");
    sim->simFiles().failOperation(FileOperation::move, "texts.json", 1);
    TextStore s = store();
    EXPECT_THROW(s.load(), Undecodable);
    EXPECT_EQ(s.text, "backed up");
    EXPECT_TRUE(s.loadFailed);
    ASSERT_EQ(log().size(), 2u);
    EXPECT_EQ(log()[0].rfind("kestr: failed to quarantine texts.json: ", 0), 0u) << log()[0];
    EXPECT_EQ(log()[1], "kestr: keeping texts.json.bak in memory; saves refuse until texts.json can be moved aside");
    s.text = "edited";
    EXPECT_THROW(s.save(), Refused);
    EXPECT_EQ(files(), (std::vector<std::string>{"texts.json", "texts.json.bak"}));
    EXPECT_EQ(bytes(path()), "damaged");
    EXPECT_EQ(bytes(backup()), "text:backed up");

    // Without a backup there is nothing to show.
    sim->simFiles().remove(backup());
    sim->simFiles().failOperation(FileOperation::move, "texts.json", 1);
    EXPECT_THROW(s.load(), Undecodable);
    EXPECT_EQ(s.text, "");
    EXPECT_TRUE(s.loadFailed);
    EXPECT_THROW(s.save(), Refused);

    // Once the file can be moved, loading and saving work again.
    EXPECT_THROW(s.load(), Undecodable);
    EXPECT_FALSE(s.loadFailed);
    s.text = "edited";
    s.save();
    EXPECT_EQ(loaded(), "edited");
}

TEST_F(JsonFileStoreTest, UnreadableFileOrBackupIsLeftAloneAndSavesRefuseUntilALaterLoadReadsIt) {
    put(path(), "text:kept");
    sim->simFiles().failOperation(FileOperation::read, "texts.json", 1);
    TextStore s = store();
    s.text = "before";
    EXPECT_THROW(s.load(), FileError);
    EXPECT_EQ(s.text, "");
    EXPECT_TRUE(s.loadFailed);
    EXPECT_THROW(s.save(), Refused);
    EXPECT_EQ(bytes(path()), "text:kept");
    s.load();
    EXPECT_EQ(s.text, "kept");
    EXPECT_FALSE(s.loadFailed);

    // A backup that cannot be read may be fine at the next load: nothing moves.
    put(path(), "damaged");
    put(backup(), "text:backed up");
    sim->simFiles().failOperation(FileOperation::read, "texts.json.bak", 1);
    EXPECT_THROW(s.load(), Undecodable);
    EXPECT_TRUE(s.loadFailed);
    EXPECT_EQ(files(), (std::vector<std::string>{"texts.json", "texts.json.bak"}));
    s.load();
    EXPECT_EQ(s.text, "backed up");
}

// A file far too large to be a store file is undecodable: recovered from the backup and
// kept aside. A device in its place cannot be read: it is left as it is.
TEST_F(JsonFileStoreTest, OversizedOrIrregularFileIsRecoveredOrLeftAlone) {
    put(backup(), "text:backed up");
    put(path(), "");
    ASSERT_EQ(::truncate(path().c_str(), Files::maxReadSize + 1), 0);
    TextStore s = store();
    s.load();
    EXPECT_EQ(s.text, "backed up");
    EXPECT_EQ(bytes(path()), "text:backed up");
    EXPECT_EQ(files(),
              (std::vector<std::string>{"texts.corrupt-20261205-200000.json", "texts.json", "texts.json.bak"}));

    sim->simFiles().remove(path());
    std::filesystem::create_symlink("/dev/zero", path());
    EXPECT_THROW(s.load(), FileError);
    EXPECT_TRUE(s.loadFailed);
    EXPECT_EQ(s.text, "");
    EXPECT_TRUE(std::filesystem::is_symlink(path()));
}

// The previous backup stays until a complete new one replaces it; an unwritable
// content writes nothing at all.
TEST_F(JsonFileStoreTest, FailedBackupOrEncodingKeepsBothFiles) {
    put(path(), "text:current");
    put(backup(), "text:previous");
    TextStore s = store();
    s.text = "new";
    for (FileOperation failing : {FileOperation::copy, FileOperation::move}) {
        sim->simFiles().failOperation(failing, "texts.json", 1);
        EXPECT_THROW(s.save(), FileError);
        EXPECT_EQ(bytes(path()), "text:current");
        EXPECT_EQ(bytes(backup()), "text:previous");
        EXPECT_EQ(files(), (std::vector<std::string>{"texts.json", "texts.json.bak"}));
    }
    s.text = "unwritable";
    EXPECT_THROW(s.save(), JsonEncodeError);
    EXPECT_EQ(bytes(path()), "text:current");

    // A temporary copy left behind by an interrupted save is cleared first.
    put(backup() + ".tmp", "stale");
    s.text = "new";
    s.save();
    EXPECT_EQ(files(), (std::vector<std::string>{"texts.json", "texts.json.bak"}));
}

// The menu-bar application and the command line share the file: a recovery happens
// wholly under the lock, and a lock another process keeps holding leaves everything
// as it is, as an unreadable file does.
TEST_F(JsonFileStoreTest, RecoveryHoldsTheLockAndALockHeldElsewhereChangesNothing) {
    put(path(), "damaged");
    put(backup(), "text:backed up");
    const std::string lock = JsonFileStore::lockPath(path());
    sim->simFiles().failOperation(FileOperation::lock, lock);
    TextStore s = store();
    EXPECT_EQ(test::thrown<FileError>([&] { s.load(); })->what(), "cannot lock " + lock + ": injected failure");
    EXPECT_TRUE(s.loadFailed);
    EXPECT_EQ(files(), (std::vector<std::string>{"texts.json", "texts.json.bak"}));
    EXPECT_THROW(s.save(), Refused);

    const auto start = static_cast<std::ptrdiff_t>(sim->simFiles().journal().size());
    s.load();
    EXPECT_EQ(s.text, "backed up");
    const std::vector<std::string> journal(sim->simFiles().journal().begin() + start, sim->simFiles().journal().end());
    ASSERT_GE(journal.size(), 4u);
    EXPECT_EQ(journal.front(), "lock " + lock);
    EXPECT_EQ(journal.back(), "unlock " + lock);
    EXPECT_NE(std::find(journal.begin(), journal.end(), "write " + path()), journal.end());
}

// The operation and file of a journal line ("copy /a -> /b" and the like).
std::pair<FileOperation, std::string> parseEntry(const std::string& line) {
    using enum FileOperation;
    for (const auto& [prefix, operation] :
         std::initializer_list<std::pair<std::string, FileOperation>>{{"read ", read},
                                                                      {"write ", atomicWrite},
                                                                      {"copy ", copy},
                                                                      {"move ", move},
                                                                      {"replace ", move},
                                                                      {"remove ", remove},
                                                                      {"create folder ", createDirectory},
                                                                      {"sync folder ", syncFolder},
                                                                      {"sync ", sync},
                                                                      {"lock ", lock}})
        if (line.rfind(prefix, 0) == 0)
            return {operation, line.substr(prefix.size(), line.find(" -> ") - prefix.size())};
    ADD_FAILURE() << "unknown operation: " << line;
    return {};
}

// Every file operation of a save and of a load, made to fail in turn.
class StoreFaultInjectionTest : public JsonFileStoreTest {
protected:
    // Runs `action` on a new store once to learn its file operations, then once per
    // operation with the files as `setUp` makes them and that operation failing,
    // calling `check` after each.
    void sweep(const std::function<void()>& setUp, const std::function<void(TextStore&)>& action,
               const std::function<void()>& check) {
        auto run = [&] {
            const auto& journal = sim->simFiles().journal();
            const auto start = static_cast<std::ptrdiff_t>(journal.size());
            TextStore s = store();
            try {
                action(s);
            } catch (const Error&) {}
            return std::vector<std::string>(journal.begin() + start, journal.end());
        };
        setUp();
        const auto operations = run();
        ASSERT_GE(operations.size(), 3u);
        for (const auto& operation : operations) {
            if (operation.rfind("unlock ", 0) == 0) continue;  // releasing cannot fail
            SCOPED_TRACE("failing: " + operation);
            sim->simFiles().remove(folder());
            setUp();
            const auto [kind, failing] = parseEntry(operation);
            sim->simFiles().failOperation(kind, failing, 1);
            const auto faulted = run();
            sim->simFiles().clearFailures();
            EXPECT_NE(std::find(faulted.begin(), faulted.end(), operation), faulted.end());
            check();
        }
    }
};

TEST_F(StoreFaultInjectionTest, EveryFailingSaveStepLeavesTheOldOrTheNewFile) {
    sweep(
        [&] {
            put(path(), "text:old");
            put(backup(), "text:older");
        },
        [&](TextStore& s) {
            s.text = "new";
            s.save();
        },
        [&] {
            const auto found = loaded();
            EXPECT_TRUE(found == "old" || found == "new") << found;
            // The backup is a whole file, the old one or the one before.
            EXPECT_TRUE(bytes(backup()) == "text:old" || bytes(backup()) == "text:older") << bytes(backup());
        });
}

TEST_F(StoreFaultInjectionTest, EveryFailingLoadStepKeepsTheUndecodableFileAndTheBackup) {
    sweep(
        [&] {
            put(path(), "damaged");
            put(backup(), "text:backed up");
        },
        [&](TextStore& s) { s.load(); },
        [&] {
            bool kept = false;
            for (const auto& name : files()) kept = kept || bytes(file(name)) == "damaged";
            EXPECT_TRUE(kept);
            EXPECT_EQ(loaded(), "backed up");
        });
}

}  // namespace
}  // namespace kestr
