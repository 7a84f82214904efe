#pragma once
// Input devices arriving, from IOKit's first-match notifications for
// IOHIDDevice services, delivered on the main run loop. Main thread.

#include "platform/System.h"

#include <memory>

namespace kestrune {

class MacDeviceMonitor final : public DeviceMonitor {
public:
    MacDeviceMonitor();
    ~MacDeviceMonitor() override;

    int start(std::function<void()> onArrival) override;
    void stop() override;

    struct State; // the notification port, its iterator and the handler

private:
    std::unique_ptr<State> state_;
};

} // namespace kestrune
