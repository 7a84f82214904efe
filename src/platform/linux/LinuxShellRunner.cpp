#include "platform/linux/LinuxShellRunner.h"

#include "platform/HidKeyMapping.h"

namespace kestrune {

LinuxShellRunner::LinuxShellRunner(CapsLockMapping& mapping, ShellRunner& fallback)
    : mapping_(mapping)
    , fallback_(fallback)
{
}

void LinuxShellRunner::run(const QString& commandLine)
{
    // Applied at once, in issue order, so the command issued last is in
    // force, as with commands run one after another.
    if (const auto mapping = parseUserKeyMappingCommand(commandLine)) {
        mapping_.setToF19(mapsCapsLockToF19(*mapping));
        return;
    }
    fallback_.run(commandLine);
}

bool LinuxShellRunner::waitForIdle(Millis timeout)
{
    return fallback_.waitForIdle(timeout);
}

} // namespace kestrune
