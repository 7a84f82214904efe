#include "platform/macos/MacCapsLock.h"

#import <IOKit/IOKitLib.h>
#import <IOKit/hidsystem/IOHIDLib.h>
#import <IOKit/hidsystem/IOHIDParameter.h>

namespace kestrune {

namespace {
// The HID system's parameter connection for the length of one call.
class HidSystemConnection {
public:
    HidSystemConnection()
    {
        service_ = IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching(kIOHIDSystemClass));
        if (service_ && IOServiceOpen(service_, mach_task_self(), kIOHIDParamConnectType, &connect_) != KERN_SUCCESS)
            connect_ = 0;
    }
    ~HidSystemConnection()
    {
        if (connect_)
            IOServiceClose(connect_);
        if (service_)
            IOObjectRelease(service_);
    }
    HidSystemConnection(const HidSystemConnection&) = delete;
    HidSystemConnection& operator=(const HidSystemConnection&) = delete;

    io_connect_t handle() const { return connect_; }

private:
    io_service_t service_ = 0;
    io_connect_t connect_ = 0;
};
} // namespace

std::optional<bool> MacCapsLock::lockState()
{
    HidSystemConnection connection;
    if (!connection.handle())
        return std::nullopt;
    bool state = false;
    if (IOHIDGetModifierLockState(connection.handle(), kIOHIDCapsLockState, &state) != KERN_SUCCESS)
        return std::nullopt;
    return state;
}

bool MacCapsLock::setLockState(bool on)
{
    HidSystemConnection connection;
    if (!connection.handle())
        return false;
    return IOHIDSetModifierLockState(connection.handle(), kIOHIDCapsLockState, on) == KERN_SUCCESS;
}

} // namespace kestrune
