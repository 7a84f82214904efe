#pragma once
// A scheduler on a virtual clock, for the sim backend and for tests: time
// stands still until the owner advances it, and work runs only inside the
// driving calls below, on the thread that makes them (the main thread).

#include "base/Scheduler.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

namespace kestrune {

class VirtualScheduler final : public Scheduler {
public:
    // Time starts at 0 ms. Any thread.
    Millis now() const override;

    // Any thread; takes only a short internal lock. Work runs later, from a
    // driving call. Negative delays count as zero.
    void post(std::function<void()> work) override;
    WorkItemPtr postAfter(Millis delay, std::function<void()> work) override;
    // Fires at start + interval, + 2·interval, … (an interval below 1 ms counts
    // as 1 ms, so a repeating timer can never starve the clock). Any thread.
    WorkItemPtr repeat(Millis interval, std::function<void()> work) override;

    // The driving calls. Main thread only, and not from inside work.
    //
    // Runs everything due at now(), including work that due work posts with
    // no delay: earliest deadline first, then in posting order.
    void runDue();
    // Moves the clock to now() + d, running each item as its deadline is
    // reached; while an item runs, now() is its deadline.
    void advanceBy(Millis d);
    // Advances from one one-shot deadline to the next until no one-shot work
    // is pending or `limit` of virtual time has passed. Repeating timers fire
    // as time passes but do not keep it going.
    void runUntilIdle(Millis limit);

    // Inspection. Any thread. Cancelled items are not counted.
    std::optional<Millis> nextDeadline(bool includeRepeating) const;
    size_t pendingCount(bool includeRepeating) const;

    // Called on the driving thread after each work item has run (the sim uses
    // it to let another thread settle). Main thread.
    void setAfterWorkHook(std::function<void()> hook);

private:
    struct Entry {
        Millis deadline;
        uint64_t sequence; // posting order, breaks deadline ties
        Millis interval;   // zero for one-shot work
        WorkItemPtr item;
        std::shared_ptr<std::function<void()>> work;

        bool operator<(const Entry& o) const
        {
            return deadline != o.deadline ? deadline < o.deadline : sequence < o.sequence;
        }
        bool cancelled() const { return item->isCancelled(); }
    };

    WorkItemPtr add(Millis delay, Millis interval, std::function<void()> work);
    // Removes and returns the first live entry due by `limit`, rescheduling it
    // first when it repeats. Moves the clock to its deadline.
    std::optional<Entry> takeDue(Millis limit);

    mutable std::mutex mutex_;
    std::set<Entry> queue_;     // guarded by mutex_
    uint64_t nextSequence_ = 0;  // guarded by mutex_
    Millis now_{0};              // guarded by mutex_
    std::function<void()> afterWork_;
};

} // namespace kestrune
