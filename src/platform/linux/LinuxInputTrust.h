#pragma once
// Input access, the Linux counterpart of Accessibility trust: the process may
// rewrite keys when it can read the keyboards and create the virtual
// keyboard through /dev/uinput. With no keyboard present, /dev/uinput alone
// decides (there is nothing to be refused yet). No system prompt exists, so
// requestTrust() only reads the state; openTrustSettings() shows how to grant
// it, through the action the composition root supplies (the README section
// on the udev rule and group).
//
// isTrusted() from any thread; the others on the main thread. The io
// outlives this object.

#include "platform/System.h"
#include "platform/linux/EvdevIo.h"

#include <functional>

namespace kestrune {

class LinuxInputTrust final : public AccessibilityTrust {
public:
    explicit LinuxInputTrust(EvdevIo& io, std::function<void()> showHowToGrant = {});

    bool isTrusted() const override;
    bool requestTrust() override { return isTrusted(); }
    void openTrustSettings() override;

private:
    EvdevIo& io_;
    std::function<void()> showHowToGrant_;
};

} // namespace kestrune
