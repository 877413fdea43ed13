// Mpsse::TransferLock: the recursive lock that keeps a transfer's write and
// read together. Sequences that must not be split (bring-up, open and close,
// an execute with its sync check) take it around the whole sequence and the
// writes and reads inside take it again.
//
// It is taken once per single register access, where a standard mutex (a
// recursive one even more) costs as much as building the frames, so its
// state is a word: free, held, or held with threads waiting. Taking a free
// lock is one compare-and-swap and giving it back one exchange; only a
// thread that finds it held sleeps, on a condition variable, and only a
// release that finds sleepers wakes one. (The standard atomic wait would
// be smaller, but the Windows runtime's version of it can miss a wake-up.)
// The owner is compared without ordering because a thread can only ever
// find its own id there if it stored it itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace FTDI::Mpsse {

class TransferLock {
  public:
    void lock() {
        if (try_lock()) [[likely]]
            return;
        waitForRelease();
        owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
        depth = 1;
    }

    bool try_lock() {
        const std::thread::id self = std::this_thread::get_id();
        if (owner.load(std::memory_order_relaxed) == self) {
            ++depth;
            return true;
        }
        int expected = kFree;
        if (!state.compare_exchange_strong(expected, kHeld, std::memory_order_acquire))
            return false;
        owner.store(self, std::memory_order_relaxed);
        depth = 1;
        return true;
    }

    void unlock() {
        if (--depth != 0) return;
        owner.store(std::thread::id(), std::memory_order_relaxed);
        if (state.exchange(kFree, std::memory_order_release) == kContended) [[unlikely]]
            wakeOneSleeper();
    }

  private:
    static constexpr int kFree = 0;
    static constexpr int kHeld = 1;
    static constexpr int kContended = 2;

    // Marks the lock contended and sleeps until it is free; whoever takes it
    // this way leaves it marked contended, so its own release wakes the next
    // sleeper too. The state is looked at again under `sleepers`, which a
    // release must take to wake anyone and a sleeper holds until it sleeps,
    // so no release falls between the look and the sleep.
    [[gnu::noinline]] void waitForRelease() {
        std::unique_lock guard(sleepers);
        int seen = state.exchange(kContended, std::memory_order_acquire);
        while (seen != kFree) {
            released.wait(guard);
            seen = state.exchange(kContended, std::memory_order_acquire);
        }
    }

    [[gnu::noinline]] void wakeOneSleeper() {
        const std::lock_guard guard(sleepers);
        released.notify_one();
    }

    std::atomic<int> state{kFree};
    std::atomic<std::thread::id> owner{};
    unsigned depth = 0;  // touched only by the owner
    std::mutex sleepers;
    std::condition_variable released;
};

}  // namespace FTDI::Mpsse
