// The Caps Lock → F19 hardware mapping: the two command lines, when they
// are issued, and the re-apply after device arrivals and wake.

#include "platform/HidKeyMapping.h"
#include "remapper/KeyRemapper.h"

namespace kestrune {

namespace {
// A keyboard and its hub, or several devices after wake, arrive in a burst:
// re-apply once, after the last of them.
constexpr Millis kReapplyDebounce{1500};
} // namespace

void KeyRemapper::runShellCommand(const QString& commandLine)
{
    platform_.shell.run(commandLine);
}

void KeyRemapper::applyCapsLockMapping()
{
    // Caps Lock becomes F19 only while a tap is there to turn F19 into
    // Hyper; paused or waiting for permission, it stays a plain Caps Lock.
    if (isRemapping())
        issueCapsLockMapping();
}

bool KeyRemapper::isRemapping()
{
    return hasEventTap();
}

void KeyRemapper::issueCapsLockMapping()
{
    const Snapshot s = loadSnapshot();
    const bool needed = s.isSinglePressEnabled || s.isHyperKeyEnabled;
    // With both features off, Caps Lock is left a plain Caps Lock.
    runShellCommand(needed ? kApplyMappingCommand : kResetMappingCommand);
}

void KeyRemapper::scheduleMappingReapply()
{
    if (hidDebounceTimer_)
        hidDebounceTimer_->cancel();
    QPointer<KeyRemapper> self = weakSelf_;
    hidDebounceTimer_ = platform_.scheduler.postAfter(kReapplyDebounce, [self] {
        if (self)
            self->applyCapsLockMapping();
    });
}

void KeyRemapper::handleWake()
{
    scheduleMappingReapply();
    retryTapNow();
}

void KeyRemapper::startHIDDeviceMonitoring()
{
    QPointer<KeyRemapper> self = weakSelf_;
    const int present = platform_.devices.start([self] {
        if (!self)
            return;
        self->scheduleMappingReapply();
        self->retryTapNow();
    });
    if (present < 0)
        return; // monitoring is off for this run; start and wake still apply
    isMonitoringDevices_ = true;
    if (present > 0)
        scheduleMappingReapply();
}

void KeyRemapper::stopHIDDeviceMonitoring()
{
    platform_.wake.setWakeHandler({});
    if (isMonitoringDevices_) {
        platform_.devices.stop();
        isMonitoringDevices_ = false;
    }
    if (hidDebounceTimer_) {
        hidDebounceTimer_->cancel();
        hidDebounceTimer_.reset();
    }
}

} // namespace kestrune
