// Mpsse::TransferLock: the recursive lock that keeps a transfer's write and
// read together. Sequences that must not be split (bring-up, open and close,
// an execute with its sync check) take it around the whole sequence and the
// writes and reads inside take it again.
//
// It is taken once per single register access, where a standard mutex (a
// recursive one even more) costs as much as building the frames, so it is a
// word of three states: free, held, and held with threads waiting. Taking a
// free lock is one compare-and-swap and giving it back one exchange; only a
// thread that finds it held sleeps, and only a release that finds sleepers
// wakes one. The owner is compared without ordering because a thread can
// only ever find its own id there if it stored it itself.
#pragma once

#include <atomic>
#include <thread>

namespace FTDI::Mpsse {

class TransferLock {
  public:
    void lock() {
        const std::thread::id self = std::this_thread::get_id();
        if (owner.load(std::memory_order_relaxed) == self) {
            ++depth;
            return;
        }
        int expected = kFree;
        if (!state.compare_exchange_strong(expected, kHeld, std::memory_order_acquire)) [[unlikely]]
            waitForRelease(expected);
        owner.store(self, std::memory_order_relaxed);
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
            state.notify_one();
    }

  private:
    static constexpr int kFree = 0;
    static constexpr int kHeld = 1;
    static constexpr int kContended = 2;

    // Marks the lock contended and sleeps until a release hands it over;
    // whoever takes it this way keeps it marked contended, so its own
    // release wakes the next sleeper too.
    [[gnu::noinline]] void waitForRelease(int seen) {
        if (seen != kContended) seen = state.exchange(kContended, std::memory_order_acquire);
        while (seen != kFree) {
            state.wait(kContended, std::memory_order_relaxed);
            seen = state.exchange(kContended, std::memory_order_acquire);
        }
    }

    std::atomic<int> state{kFree};
    std::atomic<std::thread::id> owner{};
    unsigned depth = 0;  // touched only by the owner
};

}  // namespace FTDI::Mpsse
