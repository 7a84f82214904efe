#pragma once
// The scheduler on the Qt event loop of the thread that constructs it (the
// main thread). Timers are precise: work never runs before its deadline.

#include "base/Scheduler.h"

#include <chrono>
#include <memory>

class QObject;

namespace kestrune {

class QtScheduler final : public Scheduler {
public:
    // Main thread. Must outlive every thread that posts to it; work still
    // queued when it is destroyed is dropped.
    QtScheduler();
    ~QtScheduler() override;

    // Steady time since construction. Any thread.
    Millis now() const override;
    // Any thread.
    void post(std::function<void()> work) override;
    // Any thread; the delay counts from this call even when the timer has to
    // be started on the main thread a little later.
    WorkItemPtr postAfter(Millis delay, std::function<void()> work) override;
    // Main thread. The timer stops and deletes itself at its first tick after
    // the item is cancelled.
    WorkItemPtr repeat(Millis interval, std::function<void()> work) override;

private:
    void startSingleShot(Millis deadline, WorkItemPtr item, std::function<void()> work);

    std::unique_ptr<QObject> context_; // lives on the main thread; owns the timers
    const std::chrono::steady_clock::time_point start_;
};

} // namespace kestrune
