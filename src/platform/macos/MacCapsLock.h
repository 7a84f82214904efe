#pragma once
// The Caps Lock lock state of the HID system, read and set through a
// parameter connection to the IOHIDSystem service, opened per call. Any
// thread.

#include "platform/System.h"

namespace kestrune {

class MacCapsLock final : public CapsLockState {
public:
    std::optional<bool> lockState() override;
    bool setLockState(bool on) override;
};

} // namespace kestrune
