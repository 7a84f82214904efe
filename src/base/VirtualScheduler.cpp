#include "base/VirtualScheduler.h"

#include <algorithm>

namespace kestrune {

namespace {
// now + d without overflow, so that "run until idle, no limit" can pass Millis::max().
Millis later(Millis now, Millis d)
{
    d = std::max(d, Millis{0});
    return d > Millis::max() - now ? Millis::max() : now + d;
}
} // namespace

Millis VirtualScheduler::now() const
{
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualScheduler::post(std::function<void()> work)
{
    add(Millis{0}, Millis{0}, std::move(work));
}

WorkItemPtr VirtualScheduler::postAfter(Millis delay, std::function<void()> work)
{
    return add(delay, Millis{0}, std::move(work));
}

WorkItemPtr VirtualScheduler::repeat(Millis interval, std::function<void()> work)
{
    interval = std::max(interval, Millis{1});
    return add(interval, interval, std::move(work));
}

WorkItemPtr VirtualScheduler::add(Millis delay, Millis interval, std::function<void()> work)
{
    auto item = std::make_shared<WorkItem>();
    auto shared = std::make_shared<std::function<void()>>(std::move(work));
    std::lock_guard lock(mutex_);
    queue_.insert(Entry{later(now_, delay), nextSequence_++, interval, item, std::move(shared)});
    return item;
}

std::optional<VirtualScheduler::Entry> VirtualScheduler::takeDue(Millis limit)
{
    std::lock_guard lock(mutex_);
    while (!queue_.empty() && queue_.begin()->cancelled())
        queue_.erase(queue_.begin());
    if (queue_.empty() || queue_.begin()->deadline > limit)
        return std::nullopt;
    Entry entry = std::move(queue_.extract(queue_.begin()).value());
    now_ = std::max(now_, entry.deadline);
    // A repeating timer is put back before it runs, so that its work can
    // cancel it (the flag is checked when the next firing comes up).
    if (entry.interval > Millis{0})
        queue_.insert(Entry{entry.deadline + entry.interval, nextSequence_++, entry.interval, entry.item, entry.work});
    return entry;
}

void VirtualScheduler::advanceBy(Millis d)
{
    const Millis target = later(now(), d);
    // The lock is never held while work runs: work may post more work, and
    // other threads may post or cancel meanwhile.
    while (auto entry = takeDue(target)) {
        if (entry->cancelled())
            continue; // cancelled between takeDue() and here
        (*entry->work)();
        if (afterWork_)
            afterWork_();
    }
    std::lock_guard lock(mutex_);
    now_ = target;
}

void VirtualScheduler::runDue()
{
    advanceBy(Millis{0});
}

void VirtualScheduler::runUntilIdle(Millis limit)
{
    const Millis end = later(now(), limit);
    runDue();
    while (auto next = nextDeadline(false)) {
        const Millis target = std::min(*next, end);
        advanceBy(target - now());
        if (target >= end)
            break;
    }
}

std::optional<Millis> VirtualScheduler::nextDeadline(bool includeRepeating) const
{
    std::lock_guard lock(mutex_);
    for (const Entry& e : queue_) {
        if (!e.cancelled() && (includeRepeating || e.interval == Millis{0}))
            return e.deadline;
    }
    return std::nullopt;
}

size_t VirtualScheduler::pendingCount(bool includeRepeating) const
{
    std::lock_guard lock(mutex_);
    return static_cast<size_t>(std::count_if(queue_.begin(), queue_.end(), [&](const Entry& e) {
        return !e.cancelled() && (includeRepeating || e.interval == Millis{0});
    }));
}

void VirtualScheduler::setAfterWorkHook(std::function<void()> hook)
{
    afterWork_ = std::move(hook);
}

} // namespace kestrune
