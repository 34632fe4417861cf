// Every file operation of a save and of a load, made to fail in turn: what a later load
// finds is always the old document or the new one, and an undecodable file is never lost.
#include <gtest/gtest.h>

#include <functional>

#include "StoreTest.h"

namespace kestr {
namespace {

struct JournalEntry {
    FileOperation operation;
    std::string path;
    std::string line;
};

// "copy /a -> /b" and the like, as SimFiles records them.
std::optional<JournalEntry> parseEntry(const std::string& line) {
    static const std::pair<const char*, FileOperation> names[] = {
        {"read ", FileOperation::read},       {"write ", FileOperation::atomicWrite},
        {"copy ", FileOperation::copy},       {"move ", FileOperation::move},
        {"replace ", FileOperation::move},    {"remove ", FileOperation::remove},
        {"create folder ", FileOperation::createDirectory}};
    for (const auto& [prefix, operation] : names) {
        const std::string p = prefix;
        if (line.rfind(p, 0) != 0) continue;
        std::string path = line.substr(p.size());
        path = path.substr(0, path.find(" -> "));
        return JournalEntry{operation, path, line};
    }
    return std::nullopt;
}

class StoreFaultInjectionTest : public test::StoreTest {
protected:
    std::vector<std::string> journalSince(std::size_t start) {
        const auto& journal = sim->simFiles().journal();
        return {journal.begin() + static_cast<std::ptrdiff_t>(start), journal.end()};
    }

    // Runs `action` once to learn its file operations, then once per operation with the
    // files as `setUp` makes them and that operation failing, calling `check` after each.
    void sweep(const std::function<void()>& setUp, const std::function<void()>& action,
               const std::function<void()>& check) {
        setUp();
        const std::size_t start = sim->simFiles().journal().size();
        action();
        const auto operations = journalSince(start);
        ASSERT_GE(operations.size(), 3u);
        for (std::size_t i = 0; i < operations.size(); ++i) {
            const auto entry = parseEntry(operations[i]);
            ASSERT_TRUE(entry) << operations[i];
            // The fault hits the first matching call, which must be this one.
            for (std::size_t k = 0; k < i; ++k) {
                const auto earlier = parseEntry(operations[k]);
                ASSERT_FALSE(earlier->operation == entry->operation &&
                             operations[k].find(entry->path) != std::string::npos)
                    << "cannot single out " << operations[i];
            }
            SCOPED_TRACE("failing: " + operations[i]);
            sim->simFiles().remove(folder());
            setUp();
            const std::size_t before = sim->simFiles().journal().size();
            sim->simFiles().failOperation(entry->operation, entry->path, 1);
            action();
            sim->simFiles().clearFailures();
            const auto faulted = journalSince(before);
            EXPECT_NE(std::find(faulted.begin(), faulted.end(), operations[i]), faulted.end());
            check();
        }
    }

    std::vector<Layout> freshLoad() {
        LayoutStore store;
        try {
            store.load();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "fresh load failed: " << e.what();
        }
        return store.layouts;
    }
};

TEST_F(StoreFaultInjectionTest, EveryFailingSaveStepLeavesTheOldOrTheNewDocument) {
    const auto oldKests = kests(0, 2), newKests = kests(3, 3), older = kests(8, 1);
    sweep(
        [&] {
            put(path(), document(oldKests));
            put(backup(), document(older));
        },
        [&] {
            LayoutStore store;
            store.layouts = newKests;
            try {
                store.save();
            } catch (const Error&) {
            }
        },
        [&] {
            const auto found = freshLoad();
            EXPECT_TRUE(found == oldKests || found == newKests);
            // The backup is a whole document, old or previous.
            const auto previous = bytes(backup());
            EXPECT_TRUE(previous == document(oldKests) || previous == document(older));
        });
}

TEST_F(StoreFaultInjectionTest, EveryFailingLoadStepKeepsTheUndecodableFileAndTheBackup) {
    const auto backupKests = kests(0, 2);
    const std::string full = document(kests(4, 2));
    const std::string undecodable = full.substr(0, full.size() - 40);
    sweep(
        [&] {
            put(path(), undecodable);
            put(backup(), document(backupKests));
        },
        [&] {
            LayoutStore store;
            try {
                store.load();
            } catch (const Error&) {
            }
        },
        [&] {
            bool kept = false;
            for (const auto& name : sim->simFiles().list(folder()))
                kept = kept || sim->simFiles().read(folder() + "/" + name) == undecodable;
            EXPECT_TRUE(kept);
            EXPECT_EQ(freshLoad(), backupKests);
        });
}

}  // namespace
}  // namespace kestr
