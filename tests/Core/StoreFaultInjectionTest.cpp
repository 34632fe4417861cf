// Every file operation of a save and of a load, made to fail in turn: what a later load
// finds is always the old document or the new one, and an undecodable file is never lost.
#include <gtest/gtest.h>

#include <functional>

#include "StoreTest.h"

namespace kestr {
namespace {

// The operation and file of a journal line ("copy /a -> /b" and the like).
std::pair<FileOperation, std::string> parseEntry(const std::string& line) {
    using enum FileOperation;
    for (const auto& [prefix, operation] : std::initializer_list<std::pair<std::string, FileOperation>>{
             {"read ", read}, {"write ", atomicWrite}, {"copy ", copy}, {"move ", move}, {"replace ", move},
             {"remove ", remove}, {"create folder ", createDirectory}})
        if (line.rfind(prefix, 0) == 0) return {operation, line.substr(prefix.size(), line.find(" -> ") - prefix.size())};
    ADD_FAILURE() << "unknown operation: " << line;
    return {};
}

class StoreFaultInjectionTest : public test::StoreTest {
protected:
    // Runs `action` on a new store once to learn its file operations, then once per
    // operation with the files as `setUp` makes them and that operation failing,
    // calling `check` after each.
    void sweep(const std::function<void()>& setUp, const std::function<void(LayoutStore&)>& action,
               const std::function<void()>& check) {
        auto run = [&] {
            const auto& journal = sim->simFiles().journal();
            const auto start = static_cast<std::ptrdiff_t>(journal.size());
            LayoutStore store;
            try {
                action(store);
            } catch (const Error&) {}
            return std::vector<std::string>(journal.begin() + start, journal.end());
        };
        setUp();
        const auto operations = run();
        ASSERT_GE(operations.size(), 3u);
        for (const auto& operation : operations) {
            SCOPED_TRACE("failing: " + operation);
            sim->simFiles().remove(folder());
            setUp();
            const auto [kind, file] = parseEntry(operation);
            sim->simFiles().failOperation(kind, file, 1);
            const auto faulted = run();
            sim->simFiles().clearFailures();
            EXPECT_NE(std::find(faulted.begin(), faulted.end(), operation), faulted.end());
            check();
        }
    }

    std::vector<Layout> freshLoad() {
        LayoutStore store;
        EXPECT_NO_THROW(store.load());
        return store.layouts;
    }
};

TEST_F(StoreFaultInjectionTest, EveryFailingSaveStepLeavesTheOldOrTheNewDocument) {
    const auto oldKests = kests(0, 2), newKests = kests(3, 3), older = kests(8, 1);
    sweep(
        [&] { put(path(), document(oldKests)); put(backup(), document(older)); },
        [&](LayoutStore& store) {
            store.layouts = newKests;
            store.save();
        },
        [&] {
            const auto found = freshLoad();
            EXPECT_TRUE(found == oldKests || found == newKests);
            // The backup is a whole document, old or previous.
            EXPECT_TRUE(bytes(backup()) == document(oldKests) || bytes(backup()) == document(older));
        });
}

TEST_F(StoreFaultInjectionTest, EveryFailingLoadStepKeepsTheUndecodableFileAndTheBackup) {
    const auto backupKests = kests(0, 2);
    const std::string undecodable = document(kests(4, 2)).substr(0, 400);
    sweep(
        [&] { put(path(), undecodable); put(backup(), document(backupKests)); },
        [&](LayoutStore& store) { store.load(); },
        [&] {
            bool kept = false;
            for (const auto& name : sim->simFiles().list(folder()))
                kept = kept || bytes(folder() + "/" + name) == undecodable;
            EXPECT_TRUE(kept);
            EXPECT_EQ(freshLoad(), backupKests);
        });
}

}  // namespace
}  // namespace kestr
