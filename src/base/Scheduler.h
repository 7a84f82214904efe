#pragma once
// The main-queue scheduler: everything the product runs "asynchronously on the
// main queue", "after N seconds" or on a repeating timer goes through here, so
// that tests can drive time on a virtual clock instead of sleeping.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace kestrune {

using Millis = std::chrono::milliseconds;

// A pending piece of deferred work. cancel() may be called from any thread;
// once it returns, the work will not start (work already running finishes).
class WorkItem {
public:
    void cancel() noexcept { cancelled_.store(true, std::memory_order_release); }
    bool isCancelled() const noexcept { return cancelled_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> cancelled_{false};
};
using WorkItemPtr = std::shared_ptr<WorkItem>;

class Scheduler {
public:
    virtual ~Scheduler() = default;

    // Monotonic time of this scheduler's clock. Any thread.
    virtual Millis now() const = 0;

    // Runs `work` on the main thread soon, after the work posted before it.
    // Any thread; never blocks.
    virtual void post(std::function<void()> work) = 0;

    // Runs `work` on the main thread at now() + delay unless the returned
    // item is cancelled first. Any thread; never blocks.
    virtual WorkItemPtr postAfter(Millis delay, std::function<void()> work) = 0;

    // Runs `work` on the main thread every `interval` until the returned item
    // is cancelled. Main thread.
    virtual WorkItemPtr repeat(Millis interval, std::function<void()> work) = 0;
};

} // namespace kestrune
