#pragma once
// A request the main thread makes of the tap thread, carried out there
// between events, with a bounded wait for it: before the machine sleeps the
// engine must forget what is held and release what it posted before sleep
// comes, but a stuck tap thread must not hold the main thread for long.
// Requests made before the tap thread serves are served once.
//
// Threads: attach(), detach() and serve() on the tap thread;
// requestAndWait() on any other thread.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace kestrune {

class TapThreadRequest {
public:
    // The tap that serves from now on. `wake` makes its thread call serve()
    // soon; it is called with a lock held, so it must neither block nor call
    // back in.
    void attach(std::function<void()> wake);
    // The tap is going away: nothing serves until the next attach, and those
    // waiting stop waiting.
    void detach();

    // Asks for the work and waits until it is done or `guard` has passed.
    // False when it was not done in time, or no tap is attached.
    bool requestAndWait(std::chrono::milliseconds guard);

    // Carries out `work` once if it was asked for since the last time, then
    // lets those waiting go on.
    template <typename Work>
    void serve(Work&& work)
    {
        uint64_t target = 0;
        {
            std::lock_guard lock(mutex_);
            target = requested_;
            if (target == served_)
                return;
        }
        work();
        {
            std::lock_guard lock(mutex_);
            served_ = target;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> wake_;
    uint64_t requested_ = 0;
    uint64_t served_ = 0;
    uint64_t attachments_ = 0; // which tap a waiter asked of
};

} // namespace kestrune
