// The transfer lock is hand-made for speed, so it gets the checks a standard
// mutex would not need: exclusion under contention (run under the thread
// sanitizer too), nesting by the owner, and refusal to anyone else.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "mpsse/TransferLock.h"

namespace {

using FTDI::Mpsse::TransferLock;

bool takenByAnotherThread(TransferLock& lock) {
    bool taken = false;
    std::thread([&] {
        taken = lock.try_lock();
        if (taken) lock.unlock();
    }).join();
    return taken;
}

}  // namespace

TEST(TransferLock, NestsForItsOwnerAndRefusesOthersUntilTheLastUnlock) {
    TransferLock lock;
    lock.lock();
    lock.lock();
    EXPECT_TRUE(lock.try_lock());
    EXPECT_FALSE(takenByAnotherThread(lock));
    lock.unlock();
    lock.unlock();
    EXPECT_FALSE(takenByAnotherThread(lock));
    lock.unlock();
    EXPECT_TRUE(takenByAnotherThread(lock));
}

TEST(TransferLock, ContendingThreadsNeverOverlap) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    TransferLock lock;
    int inside = 0;  // plain ints: only the lock keeps them consistent
    int total = 0;
    bool overlapped = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                const std::lock_guard outer(lock);
                const std::lock_guard nested(lock);
                if (++inside != 1) overlapped = true;
                ++total;
                --inside;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(total, kThreads * kRounds);
}
