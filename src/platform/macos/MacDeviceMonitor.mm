#include "platform/macos/MacDeviceMonitor.h"

#import <CoreFoundation/CoreFoundation.h>
#import <IOKit/IOKitLib.h>
#import <IOKit/hid/IOHIDKeys.h>

namespace kestrune {

struct MacDeviceMonitor::State {
    IONotificationPortRef port = nullptr;
    io_iterator_t iterator = 0;
    std::function<void()> onArrival;

    // Takes every object the iterator holds, which also re-arms the
    // notification. Returns how many there were.
    int drain() const
    {
        int count = 0;
        while (io_object_t device = IOIteratorNext(iterator)) {
            IOObjectRelease(device);
            ++count;
        }
        return count;
    }
};

namespace {
void devicesArrived(void* refcon, io_iterator_t iterator)
{
    auto* state = static_cast<MacDeviceMonitor::State*>(refcon);
    if (!state || iterator != state->iterator)
        return;
    if (state->drain() > 0 && state->onArrival)
        state->onArrival();
}
} // namespace

MacDeviceMonitor::MacDeviceMonitor() = default;

MacDeviceMonitor::~MacDeviceMonitor()
{
    stop();
}

int MacDeviceMonitor::start(std::function<void()> onArrival)
{
    stop();
    CFMutableDictionaryRef matching = IOServiceMatching(kIOHIDDeviceKey);
    if (!matching)
        return -1;
    auto state = std::make_unique<State>();
    state->onArrival = std::move(onArrival);
    state->port = IONotificationPortCreate(kIOMainPortDefault);
    if (!state->port) {
        CFRelease(matching);
        return -1;
    }
    CFRunLoopSourceRef source = IONotificationPortGetRunLoopSource(state->port);
    if (!source) {
        CFRelease(matching);
        IONotificationPortDestroy(state->port);
        return -1;
    }
    CFRunLoopAddSource(CFRunLoopGetMain(), source, kCFRunLoopDefaultMode);
    // The matching dictionary is consumed here, whatever the outcome.
    const kern_return_t result = IOServiceAddMatchingNotification(state->port, kIOFirstMatchNotification, matching,
                                                                  &devicesArrived, state.get(), &state->iterator);
    if (result != KERN_SUCCESS) {
        CFRunLoopRemoveSource(CFRunLoopGetMain(), source, kCFRunLoopDefaultMode);
        IONotificationPortDestroy(state->port);
        return -1;
    }
    state_ = std::move(state);
    // The devices already present: draining them arms the notification.
    return state_->drain();
}

void MacDeviceMonitor::stop()
{
    if (!state_)
        return;
    if (CFRunLoopSourceRef source = IONotificationPortGetRunLoopSource(state_->port))
        CFRunLoopRemoveSource(CFRunLoopGetMain(), source, kCFRunLoopDefaultMode);
    IONotificationPortDestroy(state_->port); // its run-loop source goes with it
    if (state_->iterator)
        IOObjectRelease(state_->iterator);
    state_.reset();
}

} // namespace kestrune
