#pragma once
// The machine going to sleep and waking, from the shared workspace's
// notification centre (NSWorkspaceWillSleepNotification,
// NSWorkspaceDidWakeNotification), delivered on the main queue. Main thread.

#include "platform/System.h"

#include <functional>

namespace kestrune {

class MacWakeNotifier final : public WakeNotifier {
public:
    MacWakeNotifier();
    ~MacWakeNotifier() override;
    MacWakeNotifier(const MacWakeNotifier&) = delete;
    MacWakeNotifier& operator=(const MacWakeNotifier&) = delete;

    void setWakeHandler(std::function<void()> handler) override;

    // Runs when the machine is about to sleep: the composition root has the
    // tap release every key here. The system lets an observer of the
    // notice hold sleep back a while, so a short, bounded wait is fine.
    std::function<void()> beforeSleep;

private:
    void* observer_ = nullptr;      // the notification centre's observer token, retained
    void* sleepObserver_ = nullptr; // likewise, for the sleep notice
};

} // namespace kestrune
