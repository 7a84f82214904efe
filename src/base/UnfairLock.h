#pragma once
// A tiny non-recursive spin lock for state that is held for a few
// instructions at a time and read on the key path: cheaper than a mutex when
// uncontended, and it never puts the tap thread to sleep.

#include <atomic>
#include <thread>

namespace kestrune {

class UnfairLock {
public:
    void lock() noexcept
    {
        for (int spins = 0; flag_.test_and_set(std::memory_order_acquire); ++spins) {
            if (spins > 64)
                std::this_thread::yield();
        }
    }
    void unlock() noexcept { flag_.clear(std::memory_order_release); }

private:
    std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

} // namespace kestrune
