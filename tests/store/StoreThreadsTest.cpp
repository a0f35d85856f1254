#include "StoreTestSupport.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using StoreThreads = testing::StoreTest;

constexpr int kRounds = 150;
constexpr int kSetSize = 24;

std::vector<KeyLight> PaintedSet(int round) {
    std::vector<KeyLight> lights;
    for (int code = 0; code < kSetSize; ++code) lights.push_back(KeyLight{0, 1, 128, code, round});
    return lights;
}

// The UI thread edits profiles while the worker reads and repaints the custom
// light set, as in a profile switch during an upload.
TEST_F(StoreThreads, TwoThreadsAtOnceSeeWholeOperations) {
    std::atomic<bool> partialSet{false};
    std::thread worker([&] {
        for (int round = 1; round <= kRounds; ++round) {
            store.DeleteKeyLights(128);
            store.AddKeyLights(PaintedSet(round));
            std::vector<KeyLight> lights;
            store.LoadKeyLights(128, lights);
            // Only this thread writes the set, so it must read back its own rows.
            if (lights.size() != kSetSize || lights.front().key_rgb != round) partialSet = true;
        }
    });
    std::vector<int> ids;
    for (int round = 0; round < kRounds; ++round) {
        const int id = store.AddProfile(testing::NamedProfile(L"p" + std::to_wstring(round)));
        ids.push_back(id);
        store.RenameProfile(id, L"renamed " + std::to_wstring(round));
        std::vector<KeyLight> lights;
        const int count = store.LoadKeyLights(128, lights);
        // A set is read whole or not at all: AddKeyLights holds the lock for its transaction.
        if (count != 0 && count != kSetSize) partialSet = true;
    }
    worker.join();

    EXPECT_FALSE(partialSet);
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(store.LoadProfiles(profiles), kRounds);
    for (int round = 0; round < kRounds; ++round) {
        EXPECT_EQ(profiles[round].profile, ids[round]);
        EXPECT_EQ(profiles[round].name, L"renamed " + std::to_wstring(round));
    }
    std::vector<KeyLight> lights;
    ASSERT_EQ(store.LoadKeyLights(128, lights), kSetSize);
    EXPECT_EQ(lights.front().key_rgb, kRounds);
}

// Switching the model (close and open) while the worker still writes: the
// worker's writes fail softly while the store is closed, and every write that
// reported success is in the file afterwards.
TEST_F(StoreThreads, ReopeningWhileAnotherThreadWritesLosesNoReportedWrite) {
    std::atomic<bool> done{false};
    std::mutex idsMutex;
    std::set<int> stored;
    std::thread worker([&] {
        for (int round = 0; round < 400; ++round) {
            const int id = store.AddMacro(L"m" + std::to_wstring(round));
            if (id != 0) {
                std::lock_guard lock(idsMutex);
                stored.insert(id);
            }
        }
        done = true;
    });
    int reopenings = 0;
    while (!done) {
        store.Close();
        store.Open(dir.data(), testing::kModel);
        ++reopenings;
    }
    worker.join();
    ASSERT_TRUE(store.Open(dir.data(), testing::kModel));

    std::vector<MacroRecord> macros;
    store.LoadMacros(macros);
    std::set<int> inFile;
    for (const MacroRecord& m : macros) inFile.insert(m.macro_id);
    EXPECT_EQ(inFile, stored);
    EXPECT_GT(reopenings, 0);
}

// The UI thread closes the store while the worker is in the middle of reading
// the profile list. Close must wait for that read: a connection closed under a
// running statement stays open behind the store's back, and the "closed" store
// would go on handing out data.
TEST_F(StoreThreads, ClosingDuringALongReadLeavesNothingReadable) {
    constexpr int kProfiles = 200;  // the most a user can have
    // Long names make each read of the list take a while.
    for (int i = 0; i < kProfiles; ++i) store.AddProfile(testing::NamedProfile(std::wstring(2000, L'a' + i % 26)));

    // Odd phases: the store has been closed and not yet reopened.
    std::atomic<int> phase{0};
    std::atomic<int> reads{0};
    std::atomic<bool> reading{false};
    std::atomic<bool> stop{false};
    std::atomic<int> readWhileClosed{0};
    std::atomic<int> partialLists{0};
    std::thread worker([&] {
        std::vector<ProfileRecord> list;
        while (!stop) {
            const int before = phase;
            reading = true;
            const int count = store.LoadProfiles(list);
            reading = false;
            const int after = phase;
            if (count != 0 && count != kProfiles) ++partialLists;
            // A read that began and ended inside one closed phase finds nothing.
            if (before == after && before % 2 == 1 && count != 0) ++readWhileClosed;
            ++reads;
            // The lock is not fair: without a pause the closing thread could wait for long.
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 30; ++round) {
        // Let a read get under way, then close under it.
        while (!reading) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        store.Close();
        ++phase;
        const int closedAt = reads;
        while (reads < closedAt + 2) std::this_thread::yield();
        ++phase;
        if (!store.Open(dir.data(), testing::kModel)) {
            ADD_FAILURE() << "reopening failed in round " << round;
            break;
        }
    }
    stop = true;
    worker.join();

    EXPECT_EQ(readWhileClosed, 0);
    EXPECT_EQ(partialLists, 0);
    std::vector<ProfileRecord> list;
    EXPECT_EQ(store.LoadProfiles(list), kProfiles);
}

}  // namespace
}  // namespace keyloft
