#pragma once
// The machine waking, from the shared workspace's notification centre
// (NSWorkspaceDidWakeNotification), delivered on the main queue. Main thread.

#include "platform/System.h"

namespace kestrune {

class MacWakeNotifier final : public WakeNotifier {
public:
    MacWakeNotifier() = default;
    ~MacWakeNotifier() override;
    MacWakeNotifier(const MacWakeNotifier&) = delete;
    MacWakeNotifier& operator=(const MacWakeNotifier&) = delete;

    void setWakeHandler(std::function<void()> handler) override;

private:
    void removeObserver();
    void* observer_ = nullptr; // the notification centre's observer token, retained
};

} // namespace kestrune
