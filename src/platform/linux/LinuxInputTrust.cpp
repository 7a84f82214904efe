#include "platform/linux/LinuxInputTrust.h"

namespace kestrune {

LinuxInputTrust::LinuxInputTrust(EvdevIo& io, std::function<void()> showHowToGrant)
    : io_(io)
    , showHowToGrant_(std::move(showHowToGrant))
{
}

bool LinuxInputTrust::isTrusted() const
{
    if (!io_.canCreateVirtualKeyboard())
        return false;
    // The same rule as creating the tap: refused only when keyboards exist
    // and every one of them denies reading.
    bool denied = false;
    for (const std::string& path : io_.keyboardPaths()) {
        EvdevIo::OpenError error = EvdevIo::OpenError::none;
        if (io_.open(path, &error))
            return true;
        denied |= error == EvdevIo::OpenError::denied;
    }
    return !denied;
}

void LinuxInputTrust::openTrustSettings()
{
    if (showHowToGrant_)
        showHowToGrant_();
}

} // namespace kestrune
