#pragma once
// The Caps Lock lock state on Linux, through the tap: read from the LED the
// system sets on the virtual keyboard, toggled by a Caps Lock press and
// release on it. Neither works while no tap runs.
//
// Any thread. The keyboard outlives this object.

#include "platform/System.h"
#include "platform/linux/LinuxKeyboard.h"

namespace kestrune {

class LinuxCapsLock final : public CapsLockState {
public:
    explicit LinuxCapsLock(LinuxKeyboard& keyboard) : keyboard_(keyboard) {}

    std::optional<bool> lockState() override { return keyboard_.capsLockState(); }
    bool setLockState(bool on) override { return keyboard_.setCapsLockState(on); }

private:
    LinuxKeyboard& keyboard_;
};

} // namespace kestrune
